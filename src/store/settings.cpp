#include "store/settings.h"

#include "store/filemodes.h"

#include <QDir>
#include <QSettings>

namespace zorbin::store {

namespace {
QString fileFor(const QString &folder, const QString &application)
{
    return QDir(folder).filePath(application + QStringLiteral(".ini"));
}
} // namespace

QString Settings::value(const QString &application, const QString &section,
                        const QString &key) const
{
    QSettings s(fileFor(m_folder, application), QSettings::IniFormat);
    const QVariant v = s.value(section + QLatin1Char('/') + key);
    return v.isValid() ? v.toString() : QString();
}

bool Settings::setValue(const QString &application, const QString &section, const QString &key,
                        const QString &value)
{
    // The file is made 0600 before the first write; rewrites keep the mode it has.
    if (!makePrivateFolder(m_folder) || !createPrivateFile(fileFor(m_folder, application)))
        return false;
    QSettings s(fileFor(m_folder, application), QSettings::IniFormat);
    s.setValue(section + QLatin1Char('/') + key, value);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace zorbin::store
