#include "core/conversions.h"

#include <QTest>

#include <functional>

using namespace Conversions;

// Every constant of the converters, each at a value large enough that an
// error in its fourth digit changes the shown result by whole units. The
// expected figures are worked out from the published definitions, not taken
// from the code.
class TstConversions final : public QObject
{
    Q_OBJECT

private slots:
    void constants_data();
    void constants();
};

using Conversion = std::function<Value()>;
Q_DECLARE_METATYPE(Conversion)

void TstConversions::constants_data()
{
    QTest::addColumn<Conversion>("conversion");
    QTest::addColumn<double>("expected");

    const auto length = [](LengthUnit from, const char *typed, LengthUnit to) {
        return Conversion([=] { return lengthsFrom(from, QString::fromLatin1(typed)).of(to); });
    };
    QTest::newRow("metres to cm") << length(LengthUnit::Metre, "1234", LengthUnit::Centimetre) << 123400.0;
    QTest::newRow("km to cm") << length(LengthUnit::Kilometre, "12", LengthUnit::Centimetre) << 1200000.0;
    QTest::newRow("inches to cm") << length(LengthUnit::Inch, "1000", LengthUnit::Centimetre) << 2540.0;
    QTest::newRow("feet to cm") << length(LengthUnit::Foot, "1000", LengthUnit::Centimetre) << 30480.0;
    QTest::newRow("miles to metres") << length(LengthUnit::Mile, "1000", LengthUnit::Metre) << 1609344.0;
    QTest::newRow("cm to feet") << length(LengthUnit::Centimetre, "100000", LengthUnit::Foot) << 3280.83989501312;
    QTest::newRow("cm to inches") << length(LengthUnit::Centimetre, "100000", LengthUnit::Inch) << 39370.0787401575;
    QTest::newRow("km to miles") << length(LengthUnit::Kilometre, "1000", LengthUnit::Mile) << 621.371192237334;

    const auto toKg = [](WeightUnit unit, double amount) { return Conversion([=] { return toKilograms(unit, amount); }); };
    const auto fromKg = [](WeightUnit unit, double kg) { return Conversion([=] { return fromKilograms(unit, kg); }); };
    QTest::newRow("grams to kg") << toKg(WeightUnit::Gram, 123456) << 123.456;
    QTest::newRow("pounds to kg") << toKg(WeightUnit::Pound, 1000) << 453.59237;
    QTest::newRow("ounces to kg") << toKg(WeightUnit::Ounce, 1000) << 28.349523125;
    QTest::newRow("kg to pounds") << fromKg(WeightUnit::Pound, 1000) << 2204.62262184878;
    QTest::newRow("kg to ounces") << fromKg(WeightUnit::Ounce, 1000) << 35273.9619495804;

    // The program's own gallon of 3.7854345 litres.
    QTest::newRow("litre price from gallon price")
        << Conversion([] { return litrePriceFromGallonPrice(1000); }) << 264.1704670890488;
    QTest::newRow("gallon price from litre price")
        << Conversion([] { return gallonPriceFromLitrePrice(1000); }) << 3785.4345;
    QTest::newRow("gallon price from euro litre price")
        << Conversion([] { return gallonPriceFromEuroLitrePrice(1000, 1.25); }) << 4731.793125;
    QTest::newRow("mpg to litres per 100 km")
        << Conversion([] { return mpgToLitresPer100Km(1); }) << 235.21599484013362;
    QTest::newRow("litres per 100 km to mpg")
        << Conversion([] { return litresPer100KmToMpg(1); }) << 235.0;
    QTest::newRow("temperature") << Conversion([] { return celsiusToFahrenheit(1000); }) << 1832.0;
    QTest::newRow("temperature back") << Conversion([] { return fahrenheitToCelsius(1832); }) << 1000.0;
}

void TstConversions::constants()
{
    QFETCH(Conversion, conversion);
    QFETCH(double, expected);
    const Value result = conversion();
    QVERIFY(result);
    QVERIFY2(qAbs(*result - expected) <= 1e-9 * qAbs(expected),
             qPrintable(QString::number(*result, 'g', 17) % u" instead of " % QString::number(expected, 'g', 17)));
}

QTEST_MAIN(TstConversions)
#include "tst_conversions.moc"
