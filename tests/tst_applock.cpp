#include "account/loginwindow.h"
#include "app/applock.h"
#include "app/startup.h"
#include "common/dialogs.h"
#include "common/secretboxes.h"
#include "common/strengthbar.h"
#include "core/secretclipboard.h"
#include "helpers/widgets.h"
#include "helpers/windowtestcase.h"
#include "mainwin/mainwindow.h"
#include "sites/siteeditor.h"
#include "store/locksetting.h"
#include "store/settings.h"
#include "store/store.h"
#include "tools/locksettingswindow.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtTest>

using zorbin::account::LoginWindow;
using zorbin::app::AppLock;
using zorbin::common::Dialogs;
using zorbin::store::Store;
using namespace std::chrono_literals;

namespace {

const QString kWrong = QStringLiteral("رمز عبور اشتباه است ");
const QString kSecret = QStringLiteral("Xk9#mQ2!vL7$pR4@wZ8^nB3&jT6*hF1%s");

// Everything the program writes to its log while it lives.
QStringList *g_log = nullptr;
void keepMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (g_log)
        g_log->append(message);
}

// Logs in through the start-up's login window (with its saved password, if any).
bool logIn(zorbin::app::Startup &startup)
{
    startup.start();
    LoginWindow *login = startup.login();
    if (!QTest::qWaitForWindowExposed(login))
        return false;
    auto *names = login->findChild<QComboBox *>(QStringLiteral("Combo1"));
    if (!QTest::qWaitFor([&] { return names->count() > 0; }))
        return false;
    auto *password = login->findChild<QLineEdit *>(QStringLiteral("Text1"));
    if (password->text().isEmpty())
        password->setText(Store::defaultPassword());
    login->findChild<QPushButton *>(QStringLiteral("Button_Login"))->click();
    return startup.mainPage() && startup.appLock();
}

// A modal window with one box, as the program's editors are.
struct Editor : QDialog
{
    explicit Editor(QWidget *parent) : QDialog(parent), box(new QLineEdit(this))
    {
        (new QVBoxLayout(this))->addWidget(box);
    }
    QLineEdit *box;
};

} // namespace

class TestAppLock : public WindowTestCase
{
    Q_OBJECT

private slots:
    // Two modal windows, one over the other, are put away and come back as they were:
    // their loops never end, their text stays, the top one is modal again. Closing them
    // (not the lock) empties their password boxes.
    void nestedModalWindowsComeBack()
    {
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QPointer<QWidget> unlock;
        AppLock lock(m_env->context->settings, [&](AppLock &) {
            unlock = new QWidget;
            return unlock;
        });
        Editor editor(&main);
        Editor inner(&editor);
        zorbin::common::wipeWhenClosed(&editor, {editor.box});
        zorbin::common::wipeWhenClosed(&inner, {inner.box});
        editor.box->setText(QStringLiteral("outer"));
        bool checked = false;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                const auto close = qScopeGuard([&] { inner.accept(); });
                QVERIFY(QTest::qWaitForWindowExposed(&inner));
                typeText(inner.box, QStringLiteral("typed"));
                zorbin::core::copySecret(QStringLiteral("s3cret"));
                lock.setIdleTimeout(200ms);
                QTRY_VERIFY(lock.isLocked());
                QVERIFY(!main.isVisible() && !editor.isVisible() && !inner.isVisible());
                QVERIFY(unlock && unlock->isVisible());
                QCOMPARE(QApplication::activeModalWidget(), nullptr);
                QCOMPARE(QGuiApplication::clipboard()->text(), QString());
                QCOMPARE(lock.hiddenWindows(), (QList<QWidget *>{&main, &editor, &inner}));
                QTest::qWait(300); // no second lock while locked
                lock.unlock();
                QVERIFY(main.isVisible() && editor.isVisible() && inner.isVisible());
                QCOMPARE(QApplication::activeModalWidget(), &inner);
                QCOMPARE(inner.box->text(), QStringLiteral("typed"));
                checked = true;
            });
            QCOMPARE(Dialogs::exec(inner), int(QDialog::Accepted));
            QCOMPARE(inner.box->text(), QString());
            QCOMPARE(editor.box->text(), QStringLiteral("outer"));
            editor.reject();
        });
        QCOMPARE(Dialogs::exec(editor), int(QDialog::Rejected));
        QVERIFY(checked);
        QCOMPARE(editor.box->text(), QString());
        QTRY_VERIFY(!unlock);
    }

    // After the idle time with a site editor open: every window goes, the copied password
    // leaves the clipboard, the login window asks for this account's password (not the
    // saved one); a wrong one gets the usual message, the right one brings the editor back
    // with what was typed. Nothing secret reaches the log.
    void editorKeptThroughTheLock()
    {
        QStringList log;
        g_log = &log;
        qInstallMessageHandler(keepMessage);
        const auto restoreLog = qScopeGuard([] {
            qInstallMessageHandler(nullptr);
            g_log = nullptr;
        });
        auto &settings = m_env->context->settings;
        QVERIFY(settings.setValue(u"CheckNet"_qs, u"SettingForm"_qs, u"CheckNet"_qs, u"1"_qs));
        QVERIFY(settings.setValue(u"SavePass"_qs, u"SettingForm"_qs, u"SavePass"_qs,
                                  Store::defaultPassword()));

        Dialogs::Script script;
        zorbin::app::Startup startup(*m_env->context);
        QVERIFY(logIn(startup));
        AppLock &lock = *startup.appLock();
        QCOMPARE(lock.idleTimeout(), std::chrono::milliseconds(10min));
        QWidget *main = startup.mainPage();

        zorbin::sites::SiteEditor editor(*m_env->context, zorbin::sites::SiteEditor::Mode::New, 0,
                                         main);
        bool checked = false;
        script.onWindow = [&](QDialog &) {
            typeText(child<QLineEdit>(editor, "Text1"), QStringLiteral("سايت من"));
            child<QLineEdit>(editor, "Text10")->setText(kSecret);
            zorbin::core::copySecret(kSecret);
            lock.setIdleTimeout(200ms);
            QTRY_VERIFY(lock.isLocked());
            QVERIFY(!editor.isVisible() && !main->isVisible());
            QCOMPARE(QGuiApplication::clipboard()->text(), QString());

            auto *unlock = qobject_cast<LoginWindow *>(lock.unlockWindow());
            QVERIFY(unlock && unlock->isVisible() && unlock->isUnlockMode());
            auto *name = child<QComboBox>(*unlock, "Combo1");
            QCOMPARE(name->currentText(), Store::defaultUserName());
            QVERIFY(!name->isEnabled());
            auto *password = child<QLineEdit>(*unlock, "Text1");
            QCOMPARE(password->text(), QString());
            QVERIFY(!child<QPushButton>(*unlock, "Button_Restore")->isVisible());

            typeText(password, QStringLiteral("nope"));
            QTest::keyClick(password, Qt::Key_Return);
            QCOMPARE(script.lastText(), kWrong);
            QVERIFY(lock.isLocked() && !editor.isVisible());
            QCOMPARE(password->text(), QString());
            unlock->close(); // the unlock window stays
            QVERIFY(unlock->isVisible());

            typeText(password, Store::defaultPassword());
            QTest::keyClick(password, Qt::Key_Return);
            QVERIFY(!lock.isLocked());
            QVERIFY(editor.isVisible() && main->isVisible());
            QCOMPARE(child<QLineEdit>(editor, "Text1")->text(), QStringLiteral("سايت من"));
            QCOMPARE(child<QLineEdit>(editor, "Text10")->text(), kSecret);
            QCOMPARE(child<zorbin::common::StrengthBar>(editor, "Strength")->strength().level, 4);
            checked = true;
        };
        Dialogs::exec(editor);
        QVERIFY(checked);
        QCOMPARE(script.of(Dialogs::Kind::Exclamation).size(), 1);
        for (const QString &line : std::as_const(log))
            QVERIFY2(!line.contains(kSecret) && !line.contains(u"nope"_qs), qPrintable(line));
    }

    // The settings window shows the stored minutes, saves a new number, and the lock
    // takes it at once; zero is shown as never.
    void minutesSetInTheirWindow()
    {
        AppLock lock(m_env->context->settings, {});
        QCOMPARE(lock.idleTimeout(), std::chrono::milliseconds(10min));
        zorbin::tools::LockSettingsWindow window(*m_env->context);
        window.show();
        auto *minutes = child<QSpinBox>(window, "Minutes");
        QCOMPARE(minutes->value(), 10);
        minutes->setValue(0);
        QCOMPARE(minutes->text(), QStringLiteral("هرگز"));
        minutes->setValue(3);
        QTest::mouseClick(child<QPushButton>(window, "Button_Save"), Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(zorbin::store::LockSetting::minutes(m_env->context->settings), 3);
        QCOMPARE(lock.idleTimeout(), std::chrono::milliseconds(3min));
    }

#ifdef ZORBIN_SCREENSHOTS
    // Under a real display (ZORBIN_SHOT=folder): the locked program, with a site editor
    // put away behind it.
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("ZORBIN_SHOT");
        if (folder.isEmpty())
            QSKIP("set ZORBIN_SHOT to a folder to take the pictures");
        Dialogs::Script script;
        zorbin::app::Startup startup(*m_env->context);
        QVERIFY(logIn(startup));
        zorbin::sites::SiteEditor editor(*m_env->context, zorbin::sites::SiteEditor::Mode::New, 0,
                                         startup.mainPage());
        script.onWindow = [&](QDialog &) {
            child<QLineEdit>(editor, "Text10")->setText(QStringLiteral("Tr0ub4dor&3"));
            QTest::qWait(300);
            QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(
                folder + u"/site-editor-strength.png"_qs));
            startup.appLock()->lock();
            QTest::qWait(500);
            QVERIFY(
                QGuiApplication::primaryScreen()->grabWindow(0).save(folder + u"/locked.png"_qs));
            startup.appLock()->unlock();
        };
        Dialogs::exec(editor);
    }
#endif
};

QTEST_MAIN(TestAppLock)
#include "tst_applock.moc"
