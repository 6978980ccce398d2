#include "store/datafolder.h"

#include "store/connectiontext.h"
#include "store/messages.h"
#include "store/newinstall.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zorbin::store {

QString resolveDataFolder()
{
    const QString home = qEnvironmentVariable("ZORBIN_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    const QString appDir = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(QDir(appDir).filePath(QString::fromLatin1(kDatabaseFileName))))
        return appDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString resolveSettingsFolder()
{
    const QString home = qEnvironmentVariable("ZORBIN_HOME");
    if (!home.isEmpty())
        return QDir(home).filePath(QStringLiteral("settings"));
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

std::unique_ptr<Store> openDataFolder(const QString &folder, QString *message, bool verify)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
    // What an interrupted first start left is cleared before the folder is judged.
    const auto recovered = recoverInterruptedCreation(folder);
    if (!recovered) {
        if (message)
            *message = openErrorMessage({OpenError::CannotCreate, recovered.error().detail});
        return nullptr;
    }
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        QFile picture(QStringLiteral(":/none.jpg"));
        const QByteArray pictureData =
            picture.open(QIODevice::ReadOnly) ? picture.readAll() : QByteArray();
        const auto made = makeNewInstallation(folder, pictureData);
        if (!made) {
            if (message)
                *message = openErrorMessage({OpenError::CannotCreate, folder});
            return nullptr;
        }
    }
    OpenResult result;
    const QString text = connectionText(folder);
    auto store = verify ? Store::open(text, &result) : Store::connect(text, &result);
    if (!store && message)
        *message = openErrorMessage(result);
    return store;
}

} // namespace zorbin::store
