#include "store/datafolder.h"

#include "store/connectiontext.h"
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

Result<std::unique_ptr<Store>> openDataFolder(const QString &folder, bool verify)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
    // What an interrupted first start left is cleared before the folder is judged.
    const auto recovered = recoverInterruptedCreation(folder);
    if (!recovered)
        return failure(StoreError::Kind::CannotCreate, recovered.error().detail);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        QFile picture(QStringLiteral(":/none.jpg"));
        const QByteArray pictureData =
            picture.open(QIODevice::ReadOnly) ? picture.readAll() : QByteArray();
        const auto made = makeNewInstallation(folder, pictureData);
        if (!made)
            return failure(StoreError::Kind::CannotCreate, folder);
    }
    const QString text = connectionText(folder);
    return verify ? Store::open(text) : Store::connect(text);
}

} // namespace zorbin::store
