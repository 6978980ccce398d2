#include "account/login.h"
#include "common/appearance.h"
#include "common/dialogs.h"
#include "common/startup.h"
#include "mainwin/main_page.h"
#include "store/datafolder.h"
#include "store/selection.h"
#include "store/settings.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QPointer>
#include <QTimer>

namespace {
// For timing the start: ends the program once the first window has painted.
class ExitWhenPainted : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
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
    const QByteArray key =
        QCryptographicHash::hash(QDir(folder).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    QLockFile lock(QDir::temp().filePath(QStringLiteral("zorbin-%1.lock").arg(QString::fromLatin1(key))));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError)
        return 0;

    zorbin::ui::setupApplication(app);

    QString message;
    auto store = zorbin::ui::openDataFolder(folder, &message);
    if (!store) {
        zorbin::ui::Dialogs::error(nullptr, message);
        return 1;
    }

    zorbin::store::Selection selection;
    zorbin::store::Settings settings(zorbin::store::resolveSettingsFolder());
    zorbin::ui::Context context{*store, selection, settings, folder};

    auto *login = new Login(context);
    login->setAttribute(Qt::WA_DeleteOnClose);
    std::unique_ptr<Main_Page> mainPage;
    QObject::connect(login, &Login::loggedIn, login, [&] {
        mainPage = std::make_unique<Main_Page>(context);
        mainPage->show();
        login->close();
    });
    if (qEnvironmentVariableIsSet("ZORBIN_EXIT_WHEN_SHOWN"))
        login->installEventFilter(new ExitWhenPainted(login));
    login->show();
    const int rc = app.exec();
    mainPage.reset();
    return rc;
}
