#include "standin/faults.h"

#include "standin/hostilebytes.h"

#include <QRandomGenerator>

#include <cmath>

#include <functional>

namespace StandIn {

namespace {

using namespace Qt::StringLiterals;

// Blanks after the rate line's last field, so that a dribbled line takes minutes.
constexpr qsizetype slowRatePadding = 1000;
constexpr qsizetype garbageSize = 1024 * 1024;
constexpr qsizetype hugeXmlSize = 100 * 1024 * 1024;

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
    service.rate.delivery = service.chart.delivery = service.daily.delivery = service.history.delivery = delivery;
    return service;
}

// The reference files' opening and closing, as the central bank writes them.
const QByteArray envelopeHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gesmes:Envelope xmlns:gesmes=\"http://www.gesmes.org/xml/2002-08-01\" "
    "xmlns=\"http://www.ecb.int/vocabulary/2002-08-01/eurofxref\">\n"
    "\t<gesmes:subject>Reference rates</gesmes:subject>\n"
    "\t<gesmes:Sender>\n\t\t<gesmes:name>European Central Bank</gesmes:name>\n\t</gesmes:Sender>\n"
    "\t<Cube>\n";
const QByteArray envelopeTail = "\t</Cube>\n</gesmes:Envelope>\n";

// One day's Cube: the dollar and two other currencies.
QByteArray dayCube(QDate day, const QByteArray &usd)
{
    return "\t\t<Cube time='" + day.toString(u"yyyy-MM-dd"_s).toLatin1() + "'>\n\t\t\t<Cube currency='USD' rate='"
        + usd + "'/>\n\t\t\t<Cube currency='JPY' rate='162.51'/>\n\t\t\t<Cube currency='GBP' rate='0.8571'/>\n"
        + "\t\t</Cube>\n";
}

// Both reference files with every "USD" entry changed by `change`.
Service referenceEdited(Service service, const std::function<QByteArray(QByteArray)> &change)
{
    service.daily.body = change(service.daily.body);
    service.history.body = change(service.history.body);
    return service;
}

// Both reference files as `body`, with or without a declared length.
Service referenceAs(Service service, const QByteArray &body, Delivery delivery = Delivery::Whole)
{
    service.daily.body = service.history.body = body;
    service.daily.delivery = service.history.delivery = delivery;
    service.daily.declareLength = service.history.declareLength = delivery != Delivery::Dribble;
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
    {"500"_L1, "status 500, with a well-formed rate line, chart or reference file as body"_L1,
     [](Service good) {
         good.rate.status = good.chart.status = good.daily.status = good.history.status = 500;
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
    {"xmlnousd"_L1, "reference files without a US dollar rate"_L1,
     [](Service good) {
         return referenceEdited(good, [](QByteArray xml) { return xml.replace("'USD'", "'CHF'"); });
     }},
    {"xmlbaddate"_L1, "reference files whose days are no dates"_L1,
     [](Service good) {
         return referenceEdited(good, [](QByteArray xml) { return xml.replace("time='", "time='31."); });
     }},
    {"xmlempty"_L1, "reference files with status 200 and no body"_L1,
     [](Service good) { return referenceAs(good, QByteArray()); }},
    {"xmlhuge"_L1, "reference files of 100 MB: a well-formed head, then blanks"_L1,
     [](Service good) {
         QByteArray huge = envelopeHead;
         huge.resize(hugeXmlSize, ' ');
         return referenceAs(good, huge + envelopeTail);
     }},
    {"xmlendless"_L1, "reference files that never end: day after day, one byte every 200 ms, no length"_L1,
     [](Service good) {
         return referenceAs(good, envelopeHead + dayCube(QDate(2026, 12, 4), "1.0850").repeated(10000),
                            Delivery::Dribble);
     }},
    {"xmlentity"_L1, "reference files with a DTD whose entities grow to gigabytes, the rate one of them"_L1,
     [](Service good) {
         QByteArray dtd = "<!DOCTYPE gesmes:Envelope [<!ENTITY e0 \"1.0850\">";
         for (int i = 1; i < 10; ++i)
             dtd += "<!ENTITY e" + QByteArray::number(i) + " \"" + QByteArray("&e" + QByteArray::number(i - 1) + ';').repeated(10)
                 + "\">";
         return referenceEdited(good, [dtd](QByteArray xml) {
             return xml.insert(xml.indexOf('\n') + 1, dtd + "]>\n").replace("'USD' rate='", "'USD' rate='&e9;' was='");
         });
     }},
};

} // namespace

QByteArray dailyXml(const QByteArray &rate, QDate day)
{
    return envelopeHead + dayCube(day, rate) + envelopeTail;
}

// Working days only, as the central bank publishes; the dollar swings a
// little around `rate`, newest day first as in the bank's file.
QByteArray historyXml(const QByteArray &rate, QDate day)
{
    const double base = rate.toDouble();
    QByteArray days;
    for (int back = 0; back < 90; ++back) {
        const QDate date = day.addDays(-back);
        if (back > 0 && date.dayOfWeek() > 5)
            continue;
        const double usd = back == 0 ? base : base + 0.02 * std::sin(back / 9.0) - 0.0002 * back;
        days += dayCube(date, back == 0 ? rate : QByteArray::number(usd, 'f', 4));
    }
    return envelopeHead + days + envelopeTail;
}

Service goodService(const QByteArray &rateLine, const QByteArray &chart)
{
    const QList<QByteArray> fields = rateLine.split('|');
    QDate day = QDate::fromString(QString::fromLatin1(fields.value(1)), u"dd.MM.yyyy"_s);
    if (!day.isValid())
        day = QDate::currentDate();
    const QByteArray xml = "text/xml";
    return {Reply{200, rateLine, "text/plain; charset=utf-8"}, Reply{200, chart, "image/gif"},
            Reply{200, dailyXml(fields.constFirst(), day), xml}, Reply{200, historyXml(fields.constFirst(), day), xml}};
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
