#include "account/login.h"
#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/startup.h"
#include "mainwin/main_page.h"
#include "store/datafolder.h"
#include "store/filemodes.h"
#include "store/instancelock.h"
#include "store/selection.h"
#include "store/settings.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <unistd.h>
#include <utility>

namespace {
// For timing the start: ends the program once the first window has painted.
// Runs `action` once, after the watched window has painted for the first time.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QObject *parent, std::function<void()> action)
        : QObject(parent), m_action(std::move(action))
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_action) {
            QTimer::singleShot(0, this, std::exchange(m_action, {}));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

class ExitOnPaint : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const bool handled = QObject::eventFilter(watched, event);
            static_cast<QWidget *>(watched)->removeEventFilter(this);
            QTimer::singleShot(0, [] { _exit(0); });
            return handled;
        }
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zorbin"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zorbin"));

    const QString folder = zorbin::store::resolveDataFolder();

    // One copy per data folder: a second start ends at once, silently, before any window.
    // The folder is made first (0700) so that the lock can be keyed on its real path.
    const auto folderMade = zorbin::store::makePrivateFolder(folder);
    auto lock = zorbin::store::acquireInstanceLock(folder);
    if (folderMade && lock && !*lock)
        return 0;

    zorbin::ui::setupApplication(app);

    QString message;
    auto store = zorbin::ui::openDataFolder(folder, &message, false);
    if (!store) {
        zorbin::ui::Dialogs::error(nullptr, message);
        return 1;
    }

    zorbin::store::Selection selection;
    zorbin::store::Settings settings(zorbin::store::resolveSettingsFolder());
    zorbin::ui::Context context{*store, selection, settings, folder};

    auto *login = new Login(context, nullptr, true);
    login->setAttribute(Qt::WA_DeleteOnClose);
    std::unique_ptr<Main_Page> mainPage;
    QObject::connect(login, &Login::loggedIn, login, [&] {
        mainPage = std::make_unique<Main_Page>(context);
        mainPage->show();
        login->close();
    });
    // Unlocking the database takes tens of milliseconds; the window shows first and the
    // names follow. A database that fails its checks ends the program with its message.
    login->installEventFilter(new AfterFirstPaint(login, [&] {
        zorbin::store::OpenResult result;
        if (!store->verify(&result)) {
            zorbin::ui::Dialogs::error(login, zorbin::ui::openErrorMessage(result));
            QCoreApplication::exit(1);
            return;
        }
        login->loadNames();
    }));
    // For timing the start: the process ends the moment the window has painted.
    if (qEnvironmentVariableIsSet("ZORBIN_EXIT_WHEN_SHOWN"))
        login->installEventFilter(new ExitOnPaint(login));
    login->show();
    const int rc = app.exec();
    mainPage.reset();
    return rc;
}
