#include "core/number.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

// The reading rule and the display patterns, in German and in other locales.
class TestNumber final : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void format_data();
    void format();
    void formatFailures();
    void general_data();
    void general();

private:
    const QLocale german{QLocale::German, QLocale::Germany};
};

void TestNumber::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::addColumn<QLocale>("locale");

    QTest::newRow("decimal comma") << u"1,5"_s << true << 1.5 << german;
    QTest::newRow("point groups digits") << u"1.5"_s << true << 15.0 << german;
    QTest::newRow("grouped with decimals") << u"1.234,56"_s << true << 1234.56 << german;
    QTest::newRow("group separators anywhere") << u"1.2.3.4"_s << true << 1234.0 << german;
    QTest::newRow("blanks around") << u"  12  "_s << true << 12.0 << german;
    QTest::newRow("tab around") << u"\t7\t"_s << true << 7.0 << german;
    QTest::newRow("minus") << u"-3"_s << true << -3.0 << german;
    QTest::newRow("plus") << u"+3"_s << true << 3.0 << german;
    QTest::newRow("initial box text") << u"1,00"_s << true << 1.0 << german;
    QTest::newRow("leading comma") << u",5"_s << true << 0.5 << german;
    QTest::newRow("trailing comma") << u"5,"_s << true << 5.0 << german;
    QTest::newRow("zero") << u"0"_s << true << 0.0 << german;
    QTest::newRow("large") << u"1.000.000"_s << true << 1e6 << german;

    QTest::newRow("empty") << QString() << false << 0.0 << german;
    QTest::newRow("blanks only") << u"   "_s << false << 0.0 << german;
    QTest::newRow("minus alone") << u"-"_s << false << 0.0 << german;
    QTest::newRow("letters") << u"abc"_s << false << 0.0 << german;
    QTest::newRow("trailing letter") << u"12a"_s << false << 0.0 << german;
    QTest::newRow("two decimal commas") << u"1,2,3"_s << false << 0.0 << german;
    QTest::newRow("group after decimal") << u"1,2.3"_s << false << 0.0 << german;
    QTest::newRow("inner blank") << u"1 2"_s << false << 0.0 << german;
    QTest::newRow("sign twice") << u"--1"_s << false << 0.0 << german;
    QTest::newRow("exponent") << u"1e5"_s << false << 0.0 << german;
    QTest::newRow("separators only") << u".,"_s << false << 0.0 << german;
    QTest::newRow("beyond double range") << QString(u'9').repeated(400) << false << 0.0 << german;
    QTest::newRow("hex prefix") << u"0x10"_s << false << 0.0 << german;
    // The largest double as shown reads back; one more in its 15th digit is too large.
    const QString zeros = u".000"_s.repeated(98);
    QTest::newRow("largest shown") << u"179.769.313.486.231"_s % zeros % u",00"_s << true << 1.79769313486231e308
                                   << german;
    QTest::newRow("beyond largest") << u"179.769.313.486.232"_s % zeros << false << 0.0 << german;
    QTest::newRow("full-width digit") << u"１"_s << false << 0.0 << german;
    // The convention of other locales.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("en 1.5") << u"1.5"_s << true << 1.5 << english;
    QTest::newRow("en 1,234.5") << u"1,234.5"_s << true << 1234.5 << english;
    QTest::newRow("en 1,5 groups") << u"1,5"_s << true << 15.0 << english;
    const QLocale swiss(QLocale::German, QLocale::Switzerland);
    QTest::newRow("de-CH 1'234.5") << swiss.toString(1234.5, 'f', 1) << true << 1234.5 << swiss;
}

void TestNumber::read()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    QFETCH(QLocale, locale);
    const std::optional<double> result = Number::read(text, locale);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void TestNumber::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shown");

    const QString money = Number::moneyPattern.toString();
    QTest::newRow("grouped millions") << 1234567.891 << money << u"1.234.567,89"_s;
    QTest::newRow("33.8") << 33.8 << money << u"33,80"_s;
    QTest::newRow("negative") << -17.2222 << money << u"-17,22"_s;
    QTest::newRow("halfway 0.125") << 0.125 << money << u"0,13"_s;
    QTest::newRow("halfway 0.005") << 0.005 << money << u"0,01"_s;
    QTest::newRow("below half") << 0.004 << money << u"0,00"_s;
    QTest::newRow("negative grouped") << -1234.5 << money << u"-1.234,50"_s;
    QTest::newRow("one decimal") << 2.54 << Number::oneDecimalPattern.toString() << u"2,5"_s;
    QTest::newRow("one decimal halfway") << 22.05 << Number::oneDecimalPattern.toString() << u"22,1"_s;
    QTest::newRow("zero") << 0.0 << money << u"0,00"_s;
    QTest::newRow("empty pattern is money") << 2.0 << QString() << u"2,00"_s;
    QTest::newRow("carry into new digit") << 999.995 << money << u"1.000,00"_s;
    QTest::newRow("negative rounding to zero") << -0.004 << money << u"0,00"_s;
    QTest::newRow("negative halfway") << -0.125 << money << u"-0,13"_s;
    // 1.15 / 3.7854345 * 3.7854345 style noise must not show.
    QTest::newRow("binary noise") << 0.1 + 0.2 << money << u"0,30"_s;
    QTest::newRow("fifteen digits") << 1.005 << money << u"1,01"_s;
    QTest::newRow("large") << 1e20 << money << u"100.000.000.000.000.000.000,00"_s;
    QTest::newRow("tiny") << 1e-300 << money << u"0,00"_s;
    // 15 digits of the largest double would round up beyond the double range.
    const QString largest = u"179.769.313.486.231"_s % u".000"_s.repeated(98);
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << money << largest % u",00"_s;
    QTest::newRow("largest negative") << -std::numeric_limits<double>::max() << money << u"-"_s % largest % u",00"_s;
    QTest::newRow("largest one decimal") << std::numeric_limits<double>::max()
                                         << Number::oneDecimalPattern.toString() << largest % u",0"_s;
}

void TestNumber::format()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, shown);
    QCOMPARE(Number::format(value, pattern, german), shown);
}

void TestNumber::formatFailures()
{
    QCOMPARE(Number::format(std::numeric_limits<double>::infinity(), {}, german), QString());
    QCOMPARE(Number::format(-std::numeric_limits<double>::infinity(), {}, german), QString());
    QCOMPARE(Number::format(std::numeric_limits<double>::quiet_NaN(), {}, german), QString());
    // An absent held value shows as zero.
    QCOMPARE(Number::format(std::optional<double>(), {}, german), u"0,00"_s);
    QCOMPARE(Number::format(1234.5, {}, QLocale(QLocale::English, QLocale::UnitedStates)), u"1,234.50"_s);
}

void TestNumber::general_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("rate") << 1.2345 << u"1,2345"_s;
    QTest::newRow("short") << 1.3 << u"1,3"_s;
    QTest::newRow("integer") << 1.0 << u"1"_s;
    QTest::newRow("reciprocal") << 1 / 1.2345 << u"0,810044552450385"_s;
    QTest::newRow("no grouping") << 12345.5 << u"12345,5"_s;
    QTest::newRow("negative") << -0.8 << u"-0,8"_s;
}

void TestNumber::general()
{
    QFETCH(double, value);
    QFETCH(QString, shown);
    QCOMPARE(Number::general(value, german), shown);
}

QTEST_GUILESS_MAIN(TestNumber)
#include "tst_number.moc"
