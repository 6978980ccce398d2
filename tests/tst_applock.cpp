#include "app/applock.h"
#include "common/dialogs.h"
#include "common/secretboxes.h"
#include "core/secretclipboard.h"
#include "helpers/widgets.h"
#include "helpers/windowtestcase.h"
#include "store/locksetting.h"
#include "tools/locksettingswindow.h"

#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtTest>

using zorbin::app::AppLock;
using zorbin::common::Dialogs;
using namespace std::chrono_literals;

namespace {

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
};

QTEST_MAIN(TestAppLock)
#include "tst_applock.moc"
