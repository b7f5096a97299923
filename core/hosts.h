#pragma once

#include <QString>

// The three fixed hosts of the program ("host" or "host:port"). Each can be
// overridden at run time by an environment variable of the same name, so that
// tests and a local stand-in site can serve them.
namespace Hosts {

QString site();    // KARTAVIO_SITE_HOST: pages, lookups, web views
QString portal();  // KARTAVIO_PORTAL_HOST: price comparison pages
QString service(); // KARTAVIO_SERVICE_HOST: exchange rate and chart

// "http://" + the product site host + "/".
QString baseUrl();

// True for the built-in service host, which stands for "none configured":
// the rate then comes from the public reference rates.
bool isPlaceholderService(const QString &host);

// Where the public reference rates are read: "https://www.ecb.europa.eu",
// or "http://" + KARTAVIO_REFERENCE_HOST ("host:port") when that is set.
QString referenceBase();

} // namespace Hosts
