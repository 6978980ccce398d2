#include "helpers/teststore.h"

#include "store/datafolder.h"

TestStore::TestStore()
{
    store = zorbin::store::openDataFolder(dir.path()).value_or(nullptr);
}

qint64 TestStore::addSite(const QString &title, const QString &address, const QString &subject,
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

qint64 TestStore::addCategory(const QString &title)
{
    return store->addCategory(title).value_or(0);
}

bool TestStore::sql(const char *statement, const QStringList &values)
{
    return RawDb(dir.path()).exec(statement, values);
}
