#include "core/updatecheck.h"

#include "net/urlfetch.h"
#include "store/settings.h"

namespace zorbin::core {

namespace {

QString joined(const QString &server, const QString &path)
{
    QString base = server.trimmed();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + path;
}

} // namespace

QString defaultUpdateServer()
{
    return QStringLiteral("http://www.zorbin.example");
}

QString updateServerApplication()
{
    return QStringLiteral("Zorbin");
}

QString updateServerSection()
{
    return QStringLiteral("Update");
}

QString updateServerKey()
{
    return QStringLiteral("Server");
}

QString updateServer(const store::Settings &settings)
{
    const QString stored =
        settings.value(updateServerApplication(), updateServerSection(), updateServerKey());
    return stored.trimmed().isEmpty() ? defaultUpdateServer() : stored.trimmed();
}

QString updateFileUrl(const QString &server)
{
    return joined(server, QStringLiteral("/products/update/Zorbin_v") +
                              QLatin1String(kInstalledVersion) + QStringLiteral(".txt"));
}

QString newsPageUrl(const QString &server)
{
    return joined(server, QStringLiteral("/index.php?newsid=9"));
}

std::optional<UpdateVerdict> updateVerdict(const QString &body)
{
    if (body == QLatin1String("0"))
        return UpdateVerdict::UpToDate;
    if (body == QLatin1String("1"))
        return UpdateVerdict::NewVersion;
    return std::nullopt;
}

QString fetchUpdateBody(const QString &server, int timeoutMs)
{
    return net::fetchUrlText(updateFileUrl(server), timeoutMs, kUpdateBodyLimit);
}

} // namespace zorbin::core
