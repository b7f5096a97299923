#include "widgets/keyreleaseedit.h"
#include "panels/tippanel.h"
#include "settings/settingskeys.h"
#include "helpers/panelprobe.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>

class TestTipPanel final : public PanelTest<TipPanel>
{
    Q_OBJECT

private slots:
    void tipForBill_data();
    void tipForBill();
    void sliderKeys_data();
    void sliderKeys();
    void sliderStepStoresBoth();
    void sameSliderValueRunsNothing();
    void draggingWaitsForRelease();
    void facesBesideSlider();

private:
    QLabel *label(const QString &name) const { return m_panel->findChild<QLabel *>(name); }
    QScrollBar *slider() const { return m_panel->findChild<QScrollBar *>(QStringLiteral("scrTrinkgeld")); }
    KeyReleaseEdit *bill() const { return m_panel->findChild<KeyReleaseEdit *>(QStringLiteral("txtTrinkgeld")); }
};

void TestTipPanel::tipForBill_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("percent");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("caption"); // empty: the caption stays as it was

    QTest::newRow("60 at 17") << "60,00" << 17 << 1.2345 << "Empfohlenes Trinkgeld: 10,20 $ (8,26 €)";
    QTest::newRow("60 at 12") << "60,00" << 12 << 1.2345 << "Empfohlenes Trinkgeld: 7,20 $ (5,83 €)";
    QTest::newRow("60 at 22") << "60,00" << 22 << 1.2345 << "Empfohlenes Trinkgeld: 13,20 $ (10,69 €)";
    QTest::newRow("bill 0") << "0" << 17 << 1.2345 << "Empfohlenes Trinkgeld: 0,00 $ (0,00 €)";
    QTest::newRow("negative bill") << "-60" << 17 << 1.2345 << "Empfohlenes Trinkgeld: -10,20 $ (-8,26 €)";
    QTest::newRow("point groups digits") << "1.000" << 17 << 1.2345 << "Empfohlenes Trinkgeld: 170,00 $ (137,71 €)";
    QTest::newRow("letters") << "abc" << 17 << 1.2345 << "";
    QTest::newRow("no rate") << "60,00" << 17 << 0.0 << "";
}

void TestTipPanel::tipForBill()
{
    QFETCH(QString, typed);
    QFETCH(int, percent);
    QFETCH(double, rate);
    QFETCH(QString, caption);

    m_rate = rate;
    m_panel->setSliderValue(percent);
    const QString before = label(QStringLiteral("Label48"))->text();
    bill()->setText(typed);
    QTest::keyRelease(bill(), Qt::Key_Left);

    QCOMPARE(label(QStringLiteral("Label48"))->text(), caption.isEmpty() ? before : caption);
    QCOMPARE(bill()->text(), typed);
    // The bill is stored before anything is read, readable or not.
    QCOMPARE(m_store->value(u"txtTrinkgeld"), typed);
    QVERIFY(PanelProbe::storedKeys().contains(QStringLiteral("txtTrinkgeld")));
}

void TestTipPanel::sliderKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("value");

    QTest::newRow("left once") << int(Qt::Key_Left) << 1 << 16;
    QTest::newRow("right past the end") << int(Qt::Key_Right) << 9 << 22;
    QTest::newRow("left past the end") << int(Qt::Key_Left) << 9 << 12;
    QTest::newRow("page up is one step") << int(Qt::Key_PageUp) << 1 << 18;
    QTest::newRow("home") << int(Qt::Key_Home) << 1 << 12;
    QTest::newRow("end") << int(Qt::Key_End) << 1 << 22;
}

void TestTipPanel::sliderKeys()
{
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(int, value);

    for (int i = 0; i < presses; ++i)
        QTest::keyClick(slider(), Qt::Key(key));

    QCOMPARE(slider()->value(), value);
    QCOMPARE(label(QStringLiteral("Label45"))->text(), u"Empfohlenes Trinkgeld (%): " % QString::number(value));
    QCOMPARE(m_store->value(SettingsKeys::tipSlider), QString::number(value));
}

void TestTipPanel::sliderStepStoresBoth()
{
    QTest::keyClick(slider(), Qt::Key_Right); // to 18 %, as the slider keys show

    QCOMPARE(label(QStringLiteral("Label48"))->text(), QStringLiteral("Empfohlenes Trinkgeld: 10,80 $ (8,75 €)"));
    QCOMPARE(PanelProbe::storedKeys(), QStringList({QStringLiteral("scrTrinkgeld"), QStringLiteral("txtTrinkgeld")}));
    QCOMPARE(m_store->value(u"txtTrinkgeld"), QStringLiteral("60,00"));

    // Without a rate the caption stays, the percentage and the store still follow.
    m_rate = 0;
    QTest::keyClick(slider(), Qt::Key_Right);
    QCOMPARE(label(QStringLiteral("Label45"))->text(), QStringLiteral("Empfohlenes Trinkgeld (%): 19"));
    QCOMPARE(label(QStringLiteral("Label48"))->text(), QStringLiteral("Empfohlenes Trinkgeld: 10,80 $ (8,75 €)"));
    QCOMPARE(m_store->value(u"scrTrinkgeld"), QStringLiteral("19"));
}

void TestTipPanel::sameSliderValueRunsNothing()
{
    m_panel->setSliderValue(17);
    QCOMPARE(PanelProbe::storedKeys(), QStringList());
    QCOMPARE(label(QStringLiteral("Label48"))->text(), QStringLiteral("Empfohlenes Trinkgeld: "));

    m_panel->setSliderValue(20);
    QCOMPARE(label(QStringLiteral("Label45"))->text(), QStringLiteral("Empfohlenes Trinkgeld (%): 20"));
    QCOMPARE(m_store->value(u"scrTrinkgeld"), QStringLiteral("20"));
}

void TestTipPanel::draggingWaitsForRelease()
{
    QScrollBar *bar = slider();
    bar->setSliderDown(true);
    bar->setSliderPosition(21);
    QCOMPARE(label(QStringLiteral("Label45"))->text(), QStringLiteral("Empfohlenes Trinkgeld (%): 17"));
    QCOMPARE(PanelProbe::storedKeys(), QStringList());

    bar->setSliderDown(false);
    QCOMPARE(bar->value(), 21);
    QCOMPARE(label(QStringLiteral("Label45"))->text(), QStringLiteral("Empfohlenes Trinkgeld (%): 21"));
    QCOMPARE(m_store->value(u"scrTrinkgeld"), QStringLiteral("21"));
}

void TestTipPanel::facesBesideSlider()
{
    // The frowning face stands left of the slider, the smiling one right of
    // it; their pictures are checked with every other picture of the program.
    QVERIFY(label(QStringLiteral("Image4"))->geometry().right() < slider()->geometry().left());
    QVERIFY(label(QStringLiteral("Image8"))->geometry().left() > slider()->geometry().right());
}

QTEST_MAIN(TestTipPanel)
#include "tst_tippanel.moc"
