#pragma once

#include "standin/httpserver.h"

#include <QDate>
#include <QLatin1StringView>

#include <span>

// The ways a broken or hostile rate service answers, each defined once and
// named: the stand-in site serves them (--fault NAME) and the tests feed
// them to the program.
namespace StandIn {

using Reply = HttpServer::Reply;
using Delivery = HttpServer::Delivery;

// The rate service's two answers, the rate line and the chart, and the
// public reference rates' two files, the daily and the 90-day one.
struct Service
{
    Reply rate;
    Reply chart;
    Reply daily;
    Reply history;
};

// The service as it should answer, with this rate line and chart; the
// reference files give the line's rate on the line's date (dd.mm.yyyy;
// today when it is none).
Service goodService(const QByteArray &rateLine, const QByteArray &chart);

// The reference files as the central bank writes them: the daily file with
// `rate` for US$ on `day`, the 90-day file with every working day up to `day`.
QByteArray dailyXml(const QByteArray &rate, QDate day);
QByteArray historyXml(const QByteArray &rate, QDate day);

struct Fault
{
    QLatin1StringView name;
    QLatin1StringView summary; // one line, for --help
    Service (*apply)(Service good);
};

// Every fault, in the order --help lists them.
std::span<const Fault> faults();

// The fault of that name; nullptr when there is none.
const Fault *fault(QStringView name);

// The good service under the fault of that name (which must exist).
Service faulty(QStringView name, const Service &good);

} // namespace StandIn
