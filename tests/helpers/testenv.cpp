#include "helpers/testenv.h"

#include "store/datafolder.h"

#include <QDir>

TestEnv::TestEnv()
{
    QString message;
    store = zorbin::store::openDataFolder(dir.path(), &message);
    settings = std::make_unique<zorbin::store::Settings>(QDir(dir.path()).filePath("settings"));
    if (store)
        context = std::make_unique<zorbin::ui::Context>(
            zorbin::ui::Context{*store, selection, *settings, dir.path()});
}

qint64 TestEnv::addSite(const QString &title, const QString &address, const QString &subject,
                        const QString &modir, const QString &mobile)
{
    zorbin::store::SiteRecord r;
    for (auto &f : r.fields)
        f = QStringLiteral("");
    r[zorbin::store::Onvan] = title;
    r[zorbin::store::Address] = address;
    r[zorbin::store::Mozoo] = subject;
    r[zorbin::store::Modir] = modir.isNull() ? QStringLiteral("") : modir;
    r[zorbin::store::Mobile] = mobile.isNull() ? QStringLiteral("") : mobile;
    return store->insertSite(r).value_or(0);
}

qint64 TestEnv::addCategory(const QString &title)
{
    return store->addCategory(title).value_or(0);
}

bool TestEnv::sql(const char *statement, const QStringList &values)
{
    return RawDb(dir.path()).exec(statement, values);
}
