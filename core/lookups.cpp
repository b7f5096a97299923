#include "core/lookups.h"

#include <QUrl>

namespace Lookups {

QString encode(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString gasStationUrl(const QString &baseUrl, const QString &zip)
{
    return baseUrl % u"_tools/tankstelle.cgi?" % encode(zip);
}

QString translateUrl(const QString &baseUrl, bool toEnglish, const QString &text)
{
    return baseUrl % (toEnglish ? u"_tools/trans.cgi?dir=eng&txt=" : u"_tools/trans.cgi?dir=ger&txt=") % encode(text);
}

QString transportUrl(const QString &baseUrl, const QString &stateCode)
{
    return baseUrl % u"_tools/ptrans.cgi?" % encode(stateCode);
}

QString redirectUrl(const QString &baseUrl, int nr)
{
    return baseUrl % u"_tools/red.cgi?" % QString::number(nr);
}

} // namespace Lookups
