// The local stand-in for the three Kartavio hosts on one loopback address:
// the product site's pages, the price comparison portal and the rate
// service, which --fault makes misbehave. Prints "PORT <n>" on stdout once
// it listens, then logs every request on stderr as "METHOD TARGET STATUS".

#include "standin/faults.h"
#include "standin/site.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString faultHelp()
{
    QString help = u"Makes the rate service or the reference files misbehave; the pages stay as they are. "
                   "MODE is one of:"_s;
    for (const StandIn::Fault &fault : StandIn::faults())
        help += u"\n  "_s + fault.name + u": "_s + fault.summary;
    return help;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "standin_site: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Local stand-in for the Kartavio hosts."_s);
    parser.addHelpOption();
    const QCommandLineOption port(u"port"_s, u"Port on 127.0.0.1; 0 picks a free one."_s, u"n"_s, u"8080"_s);
    const QCommandLineOption rate(u"rate"_s, u"US dollars per euro, with a decimal point."_s, u"rate"_s, u"1.0850"_s);
    const QCommandLineOption stand(u"stand"_s, u"The rate's date after \"Stand:\" (default: today, dd.mm.yyyy)."_s,
                                   u"text"_s, QDate::currentDate().toString(u"dd.MM.yyyy"_s));
    const QCommandLineOption fault(u"fault"_s, faultHelp(), u"MODE"_s);
    parser.addOptions({port, rate, stand, fault});
    parser.process(app);

    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    if (!portOk || portNumber > 65535)
        return fail(u"--port must be a number from 0 to 65535"_s);
    bool rateOk = false;
    parser.value(rate).toDouble(&rateOk);
    if (!rateOk)
        return fail(u"--rate must be a number with a decimal point, e.g. 1.0850"_s);
    const QString rateAndStand = parser.value(rate) + parser.value(stand);
    if (rateAndStand.contains(u'|') || rateAndStand.contains(u'\r') || rateAndStand.contains(u'\n')
        || parser.value(stand).contains(u"***"_s))
        return fail(u"--rate and --stand must not hold '|', '***' or line breaks"_s);
    const StandIn::Fault *chosen = parser.isSet(fault) ? StandIn::fault(parser.value(fault)) : nullptr;
    if (parser.isSet(fault) && !chosen)
        return fail(u"--fault: no mode named "_s + parser.value(fault) + u"; see --help"_s);

    StandIn::Service service = StandIn::goodService(
        StandIn::rateLine(parser.value(rate).toUtf8(), parser.value(stand).toUtf8()), StandIn::chartGif());
    if (chosen)
        service = chosen->apply(service);
    StandIn::HttpServer server(&app, quint16(portNumber));
    if (!server.isListening())
        return fail(u"cannot listen on 127.0.0.1:"_s + QString::number(portNumber) + u": "_s + server.errorString());
    StandIn::serveSite(server, service);
    QObject::connect(&server, &StandIn::HttpServer::answering, &app,
                     [](const QByteArray &method, const QString &target, int status) {
                         const QByteArray shown = status > 0 ? QByteArray::number(status) : QByteArray("-");
                         std::fprintf(stderr, "%s %s %s\n", method.constData(), target.toLatin1().constData(),
                                      shown.constData());
                     });

    std::printf("PORT %d\n", int(server.serverPort()));
    std::fflush(stdout);
    std::fprintf(stderr, "Stand-in site listening on http://127.0.0.1:%d/\n", int(server.serverPort()));
    return app.exec();
}
