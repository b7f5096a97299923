#include "calc/conversions.h"
#include "helpers/testenv.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;
using Conversions::LengthUnit;
using Conversions::Value;

Q_DECLARE_METATYPE(Conversions::LengthUnit)
Q_DECLARE_METATYPE(std::optional<double>)

namespace {

constexpr double huge = std::numeric_limits<double>::max();

// Values equal to 12 significant digits, or both absent.
bool same(Value actual, Value expected)
{
    if (!actual || !expected)
        return !actual && !expected;
    return std::abs(*actual - *expected) <= 1e-12 * std::max(1.0, std::abs(*expected));
}

QString show(Value value)
{
    return value ? QString::number(*value, 'g', 17) : u"absent"_s;
}

} // namespace

// The formulas and their failures, without widgets.
class TstConversions final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::isolate(); }

    void lengths_data();
    void lengths();
    void failures_data();
    void failures();
};

// Which derived values are absent matters: a failed step is not the same as 0.
void TstConversions::lengths_data()
{
    QTest::addColumn<LengthUnit>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<Value>>("expected"); // cm, m, km, ft, in, mi

    const Value none;
    const Value zero = 0.0;
    // Miles come from the kilometres, feet and inches from the centimetres, by the factors.
    QTest::newRow("1 mile") << LengthUnit::Mile << u"1"_s
                            << QList<Value>{160934.4, 1609.344, 1.609344, 160934.4 * 0.0328083989501312,
                                            160934.4 * 0.393700787401575, 1.609344 * 0.621371192237334};
    QTest::newRow("1 foot") << LengthUnit::Foot << u"1"_s
                            << QList<Value>{30.48, 0.3048, 0.0003048, 30.48 * 0.0328083989501312,
                                            30.48 * 0.393700787401575, 0.0003048 * 0.621371192237334};
    // Typed centimetres stay text: unreadable, every step reading them fails; miles are 0.
    QTest::newRow("letters in cm") << LengthUnit::Centimetre << u"abc"_s
                                   << QList<Value>{none, none, none, none, none, zero};
    // Other units: the centimetres are absent, everything after counts them as 0.
    QTest::newRow("letters in m") << LengthUnit::Metre << u"abc"_s << QList<Value>{none, zero, zero, zero, zero, zero};
    QTest::newRow("empty miles") << LengthUnit::Mile << u""_s << QList<Value>{zero, none, zero, zero, zero, zero};
    QTest::newRow("overflow in km") << LengthUnit::Kilometre << QString(305, u'9')
                                    << QList<Value>{none, zero, zero, zero, zero, zero};
}

void TstConversions::lengths()
{
    QFETCH(LengthUnit, source);
    QFETCH(QString, text);
    QFETCH(QList<Value>, expected);
    const Conversions::Lengths result = Conversions::lengthsFrom(source, text);
    const QList<Value> actual{result.cm, result.m, result.km, result.ft, result.in, result.mi};
    const char *names[] = {"cm", "m", "km", "ft", "in", "mi"};
    for (int i = 0; i < 6; ++i)
        QVERIFY2(same(actual[i], expected[i]), qPrintable(QString::fromLatin1(names[i]) % u": " % show(actual[i])));
}

// Each formula fails on absent input, division by zero and overflow; a
// negative or zero input that has a finite result is converted.
void TstConversions::failures_data()
{
    QTest::addColumn<Value>("actual");
    QTest::addColumn<Value>("expected");

    const Value none;
    QTest::newRow("absent celsius") << Conversions::celsiusToFahrenheit(none) << none;
    QTest::newRow("celsius overflow") << Conversions::celsiusToFahrenheit(huge) << none;
    QTest::newRow("fahrenheit overflow") << Conversions::fahrenheitToCelsius(-huge) << none;
    QTest::newRow("-40 both ways") << Conversions::fahrenheitToCelsius(Conversions::celsiusToFahrenheit(-40.0))
                                   << Value(-40.0);
    QTest::newRow("pounds overflow") << Conversions::fromKilograms(Conversions::WeightUnit::Gram, huge) << none;
    QTest::newRow("grams to kg") << Conversions::toKilograms(Conversions::WeightUnit::Gram, 5.0) << Value(0.005);
    QTest::newRow("no rate, dollars to euros") << Conversions::dollarsToEuros(1.0, 0.0) << none;
    QTest::newRow("no rate, zero dollars") << Conversions::dollarsToEuros(0.0, 0.0) << none;
    QTest::newRow("no rate, euros to dollars") << Conversions::eurosToDollars(1.0, 0.0) << Value(0.0);
    QTest::newRow("no rate, euro litre to gallon") << Conversions::gallonPriceFromEuroLitrePrice(1.0, 0.0)
                                                   << Value(0.0);
    QTest::newRow("euro litre to gallon") << Conversions::gallonPriceFromEuroLitrePrice(1.0, 1.2345)
                                          << Value(1.2345 * 3.7854345);
    QTest::newRow("0 mpg") << Conversions::mpgToLitresPer100Km(0.0) << none;
    QTest::newRow("tiny mpg") << Conversions::mpgToLitresPer100Km(1e-310) << none;
    QTest::newRow("22 mpg") << Conversions::mpgToLitresPer100Km(22.0) << Value(100 * 3.7854345 / 22 / 1.609344);
    QTest::newRow("0 l/100 km") << Conversions::litresPer100KmToMpg(0.0) << none;
    QTest::newRow("8 l/100 km") << Conversions::litresPer100KmToMpg(8.0) << Value(29.375);
    QTest::newRow("trip 0 mpg") << Conversions::tripCost(100.0, 0.0, 1.99) << none;
    QTest::newRow("trip 0 by 0") << Conversions::tripCost(0.0, 0.0, 1.99) << none;
    QTest::newRow("trip overflow") << Conversions::tripCost(huge, 0.5, 1.0) << none;
    QTest::newRow("trip absent price") << Conversions::tripCost(100.0, 22.0, none) << none;
    QTest::newRow("trip 0 miles") << Conversions::tripCost(0.0, 22.0, 1.99) << Value(0.0);
}

void TstConversions::failures()
{
    QFETCH(Value, actual);
    QFETCH(Value, expected);
    QVERIFY2(same(actual, expected), qPrintable(show(actual) % u" instead of " % show(expected)));
}

QTEST_MAIN(TstConversions)
#include "tst_conversions.moc"
