#pragma once

#include <QString>

namespace zorbin::store {

// Per-user settings: one INI file per application name, a section and a key inside it.
class Settings
{
public:
    explicit Settings(QString folder) : m_folder(std::move(folder)) {}

    // A missing value reads as a null QString.
    QString value(const QString &application, const QString &section, const QString &key) const;
    bool setValue(const QString &application, const QString &section, const QString &key,
                  const QString &value);
    QString folder() const { return m_folder; }

private:
    QString m_folder;
};

} // namespace zorbin::store
