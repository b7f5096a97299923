#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The European Central Bank's public euro reference rates, the rate source
// when no service host is configured: the daily file and the 90-day file,
// both a gesmes:Envelope holding one Cube per day (time="yyyy-mm-dd") with a
// Cube per currency (currency="USD" rate="1.0850"). Only the US dollar is read.
namespace ReferenceRates {

// Largest file read; the daily file is about 2 KiB, the 90-day one about 100 KiB.
constexpr qint64 maxDailyBytes = 16 * 1024;
constexpr qint64 maxHistoryBytes = 1024 * 1024;

// One day's US dollars per euro.
struct Point
{
    QDate day;
    double rate = 0.0;
    friend bool operator==(const Point &, const Point &) = default;
};
using Series = QList<Point>;

// The newest day's dollar rate, as the file writes it and read.
struct Newest
{
    Point point;
    QString rateText;
};

// The newest day of a daily file and its USD rate. Nothing for anything
// else: a DTD or entity, a file beyond maxDailyBytes, XML that is not
// well-formed or does not end, a day that is no date, a newest day without
// a usable USD rate.
std::optional<Newest> newest(const QByteArray &xml);

// Every day of a 90-day file that has a usable USD rate, oldest first;
// nothing under the same rules as newest(), or with fewer than two days.
std::optional<Series> series(const QByteArray &xml);

// The rate service's reply line for the newest day: "1.0850|05.12.2026|".
QString replyLine(const Newest &newest);

// The series as a small cache file, one "yyyy-mm-dd rate" line a day, and
// read back under the same rules as from the 90-day file.
QByteArray seriesFile(const Series &series);
std::optional<Series> readSeriesFile(const QByteArray &bytes);

} // namespace ReferenceRates
