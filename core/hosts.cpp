#include "core/hosts.h"

#include <QtGlobal>

namespace Hosts {

namespace {

QString configured(const char *variable, const char *fallback)
{
    const QString value = qEnvironmentVariable(variable).trimmed();
    return value.isEmpty() ? QString::fromUtf8(fallback) : value;
}

} // namespace

QString site()
{
    return configured("KARTAVIO_SITE_HOST", KARTAVIO_SITE_HOST_DEFAULT);
}

QString portal()
{
    return configured("KARTAVIO_PORTAL_HOST", KARTAVIO_PORTAL_HOST_DEFAULT);
}

QString service()
{
    return configured("KARTAVIO_SERVICE_HOST", KARTAVIO_SERVICE_HOST_DEFAULT);
}

QString baseUrl()
{
    return u"http://" % site() % u'/';
}

bool isPlaceholderService(const QString &host)
{
    return host == QLatin1StringView(KARTAVIO_SERVICE_HOST_PLACEHOLDER);
}

QString referenceBase()
{
    const QString host = qEnvironmentVariable("KARTAVIO_REFERENCE_HOST").trimmed();
    return host.isEmpty() ? QStringLiteral("https://www.ecb.europa.eu") : u"http://" % host;
}

} // namespace Hosts
