#include "store/sitechecks.h"

#include "store/text.h"

namespace zorbin::store {

bool hasStarredFields(const SiteRecord &typed)
{
    return !typed[Onvan].isEmpty() && !typed[Address].isEmpty() && !typed[Mozoo].isEmpty();
}

SiteRecord storedForm(SiteRecord typed)
{
    for (int f = 1; f < SiteFieldCount; ++f) {
        QString &value = typed.fields[size_t(f)];
        value = trimBlanks(value);
        if (value.isNull())
            value = QStringLiteral("");
    }
    return typed;
}

} // namespace zorbin::store
