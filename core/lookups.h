#pragma once

#include <QString>

// Addresses of the lookups opened in the browser. The user's text is
// percent-encoded (UTF-8, everything outside the unreserved characters), so
// "&", "#", "?" and line breaks reach the site as text and cannot cut or
// extend the query.
namespace Lookups {

inline const QString railAddress = QStringLiteral("https://www.amtrak.com");

QString encode(const QString &text);

// baseUrl + "_tools/tankstelle.cgi?" + ZIP code
QString gasStationUrl(const QString &baseUrl, const QString &zip);
// baseUrl + "_tools/trans.cgi?dir=eng&txt=" (German to English) or "dir=ger" + text
QString translateUrl(const QString &baseUrl, bool toEnglish, const QString &text);
// baseUrl + "_tools/ptrans.cgi?" + state code
QString transportUrl(const QString &baseUrl, const QString &stateCode);
// baseUrl + "_tools/red.cgi?" + nr
QString redirectUrl(const QString &baseUrl, int nr);

} // namespace Lookups
