#include "common/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using zorbin::ui::Dialogs;

// The one seam for everything modal: the real message boxes it makes, and the script
// that answers them in tests.
class TestDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setLayoutDirection(Qt::RightToLeft); }

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
            QVERIFY(box->windowTitle().isEmpty());
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

        // A titled message keeps its title and its icon.
        const auto titled = Dialogs::messageBox(&owner, Dialogs::Kind::Error, QStringLiteral("متن"),
                                                true, QStringLiteral("خطا"));
        QCOMPARE(titled->windowTitle(), QStringLiteral("خطا"));
        QCOMPARE(titled->icon(), QMessageBox::Critical);
    }

    void scriptRecordsTitlesAndBeeps()
    {
        Dialogs::Script script;
        Dialogs::beep();
        Dialogs::message(nullptr, Dialogs::Kind::Exclamation, QStringLiteral("خطا"),
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
