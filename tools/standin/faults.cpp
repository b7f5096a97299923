#include "standin/faults.h"

#include "standin/hostilebytes.h"

#include <QRandomGenerator>

namespace StandIn {

namespace {

using namespace Qt::StringLiterals;

// Blanks after the rate line's last field, so that a dribbled line takes minutes.
constexpr qsizetype slowRatePadding = 1000;
constexpr qsizetype garbageSize = 1024 * 1024;

// The rate line with its first field (the rate) replaced.
Service withRate(Service service, const QByteArray &rate)
{
    const qsizetype bar = service.rate.body.indexOf('|');
    service.rate.body = rate + service.rate.body.mid(bar < 0 ? service.rate.body.size() : bar);
    return service;
}

// The rate line with this stand text after the rate.
Service withStand(Service service, const QByteArray &stand)
{
    service.rate.body = service.rate.body.left(service.rate.body.indexOf('|')) + '|' + stand + '|';
    return service;
}

Service delivered(Service service, Delivery delivery)
{
    service.rate.delivery = service.chart.delivery = delivery;
    return service;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

const Fault catalogue[] = {
    {"silent"_L1, "reads the request and never answers"_L1,
     [](Service good) { return delivered(good, Delivery::Silent); }},
    {"slow"_L1, "the head, then one body byte every 200 ms (the rate line padded with blanks)"_L1,
     [](Service good) {
         good.rate.body += QByteArray(slowRatePadding, ' ');
         return delivered(good, Delivery::Dribble);
     }},
    {"cut"_L1, "declares the full length, sends half the body, closes"_L1,
     [](Service good) { return delivered(good, Delivery::Cut); }},
    {"500"_L1, "status 500, with a well-formed rate line or chart as body"_L1,
     [](Service good) {
         good.rate.status = good.chart.status = 500;
         return good;
     }},
    {"garbage"_L1, "status 200 and 1 MB of random bytes"_L1,
     [](Service) {
         const Reply garbage{200, randomBytes(garbageSize), "application/octet-stream"};
         return Service{garbage, garbage};
     }},
    {"rate0"_L1, "a rate line with the rate 0"_L1, [](Service good) { return withRate(good, "0"); }},
    {"rate-1"_L1, "a rate line with the rate -1"_L1, [](Service good) { return withRate(good, "-1"); }},
    {"ratenan"_L1, "a rate line with the rate nan"_L1, [](Service good) { return withRate(good, "nan"); }},
    {"rate1e400"_L1, "a rate line with the rate 1e400"_L1, [](Service good) { return withRate(good, "1e400"); }},
    {"notgif"_L1, "a good rate line, but the chart is not a GIF"_L1,
     [](Service good) {
         good.chart.body = "<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\"><title>Fehler</title>"
                           "</head><body><p>Das Diagramm ist gerade nicht verf\xC3\xBCgbar.</p></body></html>\n";
         return good;
     }},
    {"richstand"_L1, "a stand text of markup: a picture of /dev/zero, a large red span, 40 nested tables"_L1,
     [](Service good) {
         return withStand(good, "<img src=\"/dev/zero\"><span style=\"font-size:72pt;color:red\">Stand</span>"
                                    + QByteArray("<table><tr><td>").repeated(40));
     }},
    {"jpegbomb"_L1, "a good rate line, but the chart is a progressive JPEG of 5700 x 5700 pixels"_L1,
     [](Service good) {
         good.chart.body = HostileBytes::jpegBomb();
         return good;
     }},
};

} // namespace

Service goodService(const QByteArray &rateLine, const QByteArray &chart)
{
    return {Reply{200, rateLine, "text/plain; charset=utf-8"}, Reply{200, chart, "image/gif"}};
}

std::span<const Fault> faults()
{
    return catalogue;
}

const Fault *fault(QStringView name)
{
    for (const Fault &candidate : catalogue) {
        if (name == candidate.name)
            return &candidate;
    }
    return nullptr;
}

Service faulty(QStringView name, const Service &good)
{
    const Fault *named = fault(name);
    if (!named)
        qFatal("no fault named %s", qPrintable(name.toString()));
    return named->apply(good);
}

} // namespace StandIn
