#include "helpers/testenv.h"
#include "core/ratereply.h"
#include "core/referencerates.h"

#include <QtTest>

using RateReply::Fields;

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<QString>)

class TestRateReply final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::isolate(); }

    void parse_data();
    void parse();
    void readRate_data();
    void readRate();
    void cacheLine_data();
    void cacheLine();
    void rateLine_data();
    void rateLine();
    void referenceRates_data();
    void referenceRates();
};

void TestRateReply::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<double>>("rate");
    QTest::addColumn<std::optional<QString>>("stand");
    QTest::addColumn<std::optional<QString>>("fetchDate");

    const std::optional<QString> none;
    QTest::newRow("cache line") << u"1.2345|05.12.2026|***06.12.2026***\r\n"_qs
                                << std::optional(1.2345) << std::optional(u"05.12.2026"_qs)
                                << std::optional(u"06.12.2026"_qs);
    QTest::newRow("reply") << u"1.3|05.12.2026|"_qs << std::optional(1.3)
                           << std::optional(u"05.12.2026"_qs) << none;
    QTest::newRow("reply with line feed") << u"1.3|05.12.2026|\n"_qs << std::optional(1.3)
                                          << std::optional(u"05.12.2026"_qs) << none;
    QTest::newRow("extra fields") << u"1.3|05.12.2026|x|y***06.12.2026***"_qs << std::optional(1.3)
                                  << std::optional(u"05.12.2026"_qs) << std::optional(u"06.12.2026"_qs);
    QTest::newRow("no pipe: rate only") << u"1.2345"_qs << std::optional(1.2345) << none << none;
    // An unclosed stand field swallows the date marker when read back.
    QTest::newRow("unclosed stand") << u"1.3|05.12.2026***06.12.2026***"_qs << std::optional(1.3)
                                    << std::optional(u"05.12.2026***06.12.2026***"_qs)
                                    << std::optional(u"06.12.2026"_qs);
    QTest::newRow("only the first line counts")
        << u"1.3|05.12.2026|\r\n***06.12.2026***"_qs << std::optional(1.3)
        << std::optional(u"05.12.2026"_qs) << none;
    QTest::newRow("line feed alone stays in the line")
        << u"1.3|a\nb|***06.12.2026***"_qs << std::optional(1.3) << std::optional(u"a\nb"_qs)
        << std::optional(u"06.12.2026"_qs);
    // A rate that is not a number ends the reading; one of 0 or below is
    // left out, but the stand text and the date after it still count.
    QTest::newRow("rate not a number") << u"abc|05.12.2026|***06.12.2026***"_qs
                                       << std::optional<double>() << none << none;
    QTest::newRow("zero rate") << u"0|05.12.2026|***06.12.2026***"_qs << std::optional<double>()
                               << std::optional(u"05.12.2026"_qs) << std::optional(u"06.12.2026"_qs);
    QTest::newRow("negative rate") << u"-1.2|05.12.2026|***06.12.2026***"_qs << std::optional<double>()
                                   << std::optional(u"05.12.2026"_qs) << std::optional(u"06.12.2026"_qs);
    QTest::newRow("no pipe in cache line") << u"1.2345***06.12.2026***"_qs
                                           << std::optional<double>() << none << none;
    QTest::newRow("empty") << QString() << std::optional<double>() << none << none;
    QTest::newRow("starts with CR") << u"\r\n1.3|05.12.2026|"_qs << std::optional<double>()
                                    << none << none;
}

void TestRateReply::parse()
{
    QFETCH(QString, text);
    QFETCH(std::optional<double>, rate);
    QFETCH(std::optional<QString>, stand);
    QFETCH(std::optional<QString>, fetchDate);

    const Fields fields = RateReply::parse(text);
    QCOMPARE(fields.rate, rate);
    QCOMPARE(fields.stand, stand);
    QCOMPARE(fields.fetchDate, fetchDate);
}

void TestRateReply::readRate_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<std::optional<double>>("rate");

    const std::optional<double> none;
    // Under the German locale the test set-up pins, where "." groups digits.
    QTest::newRow("point") << u"1.2345"_qs << std::optional(1.2345);
    QTest::newRow("whole") << u"1"_qs << std::optional(1.0);
    QTest::newRow("blanks") << u" 1.3 "_qs << std::optional(1.3);
    QTest::newRow("trailing line feed") << u"1.3\n"_qs << std::optional(1.3);
    QTest::newRow("nan") << u"nan"_qs << none;
    QTest::newRow("zero") << u"0"_qs << none;
    QTest::newRow("negative") << u"-1"_qs << none;
    // 1e-321: a number above 0 whose reciprocal is infinite.
    QTest::newRow("subnormal") << u"0."_qs + QString(320, u'0') + u'1' << none;
    // Plausible: 0.01 to 100 US$ per euro, both ends included.
    QTest::newRow("lowest plausible") << u"0.01"_qs << std::optional(0.01);
    QTest::newRow("highest plausible") << u"100"_qs << std::optional(100.0);
    QTest::newRow("below the band") << u"0.0099"_qs << none;
    QTest::newRow("above the band") << u"100.01"_qs << none;
    QTest::newRow("exponent beyond range") << u"1e400"_qs << none;
    QTest::newRow("digits beyond range") << QString(u'9').repeated(400) << none;
    QTest::newRow("decimal comma") << u"1,2345"_qs << none;
    QTest::newRow("empty") << QString() << none;
}

void TestRateReply::readRate()
{
    QFETCH(QString, field);
    QFETCH(std::optional<double>, rate);
    QCOMPARE(RateReply::readRate(field), rate);
}

void TestRateReply::cacheLine_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("example") << u"1.2345|05.12.2026|"_qs << QDate(2026, 12, 6)
                             << QByteArray("1.2345|05.12.2026|***06.12.2026***\r\n");
    QTest::newRow("padded day and month") << u"1.1|x|"_qs << QDate(2027, 1, 2)
                                          << QByteArray("1.1|x|***02.01.2027***\r\n");
    QTest::newRow("line feed kept") << u"1.1|x|\n"_qs << QDate(2027, 1, 2)
                                    << QByteArray("1.1|x|\n***02.01.2027***\r\n");
    QTest::newRow("CR LF reply cut") << u"1.1|x|\r\n"_qs << QDate(2027, 1, 2)
                                     << QByteArray("1.1|x|***02.01.2027***\r\n");
    QTest::newRow("Latin-1 stand") << u"1.1|März|"_qs << QDate(2027, 3, 1)
                                   << QByteArray("1.1|M\xe4rz|***01.03.2027***\r\n");
    QTest::newRow("empty reply") << QString() << QDate(2027, 3, 1)
                                 << QByteArray("***01.03.2027***\r\n");
}

void TestRateReply::cacheLine()
{
    QFETCH(QString, reply);
    QFETCH(QDate, date);
    QFETCH(QByteArray, bytes);
    QCOMPARE(RateReply::cacheLine(reply, date), bytes);
}

void TestRateReply::rateLine_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<std::optional<QString>>("line");

    QTest::newRow("cut reciprocal") << 1.2345 << std::optional(u"1 EUR = 1,2345 $, 1$ = 0,8100 EUR"_qs);
    QTest::newRow("1.3") << 1.3 << std::optional(u"1 EUR = 1,3 $, 1$ = 0,7692 EUR"_qs);
    QTest::newRow("short reciprocal") << 0.8 << std::optional(u"1 EUR = 0,8 $, 1$ = 1,25 EUR"_qs);
    QTest::newRow("zero") << 0.0 << std::optional<QString>();
    QTest::newRow("negative") << -1.0 << std::optional<QString>();
    QTest::newRow("nan") << qQNaN() << std::optional<QString>();
    QTest::newRow("infinite") << qInf() << std::optional<QString>();
    QTest::newRow("subnormal") << 1e-321 << std::optional<QString>();
    QTest::newRow("absurdly large") << 1e300 << std::optional<QString>();
}

void TestRateReply::rateLine()
{
    QFETCH(double, rate);
    QFETCH(std::optional<QString>, line);
    QCOMPARE(RateReply::rateLine(rate), line);
}

// The reference files: the newest day's USD rate as a reply line, and the
// series (which survives its own cache file).
void TestRateReply::referenceRates_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("reply"); // empty: refused
    QTest::addColumn<int>("days");      // 0: refused

    const auto day = [](const char *time, const char *usd) -> QByteArray {
        return "<Cube time='" + QByteArray(time) + "'><Cube currency='USD' rate='" + usd + "'/></Cube>";
    };
    const auto file = [](const QByteArray &days) -> QByteArray {
        return "<gesmes:Envelope xmlns:gesmes='g' xmlns='e'><Cube>" + days + "</Cube></gesmes:Envelope>";
    };
    const QByteArray three = day("2026-12-03", "1.08") + day("2026-12-04", " 1.0850 ") + day("2026-12-02", "1.07");
    QTest::newRow("newest of days in any order") << file(three) << u"1.0850|04.12.2026|"_qs << 3;
    QTest::newRow("newest day without USD")
        << file(day("2026-12-02", "1.07") + day("2026-12-03", "1.08") + "<Cube time='2026-12-04'><Cube currency='JPY' rate='160'/></Cube>")
        << QString() << 2;
    QTest::newRow("a day inside a day")
        << file("<Cube time='2026-12-04'>" + day("2026-12-03", "1.08") + "</Cube>" + three) << QString() << 0;
    QTest::newRow("file cut off") << file(three).chopped(8) << QString() << 0;
    QTest::newRow("DTD without entities") << "<!DOCTYPE gesmes:Envelope>" + file(three) << QString() << 0;
}

void TestRateReply::referenceRates()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, reply);
    QFETCH(int, days);
    const auto newest = ReferenceRates::newest(xml);
    QCOMPARE(newest ? ReferenceRates::replyLine(*newest) : QString(), reply);
    const auto series = ReferenceRates::series(xml);
    QCOMPARE(series ? series->size() : 0, days);
    if (series)
        QVERIFY(ReferenceRates::readSeriesFile(ReferenceRates::seriesFile(*series)) == series);
}

QTEST_MAIN(TestRateReply)
#include "tst_ratereply.moc"
