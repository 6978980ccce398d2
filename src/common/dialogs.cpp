#include "common/dialogs.h"

#include "common/appearance.h"
#include "common/report.h"
#include "common/reportpreviewwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <algorithm>

namespace zorbin::common {

Dialogs::Script *Dialogs::s_script = nullptr;

namespace {
const char kMessageBoxMark[] = "zorbinMessageBox";

// Message boxes have no title. An empty one would not do: Qt then hands the window
// manager the program's name instead, so the title is one blank.
const QString kNoTitle = QStringLiteral(" ");
} // namespace

bool Dialogs::isMessageBox(const QWidget *window)
{
    return window && window->property(kMessageBoxMark).toBool();
}

bool Dialogs::messageBoxOpen()
{
    // Asked while the activation moves: the box is either the active window already or,
    // when that is not set yet, visible.
    if (isMessageBox(QApplication::activeWindow()))
        return true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [](const QWidget *w) { return w->isVisible() && isMessageBox(w); });
}

Dialogs::Script::Script()
{
    Q_ASSERT(!s_script);
    s_script = this;
}

Dialogs::Script::~Script()
{
    s_script = nullptr;
}

QStringList Dialogs::Script::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list << s.text;
    return list;
}

QList<Dialogs::Shown> Dialogs::Script::of(Kind kind) const
{
    QList<Shown> list;
    for (const Shown &s : shown)
        if (s.kind == kind)
            list << s;
    return list;
}

std::unique_ptr<QMessageBox> Dialogs::messageBox(QWidget *parent, Kind kind, const QString &text,
                                                 bool rightAligned, const QString &title)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setProperty(kMessageBoxMark, true);
    box->setWindowTitle(title.isEmpty() ? kNoTitle : title);
    box->setText(inWrittenOrder(text));
    switch (kind) {
    case Kind::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case Kind::Error:
        box->setIcon(QMessageBox::Critical);
        break;
    default:
        box->setIcon(QMessageBox::Warning);
        break;
    }
    if (kind == Kind::Question) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    // Qt's Persian "&بله" and "&نه" would be drawn with the word split at the underline.
    // Without the style's icons the captions are centred: beside an icon, Qt draws a
    // right-to-left caption against the button's far edge.
    for (QAbstractButton *button : box->buttons()) {
        button->setText(withoutPersianMnemonic(button->text()));
        button->setIcon(QIcon());
    }
    if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        label->setAlignment(rightAligned ? (Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute)
                                         : (Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute));
        if (!rightAligned)
            label->setLayoutDirection(Qt::LeftToRight);
    }
    return box;
}

int Dialogs::show(QWidget *parent, Kind kind, const QString &text, bool rightAligned,
                  const QString &title)
{
    if (s_script) {
        s_script->shown.append({kind, text, rightAligned, QString(), -1, title});
        if (kind != Kind::Question)
            return QMessageBox::Ok;
        const Reply reply = s_script->replies.isEmpty() ? Reply::No : s_script->replies.takeFirst();
        return reply == Reply::Yes ? QMessageBox::Yes : QMessageBox::No;
    }
    return messageBox(parent, kind, text, rightAligned, title)->exec();
}

void Dialogs::beep()
{
    if (s_script) {
        s_script->shown.append({Kind::Beep, QString(), true, QString(), -1, QString()});
        return;
    }
    QApplication::beep();
}

void Dialogs::inform(QWidget *parent, const QString &text, bool rightAligned)
{
    show(parent, Kind::Information, text, rightAligned);
}

void Dialogs::warn(QWidget *parent, const QString &text)
{
    show(parent, Kind::Exclamation, text, true);
}

bool Dialogs::confirm(QWidget *parent, const QString &text)
{
    return show(parent, Kind::Question, text, true) == QMessageBox::Yes;
}

void Dialogs::error(QWidget *parent, const QString &text)
{
    show(parent, Kind::Error, text, true);
}

void Dialogs::titled(QWidget *parent, Kind kind, const QString &title, const QString &text,
                     std::optional<bool> rightAligned)
{
    Q_ASSERT(kind == Kind::Information || kind == Kind::Exclamation || kind == Kind::Error);
    // Right-aligned in the Persian windows; the converter's English window reads left to right.
    if (!rightAligned)
        rightAligned = !parent || parent->layoutDirection() == Qt::RightToLeft;
    show(parent, kind, text, *rightAligned, title);
}

QString Dialogs::scriptedFileName(Kind kind, const QString &caption, const QString &filter,
                                  bool askBeforeReplacing)
{
    Shown shown{kind, caption, true, QString(), -1, QString()};
    shown.filter = filter;
    shown.asksBeforeReplacing = askBeforeReplacing;
    s_script->shown.append(shown);
    return s_script->fileNames.isEmpty() ? QString() : s_script->fileNames.takeFirst();
}

std::unique_ptr<QFileDialog> Dialogs::fileDialog(QWidget *parent, Kind kind, const QString &caption,
                                                 const QString &path, const QString &filter,
                                                 bool askBeforeReplacing)
{
    Q_ASSERT(kind == Kind::OpenFile || kind == Kind::SaveFile);
    auto dialog = std::make_unique<QFileDialog>(parent, caption, path, filter);
    const bool save = kind == Kind::SaveFile;
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The filters' names often carry their patterns already.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, save && !askBeforeReplacing);
    return dialog;
}

QString Dialogs::chosenFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QString Dialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter)
{
    if (s_script)
        return scriptedFileName(Kind::OpenFile, caption, filter, true);
    return chosenFile(*fileDialog(parent, Kind::OpenFile, caption, dir, filter));
}

QString Dialogs::saveFileName(QWidget *parent, const QString &caption, const QString &path,
                              const QString &filter, bool askBeforeReplacing)
{
    if (s_script)
        return scriptedFileName(Kind::SaveFile, caption, filter, askBeforeReplacing);
    return chosenFile(
        *fileDialog(parent, Kind::SaveFile, caption, path, filter, askBeforeReplacing));
}

int Dialogs::runScripted(QDialog &window, int result)
{
    // The window opens as it would (its show handling runs), the test looks at it or acts
    // in it, and it closes with the scripted result.
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    if (s_script->onWindow)
        s_script->onWindow(window);
    if (window.isVisible())
        window.done(result);
    return window.result();
}

int Dialogs::exec(QDialog &window)
{
    if (!s_script)
        return window.exec();
    s_script->shown.append({Kind::Window, window.objectName(), true,
                            QString::fromLatin1(window.metaObject()->className()), -1, QString()});
    const int result = s_script->windowResults.isEmpty() ? int(QDialog::Rejected)
                                                         : s_script->windowResults.takeFirst();
    return runScripted(window, result);
}

void Dialogs::preview(const report::Report &report, QWidget *parent)
{
    if (!s_script) {
        report.makePreview(parent)->exec();
        return;
    }
    Shown shown{Kind::Preview, report.name(), true, QStringLiteral("ReportPreviewWindow"), -1,
                QString()};
    shown.records = report.records();
    s_script->shown.append(shown);
    if (s_script->onWindow)
        runScripted(*report.makePreview(parent), QDialog::Rejected);
}

bool Dialogs::choosePrinter(QPrinter &printer, QWidget *parent)
{
    if (!s_script) {
        QPrintDialog dialog(&printer, parent);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile);
        return dialog.exec() == QDialog::Accepted;
    }
    s_script->shown.append({Kind::Print, QStringLiteral("QPrintDialog"), true,
                            QStringLiteral("QPrintDialog"), -1, QString()});
    return !s_script->replies.isEmpty() && s_script->replies.takeFirst() == Reply::Yes;
}

} // namespace zorbin::common
