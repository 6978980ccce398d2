#include "app/applock.h"
#include "common/dialogs.h"
#include "core/secretclipboard.h"
#include "helpers/widgets.h"
#include "helpers/windowtestcase.h"

#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <QtTest>

using zorbin::app::AppLock;
using zorbin::ui::Dialogs;
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
    // their loops never end, their text stays, the top one is modal again.
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
        bool checked = false;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                const auto close = qScopeGuard([&] { inner.accept(); });
                QVERIFY(QTest::qWaitForWindowExposed(&inner));
                typeText(inner.box, QStringLiteral("typed"));
                zorbin::tools::copySecret(QStringLiteral("s3cret"));
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
            editor.reject();
        });
        QCOMPARE(Dialogs::exec(editor), int(QDialog::Rejected));
        QVERIFY(checked);
        QTRY_VERIFY(!unlock);
    }
};

QTEST_MAIN(TestAppLock)
#include "tst_applock.moc"
