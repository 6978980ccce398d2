#include "net/online.h"

#include <QNetworkInformation>

namespace zorbin::net {

bool isOnLine()
{
    // The backend is loaded once per process; it then follows the state by itself.
    static const bool loaded =
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    const QNetworkInformation *info = loaded ? QNetworkInformation::instance() : nullptr;
    if (!info)
        return true;
    return info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

} // namespace zorbin::net
