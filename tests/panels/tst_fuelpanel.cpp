#include "panels/fuelpanel.h"
#include "helpers/fitcheck.h"
#include "helpers/panelprobe.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// Drives the fuel panel through real key releases in its boxes.
class TstFuelPanel final : public PanelTest<FuelPanel>
{
    Q_OBJECT

private slots:
    void converter_data();
    void converter();
    void tripCost_data();
    void tripCost();
    void converterLeavesTripCostAlone();

    void stationLookup_data();
    void stationLookup();
    void layout();

private:
    QLineEdit *box(const QString &name) const { return control(name); }
    QString shown(const QString &name) const { return box(name)->text(); }
    QString tripLine() const { return control<QLabel>(u"lblFahrtPreis"_s)->text(); }
    void type(const QString &name, const QString &text) { PanelProbe::type(box(name), text); }
};

// --- Converter

void TstFuelPanel::converter_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("text");
    // txtGalPrice, txtLPriceD, txtLPriceE, txtMPG, txtLKM, txtGalPrice2 afterwards
    QTest::addColumn<QStringList>("shown");

    const QString gal = u"txtGalPrice"_s;
    const QString d = u"txtLPriceD"_s;
    const QString e = u"txtLPriceE"_s;
    const QString mpg = u"txtMPG"_s;
    const QString lkm = u"txtLKM"_s;
    QTest::newRow("gallon 1,99") << 1.2345 << gal << "1,99"
                                 << QStringList{u"1,99"_s, u"0,53"_s, u"0,43"_s, u"22"_s, u"1,00"_s, u"1,99"_s};
    // The euro price follows the litre price as shown (0,30 $), not the unrounded 0,3038 $.
    QTest::newRow("gallon 1,15") << 1.2345 << gal << "1,15"
                                 << QStringList{u"1,15"_s, u"0,30"_s, u"0,24"_s, u"22"_s, u"1,00"_s, u"1,15"_s};
    // Unreadable: copied as it stands, the euro price follows the litre box as it stands.
    QTest::newRow("gallon letters") << 1.2345 << gal << "abc"
                                    << QStringList{u"abc"_s, u"1,00"_s, u"0,81"_s, u"22"_s, u"1,00"_s, u"abc"_s};
    QTest::newRow("gallon without rate") << 0.0 << gal << "1,99"
                                         << QStringList{u"1,99"_s, u"0,53"_s, u"1,00"_s, u"22"_s, u"1,00"_s, u"1,99"_s};
    QTest::newRow("dollar litre 1,00") << 1.2345 << d << "1,00"
                                       << QStringList{u"1,99"_s, u"1,00"_s, u"0,81"_s, u"22"_s, u"1,00"_s, u"3,79"_s};
    QTest::newRow("dollar litre without rate") << 0.0 << d << "1,00"
                                               << QStringList{u"1,99"_s, u"1,00"_s, u"1,00"_s, u"22"_s, u"1,00"_s, u"3,79"_s};
    QTest::newRow("euro litre 1,00") << 1.2345 << e << "1,00"
                                     << QStringList{u"4,67"_s, u"1,23"_s, u"1,00"_s, u"22"_s, u"1,00"_s, u"1,99"_s};
    QTest::newRow("euro litre without rate") << 0.0 << e << "1,00"
                                             << QStringList{u"0,00"_s, u"0,00"_s, u"1,00"_s, u"22"_s, u"1,00"_s, u"1,99"_s};
    QTest::newRow("22 mpg") << 1.2345 << mpg << "22"
                            << QStringList{u"1,99"_s, u"1,00"_s, u"1,00"_s, u"22"_s, u"10,69"_s, u"1,99"_s};
    QTest::newRow("-22 mpg") << 1.2345 << mpg << "-22"
                             << QStringList{u"1,99"_s, u"1,00"_s, u"1,00"_s, u"-22"_s, u"-10,69"_s, u"1,99"_s};
    QTest::newRow("0 mpg") << 1.2345 << mpg << "0"
                           << QStringList{u"1,99"_s, u"1,00"_s, u"1,00"_s, u"0"_s, u"1,00"_s, u"1,99"_s};
    // One decimal, and 235 rather than the exact factor on the way back.
    QTest::newRow("10,69 l/100 km") << 1.2345 << lkm << "10,69"
                                    << QStringList{u"1,99"_s, u"1,00"_s, u"1,00"_s, u"22,0"_s, u"10,69"_s, u"1,99"_s};
    QTest::newRow("0 l/100 km") << 1.2345 << lkm << "0"
                                << QStringList{u"1,99"_s, u"1,00"_s, u"1,00"_s, u"22"_s, u"0"_s, u"1,99"_s};
}

void TstFuelPanel::converter()
{
    QFETCH(double, rate);
    QFETCH(QString, source);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    m_rate = rate;
    type(source, text);
    QStringList after;
    for (const QString &name : {u"txtGalPrice"_s, u"txtLPriceD"_s, u"txtLPriceE"_s, u"txtMPG"_s, u"txtLKM"_s, u"txtGalPrice2"_s})
        after << this->shown(name);
    QCOMPARE(after, shown);
    QCOMPARE(PanelProbe::storedKeys(), QStringList{source});
    QCOMPARE(m_store->value(source), text);
}

// --- Trip cost

void TstFuelPanel::tripCost_data()
{
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("consumption");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("typedIn");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("stored");

    const QString untouched = u"Fahrtpreis: 0 US $"_s;
    const QString strecke = u"txtStrecke"_s;
    const QString verbrauch = u"txtVerbrauch"_s;
    const QString price2 = u"txtGalPrice2"_s;
    QTest::newRow("100 mi") << "100" << "22" << "1,99" << strecke << "Fahrtkosten: 9,05 $" << QStringList{strecke};
    QTest::newRow("2500 mi") << "2500" << "22" << "1,99" << verbrauch << "Fahrtkosten: 226,14 $"
                             << QStringList{strecke, verbrauch};
    QTest::newRow("10000 mi") << "10000" << "10" << "3" << price2 << "Fahrtkosten: 3.000,00 $"
                              << QStringList{price2, strecke};
    QTest::newRow("0 mi") << "0" << "22" << "1,99" << strecke << "Fahrtkosten: 0,00 $" << QStringList{strecke};
    QTest::newRow("negative price") << "100" << "22" << "-1,99" << price2 << "Fahrtkosten: -9,05 $"
                                    << QStringList{price2, strecke};
    QTest::newRow("0 mpg") << "100" << "0" << "1,99" << verbrauch << untouched << QStringList{strecke, verbrauch};
    QTest::newRow("0 mi at 0 mpg") << "0" << "0" << "1,99" << strecke << untouched << QStringList{strecke};
    QTest::newRow("letters in price") << "100" << "22" << "abc" << price2 << untouched << QStringList{price2, strecke};
    QTest::newRow("empty distance") << "" << "22" << "1,99" << strecke << untouched << QStringList{strecke};
}

void TstFuelPanel::tripCost()
{
    QFETCH(QString, distance);
    QFETCH(QString, consumption);
    QFETCH(QString, price);
    QFETCH(QString, typedIn);
    QFETCH(QString, line);
    QFETCH(QStringList, stored);

    box(u"txtStrecke"_s)->setText(distance);
    box(u"txtVerbrauch"_s)->setText(consumption);
    box(u"txtGalPrice2"_s)->setText(price);
    QTest::keyRelease(box(typedIn), Qt::Key_1);

    QCOMPARE(tripLine(), line);
    stored.sort();
    QCOMPARE(PanelProbe::storedKeys(), stored);
    QCOMPARE(m_store->value(u"txtStrecke"_s), distance);
    // The gallon price is copied into the converter as it stands; its litre prices stay.
    QCOMPARE(shown(u"txtGalPrice"_s), typedIn == u"txtGalPrice2" ? price : u"1,99"_s);
    QCOMPARE(shown(u"txtLPriceD"_s), u"1,00"_s);
    QCOMPARE(shown(u"txtLPriceE"_s), u"1,00"_s);
}

void TstFuelPanel::converterLeavesTripCostAlone()
{
    type(u"txtStrecke"_s, u"100"_s);
    QCOMPARE(tripLine(), u"Fahrtkosten: 9,05 $"_s);
    type(u"txtGalPrice"_s, u"3,99"_s);
    QCOMPARE(shown(u"txtGalPrice2"_s), u"3,99"_s);
    QCOMPARE(tripLine(), u"Fahrtkosten: 9,05 $"_s);
    type(u"txtLPriceD"_s, u"2,00"_s);
    QCOMPARE(shown(u"txtGalPrice2"_s), u"7,57"_s);
    QCOMPARE(shown(u"txtGalPrice"_s), u"3,99"_s);
    QCOMPARE(tripLine(), u"Fahrtkosten: 9,05 $"_s);
}

// --- Events

void TstFuelPanel::stationLookup_data()
{
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("address");
    QTest::newRow("initial") << "33064" << "http://www.kartavio.example/_tools/tankstelle.cgi?33064";
    QTest::newRow("empty") << "" << "http://www.kartavio.example/_tools/tankstelle.cgi?";
}

void TstFuelPanel::stationLookup()
{
    QFETCH(QString, zip);
    QFETCH(QString, address);

    QCOMPARE(shown(u"txtPLZ"_s), u"33064"_s);
    type(u"txtPLZ"_s, zip);
    QTest::mouseClick(m_panel->findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.front().toString(QUrl::FullyEncoded), address);
    // The ZIP code is never remembered.
    QCOMPARE(PanelProbe::storedKeys(), QStringList{});
}

// Group captions, and the longest trip cost shown in full.
void TstFuelPanel::layout()
{
    QCOMPARE(m_panel->objectName(), u"Frame1_1"_s);
    for (const auto &[group, caption] : {std::pair{u"Frame1_2"_s, u"Umrechnung"_s},
                                         {u"Frame5"_s, u"Fahrtpreis errechnen"_s}, {u"Frame6"_s, u"Benzinpreis"_s}})
        QCOMPARE(m_panel->findChild<QGroupBox *>(group)->title(), caption);
    // The longest result the label must show in full.
    control<QLabel>(u"lblFahrtPreis"_s)->setText(u"Fahrtkosten: 1.234.567,89 $"_s);
    const QStringList faults = FitCheck::problems(m_panel);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u", ")));
}

QTEST_MAIN(TstFuelPanel)
#include "tst_fuelpanel.moc"
