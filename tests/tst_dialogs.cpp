#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/maker.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextLayout>
#include <QtTest>

using zorbin::common::Dialogs;

namespace {

const QString crlf = QStringLiteral("\r\n");

// Where the character at `index` of one shown line of `label` is drawn: the left edge of
// its glyph, in pixels from the line's left end.
qreal drawnAt(const QLabel &label, const QString &line, qsizetype index)
{
    QTextLayout layout(line, label.font());
    QTextOption option;
    option.setTextDirection(label.layoutDirection());
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns(int(index), 1);
    if (runs.isEmpty() || runs.first().positions().isEmpty())
        return -1;
    return runs.first().positions().first().x();
}

// The lines a real message box shows for `text`.
QStringList shownLines(const QString &text, QLabel **labelOut, std::unique_ptr<QMessageBox> &box)
{
    box = Dialogs::messageBox(nullptr, Dialogs::Kind::Information, text, true);
    *labelOut = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    return (*labelOut)->text().split(crlf);
}

} // namespace

// The one seam for everything modal: the real message boxes it makes, and the script
// that answers them in tests.
class TestDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The program's own setting up: right to left, Qt's texts in Persian.
    void initTestCase() { zorbin::common::setupApplication(*qApp); }

    void realMessageBoxes()
    {
        QWidget owner;
        const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute;
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute;
        struct Case
        {
            Dialogs::Kind kind;
            bool rightAligned;
            QMessageBox::Icon icon;
            QMessageBox::StandardButtons buttons;
        };
        const Case cases[] = {
            {Dialogs::Kind::Information, true, QMessageBox::Information, QMessageBox::Ok},
            {Dialogs::Kind::Information, false, QMessageBox::Information, QMessageBox::Ok},
            {Dialogs::Kind::Exclamation, true, QMessageBox::Warning, QMessageBox::Ok},
            {Dialogs::Kind::Error, true, QMessageBox::Critical, QMessageBox::Ok},
            {Dialogs::Kind::Question, true, QMessageBox::Warning,
             QMessageBox::Yes | QMessageBox::No},
        };
        for (const Case &c : cases) {
            const auto box =
                Dialogs::messageBox(&owner, c.kind, QStringLiteral("متن"), c.rightAligned);
            QCOMPARE(box->icon(), c.icon);
            QCOMPARE(box->standardButtons(), c.buttons);
            QCOMPARE(box->text(), QStringLiteral("متن"));
            // No title: one blank, as an empty one would have Qt show the program's name.
            QVERIFY(!box->windowTitle().isEmpty());
            QVERIFY(box->windowTitle().trimmed().isEmpty());
            QVERIFY(Dialogs::isMessageBox(box.get()));
            auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            QCOMPARE(label->alignment(), c.rightAligned ? right : left);
            QCOMPARE(label->layoutDirection(), c.rightAligned ? Qt::RightToLeft : Qt::LeftToRight);
        }
        // A question defaults to No: Enter never deletes by accident.
        const auto question =
            Dialogs::messageBox(&owner, Dialogs::Kind::Question, QStringLiteral("؟"), true);
        QCOMPARE(question->defaultButton(), question->button(QMessageBox::No));
        QVERIFY(!Dialogs::isMessageBox(&owner));
        // The few messages that name the program carry it in the title bar.
        const auto titled =
            Dialogs::messageBox(&owner, Dialogs::Kind::Information, QStringLiteral("متن"), true,
                                QStringLiteral("Zorbin"));
        QCOMPARE(titled->windowTitle(), QStringLiteral("Zorbin"));
    }

    // Lines written for a left-to-right reading keep it, pushed to the right; a question
    // that starts with its Persian words reads right to left.
    void linesReadAsWritten()
    {
        const QStringList about = {QStringLiteral("(نرم افزار زوربين (هميار اينترنت "),
                                   QStringLiteral("(نسخه موجود: 2.0 (رايگان "),
                                   zorbin::common::maker::telephone(),
                                   QStringLiteral(" آيا مي خواهيد اين سايت را حذف کنيد ؟"),
                                   QStringLiteral("Windows, XP:  Start > Settings")};
        std::unique_ptr<QMessageBox> box;
        QLabel *label = nullptr;
        const QStringList shown = shownLines(about.join(crlf), &label, box);
        QCOMPARE(shown.size(), about.size());
        QCOMPARE(label->alignment() & (Qt::AlignRight | Qt::AlignAbsolute),
                 Qt::AlignRight | Qt::AlignAbsolute);

        auto at = [&](int l, const QString &part) {
            const qsizetype index = shown[l].indexOf(part);
            return index < 0 ? -1 : drawnAt(*label, shown[l], index);
        };
        // The opening parenthesis stands at the left end of its line, left of the words,
        // as the lines were written.
        QVERIFY(at(0, QStringLiteral("(")) >= 0);
        QVERIFY(at(0, QStringLiteral("(")) < at(0, QStringLiteral("نرم")));
        QVERIFY(at(0, QStringLiteral("(")) < at(0, QStringLiteral("اينترنت")));
        QVERIFY(at(1, QStringLiteral("(")) >= 0);
        QVERIFY(at(1, QStringLiteral("(")) < at(1, QStringLiteral("نسخه")));
        QVERIFY(at(1, QStringLiteral("(")) < at(1, QStringLiteral("رايگان")));
        // The telephone number reads in its own digit order, left of the word.
        QVERIFY(at(2, QStringLiteral("021")) < at(2, QStringLiteral("21")));
        QVERIFY(at(2, QStringLiteral("21")) < at(2, QStringLiteral("1-")));
        QVERIFY(at(2, QStringLiteral("1-")) < at(2, QStringLiteral("تلفن")));
        // The question's first word is drawn at the right, its question mark at the left.
        QVERIFY(at(3, QStringLiteral("آيا")) > at(3, QStringLiteral("؟")));
        QCOMPARE(shown[3], about[3]); // left as it was
        // The text itself is the message's: what a screen reader or a copy reads.
        QString latin = shown[4];
        QCOMPARE(latin.remove(QChar(0x2066)).remove(QChar(0x2069)), about[4]);
    }

    // The Yes and No of a question, and Qt's other Persian captions, carry no mnemonic:
    // its underline would split the word ("نه" drawn as two letters).
    void persianButtonsWithoutMnemonic()
    {
        const auto question =
            Dialogs::messageBox(nullptr, Dialogs::Kind::Question, QStringLiteral("؟"), true);
        QCOMPARE(question->button(QMessageBox::Yes)->text(), QStringLiteral("بله"));
        QCOMPARE(question->button(QMessageBox::No)->text(), QStringLiteral("نه"));
        const QString open = QCoreApplication::translate("QFileDialog", "&Open");
        QVERIFY2(!open.contains(QLatin1Char('&')) && open != QLatin1String("&Open"),
                 qPrintable(open));
        QCOMPARE(zorbin::common::withoutPersianMnemonic(QStringLiteral("&Yes")),
                 QStringLiteral("&Yes"));
        QCOMPARE(zorbin::common::withoutPersianMnemonic(QStringLiteral("ذخيره && &خروج")),
                 QStringLiteral("ذخيره & خروج"));
    }

    void scriptRecordsTitlesAndBeeps()
    {
        Dialogs::Script script;
        Dialogs::beep();
        Dialogs::titled(nullptr, Dialogs::Kind::Exclamation, QStringLiteral("خطا"),
                        QStringLiteral("m"));
        Dialogs::warn(nullptr, QStringLiteral("w"));
        QCOMPARE(script.shown.size(), 3);
        QCOMPARE(script.shown[0].kind, Dialogs::Kind::Beep);
        QCOMPARE(script.shown[1].kind, Dialogs::Kind::Exclamation);
        QCOMPARE(script.shown[1].title, QStringLiteral("خطا"));
        QCOMPARE(script.shown[1].text, QStringLiteral("m"));
        QVERIFY(script.shown[2].title.isEmpty());
    }

    void scriptAnswersEachKindFromItsOwnList()
    {
        Dialogs::Script script;
        script.replies = {Dialogs::Reply::Yes};
        script.fileNames = {QStringLiteral("/tmp/a.pdf")};
        QVERIFY(Dialogs::confirm(nullptr, QStringLiteral("q1")));
        QVERIFY(!Dialogs::confirm(nullptr, QStringLiteral("q2"))); // none left: No
        QCOMPARE(Dialogs::saveFileName(nullptr, QStringLiteral("save"), QString(), QString()),
                 QStringLiteral("/tmp/a.pdf"));
        QCOMPARE(Dialogs::openFileName(nullptr, QStringLiteral("open"), QString(), QString()),
                 QString()); // none left: cancelled
        QCOMPARE(script.texts(), (QStringList{QStringLiteral("q1"), QStringLiteral("q2"),
                                              QStringLiteral("save"), QStringLiteral("open")}));
        QCOMPARE(script.shown[2].kind, Dialogs::Kind::SaveFile);
        QCOMPARE(script.shown[3].kind, Dialogs::Kind::OpenFile);
    }

    // The file dialogs show each filter once, as its text gives it, whether or not its name
    // carries the patterns already; only a save dialog for appending skips the question.
    void fileDialogsShowFiltersOnce()
    {
        const QString filters =
            QStringLiteral("Zorbin Backup(*.mdb,*.dbb) (*.mdb *.dbb);;All Picture(*.jpg,*.gif) "
                           "(*.jpg *.gif);;Text Files (*.txt)");
        const auto open = Dialogs::fileDialog(nullptr, Dialogs::Kind::OpenFile,
                                              QStringLiteral("open"), QDir::tempPath(), filters);
        open->setOption(QFileDialog::DontUseNativeDialog);
        const auto *types = open->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        QStringList shown;
        for (int i = 0; i < types->count(); ++i)
            shown << types->itemText(i);
        QCOMPARE(shown, (QStringList{"Zorbin Backup(*.mdb,*.dbb)", "All Picture(*.jpg,*.gif)",
                                     "Text Files"}));
        QCOMPARE(open->acceptMode(), QFileDialog::AcceptOpen);

        const QString path = QDir::temp().filePath(QStringLiteral("ZBDB"));
        const auto save = Dialogs::fileDialog(nullptr, Dialogs::Kind::SaveFile,
                                              QStringLiteral("save"), path, filters);
        QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!save->testOption(QFileDialog::DontConfirmOverwrite));
        const auto append = Dialogs::fileDialog(nullptr, Dialogs::Kind::SaveFile,
                                                QStringLiteral("save"), path, filters, false);
        QVERIFY(append->testOption(QFileDialog::DontConfirmOverwrite));

        Dialogs::Script script;
        Dialogs::saveFileName(nullptr, QStringLiteral("s"), path, filters, false);
        Dialogs::openFileName(nullptr, QStringLiteral("o"), path, filters);
        QVERIFY(!script.shown[0].asksBeforeReplacing);
        QCOMPARE(script.shown[1].filter, filters);
    }

    void scriptShowsWindowsAndClosesThem()
    {
        Dialogs::Script script;
        script.windowResults = {QDialog::Accepted};
        QDialog first;
        first.setObjectName(QStringLiteral("First"));
        bool shownWhenHanded = false;
        bool modal = false;
        script.onWindow = [&](QDialog &window) {
            shownWhenHanded = window.isVisible();
            modal = window.isModal();
        };
        QCOMPARE(Dialogs::exec(first), int(QDialog::Accepted));
        QVERIFY(shownWhenHanded);
        QVERIFY(modal);
        QVERIFY(!first.isVisible());
        // No result left: closed as cancelled. A window the test closes keeps its result.
        QDialog second;
        QCOMPARE(Dialogs::exec(second), int(QDialog::Rejected));
        script.windowResults = {QDialog::Rejected};
        script.onWindow = [](QDialog &window) { window.accept(); };
        QDialog third;
        QCOMPARE(Dialogs::exec(third), int(QDialog::Accepted));
        QCOMPARE(script.of(Dialogs::Kind::Window).size(), 3);
        QCOMPARE(script.shown.first().text, QStringLiteral("First"));
        QCOMPARE(script.shown.first().className, QStringLiteral("QDialog"));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
