#include "common/dialogs.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

namespace zorbin::ui {

Dialogs::Script *Dialogs::s_script = nullptr;

namespace {
const char kMessageBoxMark[] = "zorbinMessageBox";
} // namespace

bool Dialogs::isMessageBox(const QWidget *window)
{
    return window && window->property(kMessageBoxMark).toBool();
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

int Dialogs::show(QWidget *parent, Kind kind, const QString &text, bool rightAligned,
                  const QString &title)
{
    if (s_script) {
        s_script->shown.append({kind, text, rightAligned, title});
        if (kind != Kind::Question)
            return QMessageBox::Ok;
        const QString answer =
            s_script->answers.isEmpty() ? QString() : s_script->answers.takeFirst();
        return answer == QLatin1String("yes") ? QMessageBox::Yes : QMessageBox::No;
    }
    QMessageBox box(parent);
    box.setProperty(kMessageBoxMark, true);
    box.setWindowTitle(title);
    box.setText(text);
    switch (kind) {
    case Kind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Kind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    default:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    if (kind == Kind::Question) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        label->setAlignment(rightAligned ? (Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute)
                                         : (Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute));
        if (!rightAligned)
            label->setLayoutDirection(Qt::LeftToRight);
    }
    return box.exec();
}

void Dialogs::inform(QWidget *parent, const QString &text, bool rightAligned)
{
    show(parent, Kind::Information, text, rightAligned);
}

void Dialogs::titled(QWidget *parent, Kind kind, const QString &title, const QString &text)
{
    show(parent, kind, text, false, title);
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

QString Dialogs::scriptedFileName(Kind kind, const QString &caption)
{
    s_script->shown.append({kind, caption, true, QString()});
    return s_script->answers.isEmpty() ? QString() : s_script->answers.takeFirst();
}

QString Dialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter)
{
    if (s_script)
        return scriptedFileName(Kind::OpenFile, caption);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString Dialogs::saveFileName(QWidget *parent, const QString &caption, const QString &path,
                              const QString &filter)
{
    if (s_script)
        return scriptedFileName(Kind::SaveFile, caption);
    return QFileDialog::getSaveFileName(parent, caption, path, filter);
}

} // namespace zorbin::ui
