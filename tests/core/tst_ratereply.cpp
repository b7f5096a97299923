#include "helpers/testenv.h"
#include "core/ratereply.h"

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
}

void TestRateReply::rateLine()
{
    QFETCH(double, rate);
    QFETCH(std::optional<QString>, line);
    QCOMPARE(RateReply::rateLine(rate), line);
}

QTEST_MAIN(TestRateReply)
#include "tst_ratereply.moc"
