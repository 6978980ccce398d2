#include "account/loginwindow.h"
#include "app/startup.h"
#include "common/appearance.h"
#include "common/dialogs.h"
#include "core/allocator.h"
#include "core/commandline.h"
#include "store/datafolder.h"
#include "store/filemodes.h"
#include "store/instancelock.h"
#include "store/messages.h"
#include "store/settings.h"
#include "store/store.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <unistd.h>

namespace zorbin::app {
namespace {

// For timing the start: ends the program once the first window has painted.
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
} // namespace zorbin::app

int main(int argc, char *argv[])
{
    zorbin::core::tuneAllocator();
    // --help and --version answer before any window, display or database is touched.
    if (const auto status = zorbin::core::handleCommandLine(
            argc, argv,
            {QStringLiteral("Zorbin"), QStringLiteral(ZORBIN_VERSION),
             QStringLiteral("Zorbin keeps the web sites you are registered at, their passwords "
                            "and a phone book in one encrypted file.")}))
        return *status;

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

    zorbin::common::setupApplication(app);
    app.setWindowIcon(QIcon(QStringLiteral(":/appicon/zorbin.svg")));
    app.setDesktopFileName(QStringLiteral("example.zorbin.Zorbin"));

    auto store = zorbin::store::openDataFolder(folder, false);
    if (!store) {
        zorbin::common::Dialogs::error(nullptr, zorbin::store::openErrorMessage(store.error()));
        return 1;
    }

    zorbin::store::Settings settings(zorbin::store::resolveSettingsFolder());
    zorbin::common::Context context{**store, settings, folder};

    zorbin::app::Startup startup(context);
    QObject::connect(&startup, &zorbin::app::Startup::finished, &app, &QCoreApplication::exit);
    startup.start();
    // For timing the start: the process ends the moment the window has painted.
    if (qEnvironmentVariableIsSet("ZORBIN_EXIT_WHEN_SHOWN"))
        startup.login()->installEventFilter(new zorbin::app::ExitOnPaint(startup.login()));
    return app.exec();
}
