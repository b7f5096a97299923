#include "core/referencerates.h"

#include "core/ratereply.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace ReferenceRates {

namespace {

const QString isoDate = QStringLiteral("yyyy-MM-dd");
constexpr qint64 maxSeriesFileBytes = 64 * 1024;
constexpr QLatin1StringView timeKey{"time"};
constexpr QLatin1StringView currencyKey{"currency"};
constexpr QLatin1StringView rateKey{"rate"};

// A day of the file and its USD rate as written (null when it has none).
struct Day
{
    QDate day;
    QString usd;
};

// Every day Cube of the file, in file order. Nothing for a file that is
// empty or too large, declares a DTD (and with it any entity), uses an
// entity, is not well-formed XML or ends early, nests a day in a day, gives
// a day twice a USD rate, or a day that is no date.
std::optional<QList<Day>> days(const QByteArray &xml, qint64 limit)
{
    if (xml.isEmpty() || xml.size() > limit)
        return std::nullopt;
    QXmlStreamReader reader(xml);
    QList<Day> found;
    int depth = 0;
    int dayDepth = -1; // depth of the open day Cube; -1 outside one
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return std::nullopt;
        case QXmlStreamReader::StartElement: {
            ++depth;
            if (reader.name() != u"Cube")
                break;
            const QXmlStreamAttributes attributes = reader.attributes();
            if (attributes.hasAttribute(timeKey)) {
                const QDate day = QDate::fromString(attributes.value(timeKey).toString(), isoDate);
                if (dayDepth >= 0 || !day.isValid())
                    return std::nullopt;
                found.append({day, {}});
                dayDepth = depth;
            } else if (dayDepth >= 0 && attributes.value(currencyKey) == u"USD") {
                if (!found.last().usd.isNull())
                    return std::nullopt;
                found.last().usd = attributes.value(rateKey).toString();
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (depth-- == dayDepth)
                dayDepth = -1;
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return found;
}

// Oldest first, each day once, at least two days.
std::optional<Series> ordered(Series points)
{
    std::sort(points.begin(), points.end(), [](const Point &a, const Point &b) { return a.day < b.day; });
    const auto twice = std::adjacent_find(points.cbegin(), points.cend(),
                                          [](const Point &a, const Point &b) { return a.day == b.day; });
    if (points.size() < 2 || twice != points.cend())
        return std::nullopt;
    return points;
}

} // namespace

std::optional<Newest> newest(const QByteArray &xml)
{
    const auto found = days(xml, maxDailyBytes);
    if (!found || found->isEmpty())
        return std::nullopt;
    const Day &last = *std::max_element(found->cbegin(), found->cend(),
                                        [](const Day &a, const Day &b) { return a.day < b.day; });
    const auto rate = RateReply::readRate(last.usd);
    if (last.usd.isNull() || !rate)
        return std::nullopt;
    return Newest{{last.day, *rate}, last.usd.trimmed()};
}

std::optional<Series> series(const QByteArray &xml)
{
    const auto found = days(xml, maxHistoryBytes);
    if (!found)
        return std::nullopt;
    Series points;
    for (const Day &day : *found) {
        if (const auto rate = day.usd.isNull() ? std::nullopt : RateReply::readRate(day.usd))
            points.append({day.day, *rate});
    }
    return ordered(points);
}

QString replyLine(const Newest &newest)
{
    return newest.rateText % u'|' % RateReply::dateText(newest.point.day) % u'|';
}

QByteArray seriesFile(const Series &series)
{
    QByteArray bytes;
    for (const Point &point : series)
        bytes += point.day.toString(isoDate).toLatin1() + ' ' + QByteArray::number(point.rate, 'g', 15) + '\n';
    return bytes;
}

std::optional<Series> readSeriesFile(const QByteArray &bytes)
{
    if (bytes.size() > maxSeriesFileBytes)
        return std::nullopt;
    Series points;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(' ');
        const QDate day = QDate::fromString(QString::fromLatin1(fields.constFirst()), isoDate);
        const auto rate = RateReply::readRate(QString::fromLatin1(fields.value(1)));
        if (fields.size() != 2 || !day.isValid() || !rate)
            return std::nullopt;
        points.append({day, *rate});
    }
    return ordered(points);
}

} // namespace ReferenceRates
