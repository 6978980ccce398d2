#include "account/loginwindow.h"
#include "account/passwordrecoverywindow.h"
#include "account/securityquestions.h"
#include "common/dialogs.h"
#include "core/secretclipboard.h"
#include "helpers/testenv.h"
#include "helpers/widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using zorbin::account::LoginWindow;
using zorbin::account::PasswordRecoveryWindow;

using zorbin::common::Dialogs;
using Kind = zorbin::common::Dialogs::Kind;

namespace {

const QString kMissing = QStringLiteral("لطفاً سوال و جواب امنيتي را وارد کنيد ");
const QString kFound = QStringLiteral("شما با موفقيت به رمز عبور دست پيدا كرديد ");
const QString kWrong = QStringLiteral("اطلاعات وارد شده اشتباه است ");

struct Window
{
    explicit Window(TestEnv &env) : dlg(*env.context)
    {
        dlg.show();
        dlg.activateWindow();
        active = QTest::qWaitForWindowActive(&dlg);
        question = child<QComboBox>(dlg, "Combo1");
        answer = child<QLineEdit>(dlg, "Text1");
        password = child<QLineEdit>(dlg, "Text3");
        copy = child<QPushButton>(dlg, "AeroButton1");
        show = child<QPushButton>(dlg, "Button_Restore");
    }
    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    void ask(int questionIndex, const QString &typed)
    {
        question->setCurrentIndex(questionIndex);
        answer->clear();
        answer->setFocus();
        typeText(answer, typed);
        click(show);
    }

    PasswordRecoveryWindow dlg;
    bool active = false;
    QComboBox *question;
    QLineEdit *answer, *password;
    QPushButton *copy, *show;
};

const QString &storedQuestion()
{
    return zorbin::account::securityQuestions().at(3);
}

} // namespace

class TestPasswordRecoveryWindow : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestEnv> m_env;

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        QVERIFY(m_env->ok());
        QVERIFY(m_env->store
                    ->updateFirstAccount(QStringLiteral("s3cret word"), storedQuestion(),
                                         QStringLiteral("Blue Sky"))
                    .has_value());
    }
    void cleanup() { m_env.reset(); }
    void initTestCase() { QApplication::setLayoutDirection(Qt::RightToLeft); }

    void opensEmpty()
    {
        Window w(*m_env);
        QVERIFY(w.active);
        QCOMPARE(w.question->count(), 8);
        QCOMPARE(w.question->currentText(), QString());
        QVERIFY(w.answer->text().isEmpty() && w.password->text().isEmpty());
        QCOMPARE(child<QLabel>(w.dlg, "Label5")->buddy(), w.password);
    }

    void emptyQuestionOrAnswer()
    {
        Window w(*m_env);
        QVERIFY(w.active);
        Dialogs::Script script;
        w.click(w.show);
        w.answer->setText(QStringLiteral("Blue Sky"));
        w.click(w.show);
        w.question->setCurrentIndex(3);
        w.answer->clear();
        w.click(w.show);
        QCOMPARE(script.texts(), QStringList(3, kMissing));
        QCOMPARE(script.shown[0].kind, Kind::Exclamation);
        QCOMPARE(w.question->currentText(), storedQuestion());
        QVERIFY(w.password->text().isEmpty());
    }

    // Wrong case, wrong question, a blank inside: refused; the answer goes, the question stays.
    void wrongAnswersRefused()
    {
        Window w(*m_env);
        QVERIFY(w.active);
        Dialogs::Script script;
        const QList<QPair<int, QString>> tries{
            {3, QStringLiteral("blue sky")},
            {3, QStringLiteral("BlueSky")},
            {2, QStringLiteral("Blue Sky")},
        };
        for (const auto &[index, answer] : tries) {
            w.ask(index, answer);
            QCOMPARE(script.lastText(), kWrong);
            QCOMPARE(script.shown.last().kind, Kind::Exclamation);
            QVERIFY(w.answer->text().isEmpty());
            QCOMPARE(w.question->currentText(), w.question->itemText(index));
            QVERIFY(w.password->text().isEmpty());
        }
        QCOMPARE(script.shown.size(), 3);
    }

    void trimmedAnswerMatches()
    {
        Window w(*m_env);
        QVERIFY(w.active);
        Dialogs::Script script;
        w.question->setCurrentIndex(3);
        w.answer->setFocus();
        typeText(w.answer, QStringLiteral("   Blue Sky  "));
        // Enter in the answer box asks, as the button does.
        QTest::keyClick(w.answer, Qt::Key_Return);
        QCOMPARE(script.texts(), QStringList{kFound});
        QCOMPARE(script.shown[0].kind, Kind::Information);
        QCOMPARE(w.password->text(), QStringLiteral("s3cret word"));
        QCOMPARE(w.question->currentText(), QString());
        QVERIFY(w.answer->text().isEmpty());
        QVERIFY(w.dlg.isVisible());
    }

    void neverSetQuestionNeverMatches()
    {
        TestEnv &env = *m_env;
        QVERIFY(env.sql("UPDATE Table_User SET Question = NULL, Answer = NULL"));
        Window w(env);
        QVERIFY(w.active);
        Dialogs::Script script;
        w.question->setEditText(QStringLiteral(" "));
        w.answer->setText(QStringLiteral(" "));
        w.click(w.show);
        QCOMPARE(script.texts(), QStringList{kWrong});
        QVERIFY(w.password->text().isEmpty());
    }

    void copyPutsThePasswordOnTheClipboardAndCloses()
    {
        Window w(*m_env);
        QVERIFY(w.active);
        Dialogs::Script script;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        // Nothing retrieved yet: nothing happens and the window stays.
        w.click(w.copy);
        QVERIFY(w.dlg.isVisible());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        w.ask(3, QStringLiteral("Blue Sky"));
        w.click(w.copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("s3cret word"));
        QVERIFY(!w.dlg.isVisible());
    }

    void escapeCloses()
    {
        Window w(*m_env);
        QVERIFY(w.active);
        w.answer->setFocus();
        QTest::keyClick(w.answer, Qt::Key_Escape);
        QVERIFY(!w.dlg.isVisible());
    }

    // The login window's button opens recovery owned by it; returning puts the default
    // name back.
    void openedFromTheLoginWindow()
    {
        TestEnv &env = *m_env;
        LoginWindow login(*env.context);
        login.show();
        auto *names = child<QComboBox>(login, "Combo1");
        names->setEditText(QStringLiteral("someone"));
        Dialogs::Script script;
        QWidget *owner = nullptr;
        script.onWindow = [&](QDialog &window) { owner = window.parentWidget(); };
        QTest::mouseClick(child<QPushButton>(login, "Button_Restore"), Qt::LeftButton);
        QCOMPARE(script.of(Kind::Window).size(), 1);
        QCOMPARE(script.shown[0].className,
                 QStringLiteral("zorbin::account::PasswordRecoveryWindow"));
        QCOMPARE(owner, &login);
        QCOMPARE(names->currentText(), zorbin::store::Store::defaultUserName());
    }

#ifdef ZORBIN_SCREENSHOTS
    // Pictures of the window for a person to look at; with ZORBIN_SHOT set to a folder.
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("ZORBIN_SHOT");
        if (folder.isEmpty())
            QSKIP("set ZORBIN_SHOT to a folder to take the pictures");
        Window w(*m_env);
        QVERIFY(w.active);
        {
            Dialogs::Script script;
            w.ask(3, QStringLiteral("Blue Sky"));
        }
        w.question->setCurrentIndex(1);
        w.answer->setText(QStringLiteral("جواب"));
        QTest::qWait(300);
        QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(
            folder + QStringLiteral("/restore.png")));
    }
#endif
};

QTEST_MAIN(TestPasswordRecoveryWindow)
#include "tst_passwordrecoverywindow.moc"
