#include "core/ratereply.h"

#include "core/number.h"

namespace RateReply {

namespace {

constexpr QStringView fieldSeparator = u"|";
constexpr QStringView dateMarker = u"***";

// Field `index` of `text` split at `separator`, if there are that many.
std::optional<QString> field(QStringView text, QStringView separator, qsizetype index)
{
    const auto fields = text.split(separator);
    if (index >= fields.size())
        return std::nullopt;
    return fields.at(index).toString();
}

} // namespace

QStringView firstLine(QStringView text)
{
    const qsizetype end = text.indexOf(u'\r');
    return end < 0 ? text : text.left(end);
}

namespace {

// The rate field read as a number, whatever its value. The service writes a
// decimal point; a comma would be read as a group separator and give a rate
// thousands of times too large.
std::optional<double> readNumber(QStringView field)
{
    if (field.contains(u','))
        return std::nullopt;
    return Number::read(field, QLocale::c());
}

// A rate the program can use: within a generous band around every rate the
// euro has had (0.8 to 1.6 US$ since 1999). Anything outside is a broken or
// hostile reply: a rate of 1e300 would give 300-digit amounts, and one near
// 0 has no finite reciprocal.
constexpr double lowestRate = 0.01;
constexpr double highestRate = 100.0;

bool usable(double rate)
{
    return Number::finite(rate) && rate >= lowestRate && rate <= highestRate;
}

} // namespace

std::optional<double> readRate(QStringView field)
{
    const auto rate = readNumber(field);
    if (!rate || !usable(*rate))
        return std::nullopt;
    return rate;
}

Fields parse(QStringView text)
{
    const QStringView line = firstLine(text);
    Fields result;
    const QStringView rateField = line.split(fieldSeparator).constFirst();
    result.rate = readRate(rateField);
    // A rate of 0 or below is not used, but it is a number: the stand text
    // and the fetch date after it are still read.
    if (!readNumber(rateField))
        return result;
    result.stand = field(line, fieldSeparator, 1);
    if (!result.stand)
        return result;
    result.fetchDate = field(line, dateMarker, 1);
    return result;
}

QString dateText(QDate date)
{
    return date.toString(u"dd.MM.yyyy");
}

QByteArray cacheLine(QStringView reply, QDate fetched)
{
    const QString line = firstLine(reply) % dateMarker % dateText(fetched) % dateMarker % u"\r\n";
    return line.toLatin1();
}

std::optional<QString> rateLine(double rate)
{
    if (!usable(rate))
        return std::nullopt;
    const QString reciprocal = Number::general(1.0 / rate);
    return u"1 EUR = " % Number::general(rate) % u" $, 1$ = " % reciprocal.left(6) % u" EUR";
}

} // namespace RateReply
