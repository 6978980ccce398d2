#pragma once

#include <QIcon>
#include <QString>

namespace zorbin::common {

// The bundled icon set (Bootstrap Icons), by the icon's own name: "globe", "key", ...
// Only the icons the build lists are in the program.
QString iconPath(QStringView name);
QIcon icon(QStringView name);

} // namespace zorbin::common
