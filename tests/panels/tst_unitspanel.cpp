#include "panels/unitspanel.h"
#include "helpers/panelprobe.h"
#include "widgets/keyreleaseedit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// Drives the unit panel through real key releases in its boxes.
class TstUnitsPanel final : public PanelTest<UnitsPanel>
{
    Q_OBJECT

private slots:
    void convert_data();
    void convert();

    void tabReleaseRunsHandlerOfBoxWithFocus();
    void moreConversionsLink();
    void layout();

private:
    QLineEdit *box(const QString &name) const { return control(name); }
    void type(const QString &name, const QString &text) { PanelProbe::type(box(name), text); }
};

namespace {

const QStringList temperature{u"txtCelsius"_s, u"txtFahrenheit"_s};
const QStringList weight{u"txtG"_s, u"txtKG"_s, u"txtOZ"_s, u"txtP"_s};
const QStringList length{u"txtCM"_s, u"txtM"_s, u"txtKM"_s, u"txtFT"_s, u"txtIn"_s, u"txtMi"_s};

} // namespace

// A release in `source` after `text` was put there: what the boxes of its
// group show afterwards (the kilogram box held `kgBefore` until then).
void TstUnitsPanel::convert_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kgBefore");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("shown");

    const auto row = [](const char *name, const QString &source, const QString &text, const QStringList &boxes,
                        const QStringList &shown, const QString &kgBefore = u"1,00"_s) {
        QTest::newRow(name) << source << text << kgBefore << boxes << shown;
    };
    const QString one = u"1,00"_s;
    const QString c = u"txtCelsius"_s;
    const QString f = u"txtFahrenheit"_s;
    row("37 C", c, u"37"_s, temperature, {u"37"_s, u"98,60"_s});
    row("-40 C", c, u"-40"_s, temperature, {u"-40"_s, u"-40,00"_s});
    row("1,5 C kept as typed", c, u"1,5"_s, temperature, {u"1,5"_s, u"34,70"_s});
    row("grouped thousands", c, u"1000000"_s, temperature, {u"1000000"_s, u"1.800.032,00"_s});
    row("1 F", f, u"1"_s, temperature, {u"-17,22"_s, u"1"_s});
    row("98,6 F", f, u"98,6"_s, temperature, {u"37,00"_s, u"98,6"_s});
    // Unreadable or overflowing input leaves the partner as it was.
    row("empty C", c, QString(), temperature, {QString(), one});
    row("letters F", f, u"abc"_s, temperature, {one, u"abc"_s});
    row("overflow C", c, QString(308, u'9'), temperature, {QString(308, u'9'), one});

    const QString g = u"txtG"_s;
    const QString kg = u"txtKG"_s;
    const QString oz = u"txtOZ"_s;
    const QString p = u"txtP"_s;
    row("75 kg", kg, u"75"_s, weight, {u"75.000,00"_s, u"75"_s, u"2.645,55"_s, u"165,35"_s});
    row("1.5 kg reads as 15", kg, u"1.5"_s, weight, {u"15.000,00"_s, u"1.5"_s, u"529,11"_s, u"33,07"_s});
    row("negative kg", kg, u"-1"_s, weight, {u"-1.000,00"_s, u"-1"_s, u"-35,27"_s, u"-2,20"_s});
    row("500 g", g, u"500"_s, weight, {u"500"_s, u"0,50"_s, u"17,64"_s, u"1,10"_s});
    // Pounds and ounces follow the unrounded kilograms, not the two decimals shown.
    row("1234567 g", g, u"1234567"_s, weight, {u"1234567"_s, u"1.234,57"_s, u"43.548,07"_s, u"2.721,75"_s});
    row("4 g", g, u"4"_s, weight, {u"4"_s, u"0,00"_s, u"0,14"_s, u"0,01"_s});
    row("100 pounds", p, u"100"_s, weight, {u"45.359,24"_s, u"45,36"_s, u"1.600,00"_s, u"100"_s});
    row("16 ounces", oz, u"16"_s, weight, {u"453,59"_s, u"0,45"_s, u"16"_s, u"1,00"_s});
    // Unreadable kilograms: nothing else changes.
    row("letters kg", kg, u"abc"_s, weight, {one, u"abc"_s, one, one});
    // Unreadable grams, pounds or ounces: the rest follows the kilogram box as it stands.
    row("letters in pounds", p, u"abc"_s, weight, {u"2.000,00"_s, u"2,00"_s, u"70,55"_s, u"abc"_s}, u"2,00"_s);
    row("minus alone in grams", g, u"-"_s, weight, {u"-"_s, u"2,00"_s, u"70,55"_s, u"4,41"_s}, u"2,00"_s);
    row("both unreadable", oz, u"x"_s, weight, {one, u"y"_s, u"x"_s, one}, u"y"_s);

    row("100 cm", u"txtCM"_s, u"100"_s, length, {u"100"_s, u"1,00"_s, u"0,00"_s, u"3,28"_s, u"39,37"_s, u"0,00"_s});
    row("1000 m", u"txtM"_s, u"1000"_s, length,
        {u"100.000,00"_s, u"1000"_s, u"1,00"_s, u"3.280,84"_s, u"39.370,08"_s, u"0,62"_s});
    row("1 km", u"txtKM"_s, u"1"_s, length,
        {u"100.000,00"_s, u"1.000,00"_s, u"1"_s, u"3.280,84"_s, u"39.370,08"_s, u"0,62"_s});
    row("100000 inches", u"txtIn"_s, u"100000"_s, length,
        {u"254.000,00"_s, u"2.540,00"_s, u"2,54"_s, u"8.333,33"_s, u"100000"_s, u"1,58"_s});
    row("1000 feet", u"txtFT"_s, u"1000"_s, length,
        {u"30.480,00"_s, u"304,80"_s, u"0,30"_s, u"1000"_s, u"12.000,00"_s, u"0,19"_s});
    row("1 mile", u"txtMi"_s, u"1"_s, length,
        {u"160.934,40"_s, u"1.609,34"_s, u"1,61"_s, u"5.280,00"_s, u"63.360,00"_s, u"1"_s});
    row("1,5 m", u"txtM"_s, u"1,5"_s, length, {u"150,00"_s, u"1,5"_s, u"0,00"_s, u"4,92"_s, u"59,06"_s, u"0,00"_s});
    row("negative feet", u"txtFT"_s, u"-1"_s, length,
        {u"-30,48"_s, u"-0,30"_s, u"0,00"_s, u"-1"_s, u"-12,00"_s, u"0,00"_s});
    // Unreadable or overflowing input rewrites every other box with zeros.
    const QString zero = u"0,00"_s;
    row("letters in m", u"txtM"_s, u"abc"_s, length, {zero, u"abc"_s, zero, zero, zero, zero});
    row("overflow in km", u"txtKM"_s, QString(305, u'9'), length, {zero, zero, QString(305, u'9'), zero, zero, zero});
}

void TstUnitsPanel::convert()
{
    QFETCH(QString, source);
    QFETCH(QString, text);
    QFETCH(QString, kgBefore);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, shown);

    box(u"txtKG"_s)->setText(kgBefore);
    type(source, text);
    QStringList after;
    for (const QString &name : std::as_const(boxes))
        after << box(name)->text();
    QCOMPARE(after, shown);
    QCOMPARE(PanelProbe::storedKeys(), QStringList{source});
    QCOMPARE(m_store->value(source), text);
}

// --- Events

// Tab's release comes to the box Tab has just moved the focus to, and runs
// that box's handler once, as any key released there does.
void TstUnitsPanel::tabReleaseRunsHandlerOfBoxWithFocus()
{
    type(u"txtCelsius"_s, u"30"_s);
    QCOMPARE(box(u"txtFahrenheit"_s)->text(), u"86,00"_s);
    const auto boxes = m_panel->findChildren<KeyReleaseEdit *>();
    QStringList released;
    for (KeyReleaseEdit *b : boxes)
        connect(b, &KeyReleaseEdit::keyReleased, this, [&released, b] { released << b->objectName(); });

    QVERIFY(PanelProbe::showActive(m_panel));
    box(u"txtCelsius"_s)->setFocus(Qt::TabFocusReason);
    const struct
    {
        Qt::Key key;
        QString lands;
        QString partner;
        QString partnerShows;
    } steps[] = {
        // 86,00 read back gives 30,00 where 30 stood: the drift of a release
        // that changes nothing, as for an arrow key.
        {Qt::Key_Tab, u"txtFahrenheit"_s, u"txtCelsius"_s, u"30,00"_s},
        {Qt::Key_Backtab, u"txtCelsius"_s, u"txtFahrenheit"_s, u"86,00"_s},
    };
    for (const auto &step : steps) {
        released.clear();
        QTest::keyPress(QApplication::focusWidget(), step.key);
        QCOMPARE(QApplication::focusWidget()->objectName(), step.lands);
        QTest::keyRelease(QApplication::focusWidget(), step.key);
        QCOMPARE(released, QStringList{step.lands});
        QCOMPARE(box(step.partner)->text(), step.partnerShows);
        QCOMPARE(m_store->value(step.lands), box(step.lands)->text());
    }
}

void TstUnitsPanel::moreConversionsLink()
{
    auto *link = m_panel->findChild<QLabel *>(QStringLiteral("Label28"));
    QVERIFY(link);
    QCOMPARE(link->text(), QStringLiteral("Weitere Umrechnungen"));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://www.kartavio.example/_tools/red.cgi?0"))});
}

// Group captions, and the pictures' boxes at the pictures' full size.
void TstUnitsPanel::layout()
{
    QCOMPARE(m_panel->objectName(), u"Frame1_3"_s);
    for (const auto &[group, caption] : {std::pair{u"Frame9"_s, u"Temperatur"_s}, {u"Frame8"_s, u"Gewicht"_s},
                                         {u"Frame7"_s, u"Längen"_s}})
        QCOMPARE(m_panel->findChild<QGroupBox *>(group)->title(), caption);
    for (const QString &name : {u"Image3"_s, u"Image10"_s})
        QCOMPARE(control<QLabel>(name)->size(), QSize(32, 32));
}

QTEST_MAIN(TstUnitsPanel)
#include "tst_unitspanel.moc"
