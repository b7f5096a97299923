#pragma once

#include "standin/faults.h"

#include <QByteArray>
#include <QString>

// The stand-in for the product site, the price comparison portal and the
// rate service, all on one loopback server.
namespace StandIn {

inline constexpr QLatin1StringView ratePath{"/kartavio/_tools/eur.cgi"};
inline constexpr QLatin1StringView chartPath{"/kartavio/_tools/eurchart.gif"};
// The public reference rates' two files, on the same server.
inline constexpr QLatin1StringView dailyPath{"/stats/eurofxref/eurofxref-daily.xml"};
inline constexpr QLatin1StringView historyPath{"/stats/eurofxref/eurofxref-hist-90d.xml"};

// The rate service's reply: "<rate>|<stand>|".
QByteArray rateLine(const QByteArray &rate, const QByteArray &stand);

// The course of the last 90 days as a GIF of 465 x 249 pixels.
QByteArray chartGif();

// The page at `target` (path and query); status 404 for an unknown path.
HttpServer::Reply page(const QString &target);

// Makes `server` answer as the three hosts and the reference rates' host:
// the rate service's and the reference files' addresses as `service` says,
// every other address with its page.
void serveSite(HttpServer &server, const Service &service);

} // namespace StandIn
