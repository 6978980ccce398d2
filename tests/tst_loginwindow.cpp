#include "account/loginwindow.h"
#include "common/appearance.h"
#include "common/dialogs.h"
#include "helpers/testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

using zorbin::account::LoginWindow;

using zorbin::common::Dialogs;

namespace {

const QString kWrong = QStringLiteral("رمز عبور اشتباه است ");
const QString kHint = QStringLiteral("رمز عبور اوليه:  1 ");

// Runs one statement on the test database with the texts bound in order.
bool run(TestEnv &env, const char *sql, const QStringList &values = {})
{
    return env.sql(sql, values);
}

bool addUser(TestEnv &env, const QString &name, const QString &password)
{
    return run(env,
               "INSERT INTO Table_User (UserName, Password, Question, Answer) "
               "VALUES (?1, ?2, '', '')",
               {name, password});
}

template <typename T> T *child(LoginWindow &login, const char *name)
{
    T *w = login.findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("missing control %s", name);
    return w;
}

// One login window on a test database, with its messages captured.
struct Window
{
    explicit Window(TestEnv &env) : login(*env.context), spy(&login, &LoginWindow::loggedIn) {}

    QComboBox *names() { return child<QComboBox>(login, "Combo1"); }
    QLineEdit *password() { return child<QLineEdit>(login, "Text1"); }
    QCheckBox *savePassword() { return child<QCheckBox>(login, "CheckNet"); }
    QCheckBox *showPassword() { return child<QCheckBox>(login, "Check1"); }

    QStringList items()
    {
        QStringList list;
        for (int i = 0; i < names()->count(); ++i)
            list << names()->itemText(i);
        return list;
    }
    void type(const QString &name, const QString &pass)
    {
        names()->setEditText(name);
        password()->setText(pass);
    }
    void clickLogin()
    {
        QTest::mouseClick(child<QPushButton>(login, "Button_Login"), Qt::LeftButton);
    }
    void showActive()
    {
        login.show();
        login.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&login));
    }

    LoginWindow login;
    QSignalSpy spy;
};

} // namespace

class TestLoginWindow : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestEnv> m_env;

private Q_SLOTS:
    // Each test case gets a fresh data folder with its store.
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        QVERIFY(m_env->ok());
    }
    void cleanup() { m_env.reset(); }
    void initTestCase() { QApplication::setLayoutDirection(Qt::RightToLeft); }

    void controlsAndTexts();
    void namesInTableOrder();
    void activationPutsDefaultName();
    void defaultNameWinsOverTheFirstAccount();
    void wrongPasswordIsRefused();
    void ownMessageKeepsTypedName();
    void emptyPasswordShowsNothing();
    void blanksAroundNamesAndPasswords();
    void nameAndPasswordInOneRow();
    void enterInPasswordLogsInOnce();
    void enterInNameBoxAddsNoName();
    void savePasswordSetting();
    void savePasswordSettingUnreadable();
    void showPasswordInClear();
    void firstPasswordHint();
    void emptyAccountTable();
    void unreadableAccountTable();
    void secondCopyEndsAtOnce();
    void looksRightToLeft();
};

void TestLoginWindow::controlsAndTexts()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    Window w(env);
    QCOMPARE(w.login.objectName(), QStringLiteral("Login"));
    QCOMPARE(w.login.windowTitle(), QStringLiteral("Zorbin"));
    QCOMPARE(child<QLabel>(w.login, "Label2")->text(), QStringLiteral(" :رمز عبور "));
    QCOMPARE(child<QLabel>(w.login, "Label1")->text(), QStringLiteral("نسخه 2.0"));
    QCOMPARE(w.showPassword()->text(), QString());
    QCOMPARE(w.showPassword()->toolTip(), QStringLiteral("نمايش"));
    QCOMPARE(w.savePassword()->text(), QStringLiteral("ذخيره رمز"));
    QCOMPARE(child<QPushButton>(w.login, "Button_Login")->text(), QStringLiteral("ورود"));
    QCOMPARE(child<QPushButton>(w.login, "Button_Restore")->text(), QStringLiteral("بازيابي رمز"));
    auto *first = child<QPushButton>(w.login, "Button_First");
    QCOMPARE(first->text(), QStringLiteral("؟"));
    QVERIFY(!first->accessibleName().isEmpty());
    QVERIFY(w.names()->isEditable());
    QCOMPARE(w.password()->echoMode(), QLineEdit::Password);
    QCOMPARE(child<QLabel>(w.login, "Label2")->buddy(), w.password());
    QCOMPARE(child<QLabel>(w.login, "LabelUser")->buddy(), w.names());
    QVERIFY(script.shown.isEmpty());
}

void TestLoginWindow::namesInTableOrder()
{
    TestEnv &env = *m_env;
    QVERIFY(addUser(env, QStringLiteral("zahra"), QStringLiteral("z")));
    QVERIFY(addUser(env, QStringLiteral("ali"), QStringLiteral("a")));
    QVERIFY(addUser(env, QStringLiteral("مریم"), QStringLiteral("m")));
    Dialogs::Script script;
    Window w(env);
    QCOMPARE(w.items(), (QStringList{QStringLiteral("admin"), QStringLiteral("zahra"),
                                     QStringLiteral("ali"), QStringLiteral("مریم")}));

    // At start the window shows before the database is unlocked; the names follow.
    LoginWindow later(*env.context, nullptr, true);
    auto *combo = child<QComboBox>(later, "Combo1");
    QCOMPARE(combo->count(), 0);
    later.loadNames();
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->itemText(3), QStringLiteral("مریم"));
}

void TestLoginWindow::activationPutsDefaultName()
{
    TestEnv &env = *m_env;
    QVERIFY(addUser(env, QStringLiteral("ali"), QStringLiteral("a")));
    Dialogs::Script script;
    Window w(env);
    w.names()->setEditText(QStringLiteral("ali"));
    w.showActive();
    QCOMPARE(w.names()->currentText(), QStringLiteral("admin"));

    // Coming back from another window puts the default name back again.
    w.names()->setEditText(QStringLiteral("ali"));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(w.names()->currentText(), QStringLiteral("ali"));
    w.login.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.login));
    QCOMPARE(w.names()->currentText(), QStringLiteral("admin"));
}

void TestLoginWindow::defaultNameWinsOverTheFirstAccount()
{
    // "bob" comes first in the table; the first name added must not stay shown.
    TestEnv &env = *m_env;
    QVERIFY(run(env, "DELETE FROM Table_User"));
    for (const char *name : {"bob", "admin", "carol"})
        QVERIFY(addUser(env, QString::fromLatin1(name), QStringLiteral("p")));
    Dialogs::Script script;
    // Names read while the window is built, then the activation.
    {
        Window w(env);
        QCOMPARE(w.names()->currentText(), QStringLiteral("admin"));
        w.showActive();
        QCOMPARE(w.names()->currentText(), QStringLiteral("admin"));
        QCOMPARE(w.names()->currentIndex(), 1);
    }
    // At start: the window is active before the names are read.
    LoginWindow later(*env.context, nullptr, true);
    later.show();
    later.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&later));
    later.loadNames();
    auto *combo = child<QComboBox>(later, "Combo1");
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->currentText(), QStringLiteral("admin"));
    QCOMPARE(combo->currentIndex(), 1);
    // A name the user typed meanwhile stays.
    LoginWindow typed(*env.context, nullptr, true);
    child<QComboBox>(typed, "Combo1")->setEditText(QStringLiteral("carol"));
    typed.loadNames();
    QCOMPARE(child<QComboBox>(typed, "Combo1")->currentText(), QStringLiteral("carol"));
}

void TestLoginWindow::wrongPasswordIsRefused()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    Window w(env);
    w.showActive();
    w.type(QStringLiteral("admin"), QStringLiteral("2"));
    w.clickLogin();
    QCOMPARE(script.shown.size(), 1);
    QCOMPARE(script.shown.first().kind, Dialogs::Kind::Exclamation);
    QCOMPARE(script.lastText(), kWrong);
    QCOMPARE(w.password()->text(), QString());
    QVERIFY(w.password()->hasFocus());
    QCOMPARE(w.spy.count(), 0);

    // Letter case counts.
    w.type(QStringLiteral("Admin"), QStringLiteral("1"));
    w.clickLogin();
    QCOMPARE(script.shown.size(), 2);
    QCOMPARE(w.spy.count(), 0);
    // The user may try again and again.
    w.type(QStringLiteral("admin"), QStringLiteral("1"));
    w.clickLogin();
    QCOMPARE(script.shown.size(), 2);
    QCOMPARE(w.spy.count(), 1);
}

void TestLoginWindow::ownMessageKeepsTypedName()
{
    TestEnv &env = *m_env;
    QVERIFY(addUser(env, QStringLiteral("ali"), QStringLiteral("2")));
    Window w(env);
    w.showActive();
    w.type(QStringLiteral("ali"), QStringLiteral("3"));
    {
        Dialogs::Script script;
        w.clickLogin();
        QCOMPARE(script.texts(), QStringList{kWrong});
    }
    // The real message box takes the activation and gives it back when it closes.
    const auto box = Dialogs::messageBox(&w.login, Dialogs::Kind::Exclamation, kWrong, true);
    box->show();
    box->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    box->close();
    // The window manager hands the activation back to the window.
    w.login.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.login));
    QCOMPARE(w.names()->currentText(), QStringLiteral("ali"));
    QCOMPARE(w.password()->text(), QString());
    // A later visit from elsewhere brings the default name back as usual.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    w.login.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.login));
    QCOMPARE(w.names()->currentText(), QStringLiteral("admin"));
    w.names()->setEditText(QStringLiteral("ali"));
    w.password()->setText(QStringLiteral("2"));
    w.clickLogin();
    QCOMPARE(w.spy.count(), 1);
}

void TestLoginWindow::emptyPasswordShowsNothing()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    Window w(env);
    w.showActive();
    w.names()->setFocus();
    w.type(QStringLiteral("admin"), QString());
    w.clickLogin();
    QVERIFY(script.shown.isEmpty());
    QCOMPARE(w.spy.count(), 0);
    QVERIFY(w.password()->hasFocus());
    // Blanks are not empty: they reach the check and are refused.
    w.type(QStringLiteral("admin"), QStringLiteral("  "));
    w.clickLogin();
    QCOMPARE(script.texts(), QStringList{kWrong});
}

void TestLoginWindow::blanksAroundNamesAndPasswords()
{
    TestEnv &env = *m_env;
    QVERIFY(addUser(env, QStringLiteral(" ali "), QStringLiteral("2")));
    Dialogs::Script script;
    {
        Window w(env);
        w.type(QStringLiteral("  admin "), QStringLiteral(" 1  "));
        w.clickLogin();
        QVERIFY(script.shown.isEmpty());
        QCOMPARE(w.spy.count(), 1);
    }
    for (const QString &typed : {QStringLiteral(" ali "), QStringLiteral("ali")}) {
        Window w(env);
        w.type(typed, QStringLiteral("2"));
        w.clickLogin();
        QCOMPARE(script.lastText(), kWrong);
        QCOMPARE(w.spy.count(), 0);
    }
}

void TestLoginWindow::nameAndPasswordInOneRow()
{
    TestEnv &env = *m_env;
    QVERIFY(addUser(env, QStringLiteral("ali"), QStringLiteral("2")));
    Dialogs::Script script;
    Window w(env);
    w.type(QStringLiteral("admin"), QStringLiteral("2"));
    w.clickLogin();
    w.type(QStringLiteral("ali"), QStringLiteral("1"));
    w.clickLogin();
    QCOMPARE(script.texts(), (QStringList{kWrong, kWrong}));
    QCOMPARE(w.spy.count(), 0);
    w.type(QStringLiteral("ali"), QStringLiteral("2"));
    w.clickLogin();
    QCOMPARE(script.shown.size(), 2);
    QCOMPARE(w.spy.count(), 1);
}

void TestLoginWindow::enterInPasswordLogsInOnce()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    Window w(env);
    w.showActive();
    w.names()->setEditText(QStringLiteral("admin"));
    w.password()->clear();
    QTest::keyClicks(w.password(), QStringLiteral("1"));
    QTest::keyClick(w.password(), Qt::Key_Return);
    QCOMPARE(w.spy.count(), 1);
    QVERIFY(script.shown.isEmpty());
}

void TestLoginWindow::enterInNameBoxAddsNoName()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    Window w(env);
    w.showActive();
    w.names()->setFocus();
    w.names()->lineEdit()->selectAll();
    QTest::keyClicks(w.names()->lineEdit(), QStringLiteral("nobody"));
    QTest::keyClick(w.names()->lineEdit(), Qt::Key_Return);
    QCOMPARE(w.items(), QStringList{QStringLiteral("admin")});
    QVERIFY(script.shown.isEmpty());
}

void TestLoginWindow::savePasswordSetting()
{
    TestEnv &env = *m_env;
    auto &settings = *env.settings;
    Dialogs::Script script;
    {
        Window w(env);
        QVERIFY(!w.savePassword()->isChecked());
        w.type(QStringLiteral("admin"), QStringLiteral("1"));
        w.clickLogin();
        QCOMPARE(w.spy.count(), 1);
        QVERIFY(settings.value("SavePass", "SettingForm", "SavePass").isNull());
        QVERIFY(settings.value("CheckNet", "SettingForm", "CheckNet").isNull());
    }
    {
        Window w(env);
        QCOMPARE(w.password()->text(), QString());
        QTest::mouseClick(w.savePassword(), Qt::LeftButton);
        QVERIFY(w.savePassword()->isChecked());
        QCOMPARE(settings.value("CheckNet", "SettingForm", "CheckNet"), QStringLiteral("1"));
        // A refused login stores nothing.
        w.type(QStringLiteral("admin"), QStringLiteral("9"));
        w.clickLogin();
        QVERIFY(settings.value("SavePass", "SettingForm", "SavePass").isNull());
        // The password is stored as typed, blanks and all.
        w.type(QStringLiteral("admin"), QStringLiteral(" 1"));
        w.clickLogin();
        QCOMPARE(w.spy.count(), 1);
        QCOMPARE(settings.value("SavePass", "SettingForm", "SavePass"), QStringLiteral(" 1"));
    }
    {
        Window w(env);
        QVERIFY(w.savePassword()->isChecked());
        QCOMPARE(w.password()->text(), QStringLiteral(" 1"));
        QTest::mouseClick(w.savePassword(), Qt::LeftButton);
        QCOMPARE(settings.value("CheckNet", "SettingForm", "CheckNet"), QStringLiteral("0"));
    }
    {
        // Unticked: the stored password stays stored but is no longer offered.
        Window w(env);
        QVERIFY(!w.savePassword()->isChecked());
        QCOMPARE(w.password()->text(), QString());
        QCOMPARE(settings.value("SavePass", "SettingForm", "SavePass"), QStringLiteral(" 1"));
    }
    QVERIFY(script.shown.size() == 1 && script.lastText() == kWrong);
}

void TestLoginWindow::savePasswordSettingUnreadable()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    QVERIFY(env.settings->setValue("SavePass", "SettingForm", "SavePass", "x"));
    for (const QString &state : {QStringLiteral("yes"), QStringLiteral("2"), QString()}) {
        QVERIFY(env.settings->setValue("CheckNet", "SettingForm", "CheckNet", state));
        Window w(env);
        QVERIFY(!w.savePassword()->isChecked());
        QCOMPARE(w.password()->text(), QString());
    }
    QVERIFY(script.shown.isEmpty());
}

void TestLoginWindow::showPasswordInClear()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    Window w(env);
    w.showActive();
    QCOMPARE(w.password()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                              w.password()),
             int('*'));
    QTest::mouseClick(w.showPassword(), Qt::LeftButton);
    QCOMPARE(w.password()->echoMode(), QLineEdit::Normal);
    QVERIFY(w.password()->hasFocus());
    QTest::mouseClick(w.showPassword(), Qt::LeftButton);
    QCOMPARE(w.password()->echoMode(), QLineEdit::Password);
    QVERIFY(w.password()->hasFocus());
}

void TestLoginWindow::firstPasswordHint()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    Window w(env);
    w.showActive();
    w.names()->setFocus();
    QTest::mouseClick(child<QPushButton>(w.login, "Button_First"), Qt::LeftButton);
    QCOMPARE(script.shown.size(), 1);
    QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
    QVERIFY(script.shown.first().rightAligned);
    QCOMPARE(script.lastText(), kHint);
    QVERIFY(w.password()->hasFocus());
    QCOMPARE(w.spy.count(), 0);
}

void TestLoginWindow::emptyAccountTable()
{
    TestEnv &env = *m_env;
    QVERIFY(run(env, "DELETE FROM Table_User"));
    Dialogs::Script script;
    Window w(env);
    QCOMPARE(w.names()->count(), 0);
    QVERIFY(script.shown.isEmpty());
    w.type(QStringLiteral("admin"), QStringLiteral("1"));
    w.clickLogin();
    w.type(QString(), QStringLiteral("1"));
    w.clickLogin();
    QCOMPARE(script.texts(), (QStringList{kWrong, kWrong}));
    QCOMPARE(w.spy.count(), 0);
}

void TestLoginWindow::unreadableAccountTable()
{
    TestEnv &env = *m_env;
    QVERIFY(run(env, "ALTER TABLE Table_User RENAME TO Table_Gone"));
    Dialogs::Script script;
    Window w(env);
    QCOMPARE(w.names()->count(), 0);
    QCOMPARE(script.shown.size(), 1);
    QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);

    // Logging in tells the same, keeps what was typed and does not claim a wrong password.
    w.type(QStringLiteral("admin"), QStringLiteral("1"));
    w.clickLogin();
    QCOMPARE(script.shown.size(), 2);
    QCOMPARE(script.shown.last().kind, Dialogs::Kind::Error);
    QVERIFY(!script.texts().contains(kWrong));
    QCOMPARE(w.password()->text(), QStringLiteral("1"));
    QCOMPARE(w.spy.count(), 0);

    // Once the table is back the same window works.
    QVERIFY(run(env, "ALTER TABLE Table_Gone RENAME TO Table_User"));
    w.clickLogin();
    QCOMPARE(script.shown.size(), 2);
    QCOMPARE(w.spy.count(), 1);
}

void TestLoginWindow::secondCopyEndsAtOnce()
{
    const QString program = qEnvironmentVariable("ZORBIN_BIN");
    if (program.isEmpty() || !QFileInfo::exists(program))
        QSKIP("ZORBIN_BIN does not name the built program");
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZORBIN_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    QTest::qWait(1500);
    QCOMPARE(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(program, {});
    QVERIFY(second.waitForStarted());
    const bool ended = second.waitForFinished(8000);
    if (!ended)
        second.kill();
    QVERIFY(ended);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    QVERIFY(first.waitForFinished(5000));
}

void TestLoginWindow::looksRightToLeft()
{
    TestEnv &env = *m_env;
    Dialogs::Script script;
    Window w(env);
    w.showActive();
    auto right = [&](QWidget *widget) {
        return widget->mapTo(&w.login, widget->rect().topRight()).x();
    };
    auto left = [&](QWidget *widget) { return widget->mapTo(&w.login, QPoint(0, 0)).x(); };
    QVERIFY(left(child<QLabel>(w.login, "Label2")) >= right(w.password()));
    QVERIFY(left(child<QLabel>(w.login, "LabelUser")) >= right(w.names()));
    QVERIFY(left(child<QPushButton>(w.login, "Button_Login")) >
            left(child<QPushButton>(w.login, "Button_Restore")));
    for (QWidget *widget : w.login.findChildren<QWidget *>())
        QVERIFY2(w.login.rect().contains(widget->geometry()) || !widget->isVisibleTo(&w.login),
                 qPrintable(widget->objectName()));
    // The icon-and-text buttons: the icon at the right, the caption beside it with its
    // whole ink and room to spare inside the button.
    for (const char *name : {"Button_Login", "Button_Restore"}) {
        auto *button =
            dynamic_cast<zorbin::common::IconTextButton *>(child<QPushButton>(w.login, name));
        QVERIFY2(button, name);
        const QRect caption = button->captionRect();
        const QFontMetrics metrics = button->fontMetrics();
        QVERIFY(caption.width() >= metrics.boundingRect(button->text()).width());
        QVERIFY2(caption.left() >= metrics.averageCharWidth() &&
                     caption.right() < button->iconRect().left() &&
                     button->iconRect().right() <= button->width() - metrics.averageCharWidth(),
                 name);
    }
    const QString shot = qEnvironmentVariable("ZORBIN_SHOT");
    if (!shot.isEmpty())
        QVERIFY(w.login.grab().save(shot));
}

QTEST_MAIN(TestLoginWindow)
#include "tst_loginwindow.moc"
