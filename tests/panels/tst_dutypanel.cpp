#include "widgets/linklabel.h"
#include "panels/dutypanel.h"
#include "widgets/keyreleaseedit.h"
#include "helpers/panelprobe.h"

#include <QLabel>
#include <QTest>
#include <QUrl>

class TestDutyPanel final : public PanelTest<DutyPanel>
{
    Q_OBJECT

private slots:
    void allowance_data();
    void allowance();
    void duty_data();
    void duty();
    void storedKeys_data();
    void storedKeys();
    void hiddenTaxGroup();
    void links_data();
    void links();

private:
    QLabel *label(const QString &name) const { return m_panel->findChild<QLabel *>(name); }
    KeyReleaseEdit *box(const QString &name) const { return m_panel->findChild<KeyReleaseEdit *>(name); }
};

void TestDutyPanel::allowance_data()
{
    QTest::addColumn<QString>("travellers");
    QTest::addColumn<QString>("under15");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("caption"); // empty: the caption stays as it was

    // Adults count 430 €, children under 15 count 175 €.
    QTest::newRow("3 of whom 1 child") << "3" << "1" << 1.2345 << "Freigrenze (Warenwert): 1.035,00 € (1.277,71 $)";
    QTest::newRow("1 adult") << "1" << "0" << 1.2345 << "Freigrenze (Warenwert): 430,00 € (530,84 $)";
    QTest::newRow("4 of whom 2 children") << "4" << "2" << 1.2345 << "Freigrenze (Warenwert): 1.210,00 € (1.493,75 $)";
    QTest::newRow("children only") << "3" << "3" << 1.2345 << "Freigrenze (Warenwert): 525,00 € (648,11 $)";
    QTest::newRow("nobody") << "0" << "0" << 1.2345 << "Freigrenze (Warenwert): 0,00 € (0,00 $)";
    QTest::newRow("fractional travellers") << "2,5" << "0" << 1.2345 << "Freigrenze (Warenwert): 1.075,00 € (1.327,09 $)";
    QTest::newRow("fractional children") << "2,5" << "0,5" << 1.2345 << "Freigrenze (Warenwert): 947,50 € (1.169,69 $)";
    QTest::newRow("no rate") << "3" << "1" << 0.0 << "Freigrenze (Warenwert): 1.035,00 € (0,00 $)";

    QTest::newRow("more children than travellers") << "1" << "2" << 1.2345 << "";
    QTest::newRow("negative travellers") << "-1" << "0" << 1.2345 << "";
    QTest::newRow("negative children") << "2" << "-1" << 1.2345 << "";
    QTest::newRow("travellers unreadable") << "abc" << "1" << 1.2345 << "";
    QTest::newRow("children empty") << "3" << "" << 1.2345 << "";
}

void TestDutyPanel::allowance()
{
    QFETCH(QString, travellers);
    QFETCH(QString, under15);
    QFETCH(double, rate);
    QFETCH(QString, caption);

    m_rate = rate;
    // Empty both counts first, so that only the last write can compute.
    box(QStringLiteral("txtR"))->setText(QString());
    box(QStringLiteral("txtR15"))->setText(QString());
    box(QStringLiteral("txtR15"))->setText(under15);
    const QString before = label(QStringLiteral("Label31"))->text();
    QCOMPARE(before, QStringLiteral("Freigrenze (Warenwert): "));
    box(QStringLiteral("txtR"))->setText(travellers);

    QCOMPARE(label(QStringLiteral("Label31"))->text(), caption.isEmpty() ? before : caption);
    QCOMPARE(m_store->value(u"txtR"), travellers);
    QCOMPARE(m_store->value(u"txtR15"), under15);
}

void TestDutyPanel::duty_data()
{
    QTest::addColumn<QString>("goods");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("caption"); // empty: the caption stays as it was

    QTest::newRow("600") << "600,00" << 1.2345 << "Zoll: 92,35 € + ggf. Einfuhrumsatzsteuer";
    QTest::newRow("exactly 350") << "350" << 1.2345 << "Zoll: 38,27 € + ggf. Einfuhrumsatzsteuer";
    QTest::newRow("just above 350") << "350,01" << 1.2345 << "Zoll: 53,87 € + ggf. Einfuhrumsatzsteuer";
    QTest::newRow("0") << "0" << 1.2345 << "Zoll: 0,00 € + ggf. Einfuhrumsatzsteuer";
    QTest::newRow("negative") << "-100" << 1.2345 << "Zoll: -10,94 € + ggf. Einfuhrumsatzsteuer";
    QTest::newRow("grouped") << "1.000" << 1.2345 << "Zoll: 153,91 € + ggf. Einfuhrumsatzsteuer";
    // 400 $ are only 200 € at this rate; the threshold is compared in dollars all the same.
    QTest::newRow("threshold in dollars") << "400" << 2.0 << "Zoll: 38,00 € + ggf. Einfuhrumsatzsteuer";
    QTest::newRow("no rate") << "600,00" << 0.0 << "";
    QTest::newRow("unreadable") << "abc" << 1.2345 << "";
}

void TestDutyPanel::duty()
{
    QFETCH(QString, goods);
    QFETCH(double, rate);
    QFETCH(QString, caption);

    m_rate = rate;
    box(QStringLiteral("txtZV"))->setText(QString());
    const QString before = label(QStringLiteral("Label36"))->text();
    QCOMPARE(before, QStringLiteral("Zoll: "));
    box(QStringLiteral("txtZV"))->setText(goods);

    QCOMPARE(label(QStringLiteral("Label36"))->text(), caption.isEmpty() ? before : caption);
    QCOMPARE(m_store->value(u"txtZV"), goods);
}

void TestDutyPanel::storedKeys_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("stored");

    const QString txtR = QStringLiteral("txtR");
    const QString txtR15 = QStringLiteral("txtR15");
    const QString txtZV = QStringLiteral("txtZV");
    QTest::newRow("travellers") << txtR << "5" << QStringList{txtR};
    QTest::newRow("children store travellers too") << txtR15 << "2" << QStringList{txtR, txtR15};
    QTest::newRow("goods") << txtZV << "100" << QStringList{txtZV};
    QTest::newRow("tax rate is never stored") << QStringLiteral("txtZS") << "8" << QStringList();
}

void TestDutyPanel::storedKeys()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QStringList, stored);

    // A program write is a change like any typed one.
    box(name)->setText(text);
    QCOMPARE(PanelProbe::storedKeys(), stored);
    for (const QString &key : stored)
        QCOMPARE(m_store->value(key), box(key)->text());
}

void TestDutyPanel::hiddenTaxGroup()
{
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel));
    for (const char *name : {"Label35", "txtZS", "Label37"}) {
        auto *widget = m_panel->findChild<QWidget *>(QString::fromLatin1(name));
        QVERIFY2(widget && !widget->isVisible(), name);
    }
    QCOMPARE(box(QStringLiteral("txtZS"))->text(), QStringLiteral("7"));
    QVERIFY(label(QStringLiteral("Label33"))->isVisible());
    QVERIFY(label(QStringLiteral("Label38"))->isVisible());
}

void TestDutyPanel::links_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");

    QTest::newRow("customs details") << "Label33" << "http://www.kartavio.example/_tools/red.cgi?1";
    QTest::newRow("US sales tax") << "Label37" << "http://www.kartavio.example/_tools/red.cgi?3";
    QTest::newRow("import VAT") << "Label38" << "http://www.kartavio.example/_tools/red.cgi?3";
}

void TestDutyPanel::links()
{
    QFETCH(QString, name);
    QFETCH(QString, address);

    auto *link = m_panel->findChild<LinkLabel *>(name);
    QVERIFY(link);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.front().toString(), address);
}

QTEST_MAIN(TestDutyPanel)
#include "tst_dutypanel.moc"
