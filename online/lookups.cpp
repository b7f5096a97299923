#include "online/lookups.h"

namespace Lookups {

QString redirectUrl(const QString &baseUrl, int nr)
{
    return baseUrl % u"_tools/red.cgi?" % QString::number(nr);
}

} // namespace Lookups
