#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// The rate service's reply line, the cache line and the rate line text.
//
// A reply is one line of "|"-separated fields: the rate (US dollars per euro,
// decimal point) and the text shown after "Stand: ". The cache line is the
// reply followed by "***", the fetch date "dd.mm.yyyy", "***" and CR LF; it is
// stored as Latin-1 bytes.
namespace RateReply {

// What a reply or cache line yields, taken in order: the stand text only
// after a rate field that reads as a number (a rate outside the plausible
// band is read but left out), the fetch date only after the stand text.
struct Fields
{
    std::optional<double> rate;       // field 0 of the split at "|"
    std::optional<QString> stand;     // field 1 of the split at "|"
    std::optional<QString> fetchDate; // field 1 of the split at "***"
};

// The text up to the first carriage return; a lone line feed stays part of it.
QStringView firstLine(QStringView text);

// The rate field: a number with "." as decimal separator in every locale.
// Nothing unless it lies within 0.01 to 100 US$ per euro.
std::optional<double> readRate(QStringView field);

// Splits the first line of a reply or cache line into its fields.
Fields parse(QStringView text);

// A date as the cache stores it: "dd.mm.yyyy" in every locale.
QString dateText(QDate date);

// The bytes of the cache file for `reply` fetched on `fetched`, e.g.
// "1.2345|05.12.2026|***06.12.2026***\r\n". Only the reply's first line is
// stored, so that the fetch date always stays on the line that is read back.
QByteArray cacheLine(QStringView reply, QDate fetched);

// "1 EUR = 1,2345 $, 1$ = 0,8100 EUR": the rate in general number text and
// the first six characters of its reciprocal (cut, not rounded). Nothing for
// a rate that readRate would refuse.
std::optional<QString> rateLine(double rate);

} // namespace RateReply
