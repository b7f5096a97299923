#pragma once

#include <QString>

// Addresses of the lookups opened in the browser.
namespace Lookups {

// baseUrl + "_tools/red.cgi?" + nr
QString redirectUrl(const QString &baseUrl, int nr);

} // namespace Lookups
