#include "store/datafolder.h"

#include "store/connectiontext.h"
#include "store/messages.h"
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
    if (!QFileInfo::exists(path)) {
        const bool made = QDir().mkpath(folder) && Store::createDatabase(path).has_value();
        if (!made) {
            if (message)
                *message = openErrorMessage({OpenError::CannotCreate, folder});
            return nullptr;
        }
        const QString images = QDir(folder).filePath(QStringLiteral("images"));
        QDir().mkpath(images);
        const QString none = QDir(images).filePath(QStringLiteral("none.jpg"));
        if (!QFileInfo::exists(none) && QFile::copy(QStringLiteral(":/none.jpg"), none))
            QFile::setPermissions(none, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                            QFile::ReadOther);
    }
    OpenResult result;
    const QString text = connectionText(folder);
    auto store = verify ? Store::open(text, &result) : Store::connect(text, &result);
    if (!store && message)
        *message = openErrorMessage(result);
    return store;
}

} // namespace zorbin::store
