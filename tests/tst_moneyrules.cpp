#include "calc/moneyrules.h"
#include "helpers/testenv.h"

#include <QTest>

#include <cmath>
#include <limits>

using MoneyRules::allowance;

class TestMoneyRules final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::isolate(); }

    void allowanceByParty_data();
    void allowanceByParty();
    void divisionsFailWithoutRate_data();
    void divisionsFailWithoutRate();
    void dutyThresholdIsInDollars_data();
    void dutyThresholdIsInDollars();
};

void TestMoneyRules::allowanceByParty_data()
{
    QTest::addColumn<double>("travellers");
    QTest::addColumn<double>("under15");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("euros");

    QTest::newRow("3 of whom 1 child") << 3.0 << 1.0 << true << 1035.0;
    QTest::newRow("one adult") << 1.0 << 0.0 << true << 430.0;
    QTest::newRow("4 of whom 2 children") << 4.0 << 2.0 << true << 1210.0;
    QTest::newRow("children only") << 2.0 << 2.0 << true << 350.0;
    QTest::newRow("nobody") << 0.0 << 0.0 << true << 0.0;
    QTest::newRow("fractional travellers") << 2.5 << 0.0 << true << 1075.0;
    QTest::newRow("fractional children") << 2.5 << 0.5 << true << 947.5;
    QTest::newRow("more children than travellers") << 1.0 << 2.0 << false << 0.0;
    QTest::newRow("negative travellers") << -1.0 << 0.0 << false << 0.0;
    QTest::newRow("negative children") << 2.0 << -1.0 << false << 0.0;
    QTest::newRow("not a number") << std::nan("") << 0.0 << false << 0.0;
    QTest::newRow("beyond the double range") << 1e307 << 0.0 << false << 0.0;
}

void TestMoneyRules::allowanceByParty()
{
    QFETCH(double, travellers);
    QFETCH(double, under15);
    QFETCH(bool, valid);
    QFETCH(double, euros);

    const std::optional<double> result = allowance(travellers, under15);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, euros);
}

void TestMoneyRules::divisionsFailWithoutRate_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("rate");
    QTest::addColumn<bool>("valid");

    QTest::newRow("known rate") << 100.0 << 1.2345 << true;
    QTest::newRow("no rate") << 100.0 << 0.0 << false;
    QTest::newRow("zero by no rate") << 0.0 << 0.0 << false;
    QTest::newRow("negative zero rate") << 100.0 << -0.0 << false;
    QTest::newRow("overflow") << 1e300 << 1e-10 << false;
}

void TestMoneyRules::divisionsFailWithoutRate()
{
    QFETCH(double, amount);
    QFETCH(double, rate);
    QFETCH(bool, valid);

    QCOMPARE(MoneyRules::dollarToEur(amount, rate).has_value(), valid);
    QCOMPARE(MoneyRules::tipEuros(amount, 17, rate).has_value(), valid);
    QCOMPARE(MoneyRules::duty(amount * 1000, rate).has_value(), valid);
    // The tip in dollars needs no rate.
    QVERIFY(MoneyRules::tipDollars(amount, 17).has_value());
}

void TestMoneyRules::dutyThresholdIsInDollars_data()
{
    QTest::addColumn<double>("goods");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("duty");

    QTest::newRow("at the threshold") << 350.0 << 1.0 << 47.25;
    QTest::newRow("just above") << 350.01 << 1.0 << 0.19 * 350.01;
    // 400 $ are only 200 € at this rate; the high rate applies all the same.
    QTest::newRow("threshold not converted") << 400.0 << 2.0 << 38.0;
    QTest::newRow("negative goods") << -100.0 << 1.0 << -13.5;
}

void TestMoneyRules::dutyThresholdIsInDollars()
{
    QFETCH(double, goods);
    QFETCH(double, rate);
    QFETCH(double, duty);

    const std::optional<double> result = MoneyRules::duty(goods, rate);
    QVERIFY(result);
    QCOMPARE(*result, duty);
}

QTEST_MAIN(TestMoneyRules)
#include "tst_moneyrules.moc"
