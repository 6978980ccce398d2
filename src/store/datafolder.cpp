#include "store/datafolder.h"

#include "store/connectiontext.h"

#include <QCoreApplication>
#include <QDir>
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

} // namespace zorbin::store
