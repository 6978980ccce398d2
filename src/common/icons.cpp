#include "common/icons.h"

namespace zorbin::common {

QString iconPath(QStringView name)
{
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

QIcon icon(QStringView name)
{
    return QIcon(iconPath(name));
}

} // namespace zorbin::common
