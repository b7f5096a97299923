#include "panels/unitspanel.h"
#include "helpers/panelprobe.h"
#include "widgets/keyreleaseedit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// Drives the unit panel through real key releases in its boxes.
class TstUnitsPanel final : public PanelTest<UnitsPanel>
{
    Q_OBJECT

private slots:
    void temperature_data();
    void temperature();
    void weight_data();
    void weight();
    void length_data();
    void length();

    void tabReleaseRunsHandlerOfBoxWithFocus();
    void moreConversionsLink();
    void layout();

private:
    QLineEdit *box(const QString &name) const;
    void type(const QString &name, const QString &text) { PanelProbe::type(box(name), text); }
    void checkBoxes(const QStringList &names, const QStringList &expected);
};

QLineEdit *TstUnitsPanel::box(const QString &name) const
{
    auto *found = m_panel->findChild<QLineEdit *>(name);
    if (!found)
        qFatal("no box %s", qPrintable(name));
    return found;
}

void TstUnitsPanel::checkBoxes(const QStringList &names, const QStringList &expected)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString shown = box(names[i])->text();
        if (shown != expected[i])
            QFAIL(qPrintable(names[i] % u": shown \"" % shown % u"\", expected \"" % expected[i] % u'"'));
    }
}

// --- Temperature

void TstUnitsPanel::temperature_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("partner"); // what the other box shows afterwards

    const QString c = QStringLiteral("txtCelsius");
    const QString f = QStringLiteral("txtFahrenheit");
    QTest::newRow("1 C") << c << "1" << "33,80";
    QTest::newRow("37 C") << c << "37" << "98,60";
    QTest::newRow("-40 C") << c << "-40" << "-40,00";
    QTest::newRow("0 C") << c << "0" << "32,00";
    QTest::newRow("1,5 C kept as typed") << c << "1,5" << "34,70";
    QTest::newRow("1.5 C reads as 15") << c << "1.5" << "59,00";
    QTest::newRow("grouped thousands") << c << "1000000" << "1.800.032,00";
    QTest::newRow("86 F") << f << "86" << "30,00";
    QTest::newRow("1 F") << f << "1" << "-17,22";
    QTest::newRow("98,6 F") << f << "98,6" << "37,00";
    // Unreadable or overflowing input leaves the partner as it was.
    QTest::newRow("empty C") << c << "" << "1,00";
    QTest::newRow("minus alone C") << c << "-" << "1,00";
    QTest::newRow("letters F") << f << "abc" << "1,00";
    QTest::newRow("overflow C") << c << QString(308, u'9') << "1,00";
}

void TstUnitsPanel::temperature()
{
    QFETCH(QString, source);
    QFETCH(QString, text);
    QFETCH(QString, partner);
    const QString other = source == u"txtCelsius" ? QStringLiteral("txtFahrenheit") : QStringLiteral("txtCelsius");

    type(source, text);
    QCOMPARE(box(source)->text(), text);
    QCOMPARE(box(other)->text(), partner);
    QCOMPARE(PanelProbe::storedKeys(), QStringList{source});
    QCOMPARE(m_store->value(source), text);
}

// --- Weight

void TstUnitsPanel::weight_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kgBefore");
    QTest::addColumn<QStringList>("shown"); // txtG, txtKG, txtOZ, txtP afterwards

    const QString g = QStringLiteral("txtG");
    const QString kg = QStringLiteral("txtKG");
    const QString oz = QStringLiteral("txtOZ");
    const QString p = QStringLiteral("txtP");
    const QString one = QStringLiteral("1,00");
    QTest::newRow("75 kg") << kg << "75" << one << QStringList{u"75.000,00"_s, u"75"_s, u"2.645,55"_s, u"165,35"_s};
    QTest::newRow("1.5 kg reads as 15") << kg << "1.5" << one << QStringList{u"15.000,00"_s, u"1.5"_s, u"529,11"_s, u"33,07"_s};
    QTest::newRow("negative kg") << kg << "-1" << one << QStringList{u"-1.000,00"_s, u"-1"_s, u"-35,27"_s, u"-2,20"_s};
    QTest::newRow("500 g") << g << "500" << one << QStringList{u"500"_s, u"0,50"_s, u"17,64"_s, u"1,10"_s};
    // Pounds and ounces follow the unrounded kilograms, not the two decimals shown.
    QTest::newRow("1234567 g") << g << "1234567" << one << QStringList{u"1234567"_s, u"1.234,57"_s, u"43.548,07"_s, u"2.721,75"_s};
    QTest::newRow("4 g") << g << "4" << one << QStringList{u"4"_s, u"0,00"_s, u"0,14"_s, u"0,01"_s};
    QTest::newRow("5 g") << g << "5" << one << QStringList{u"5"_s, u"0,01"_s, u"0,18"_s, u"0,01"_s};
    QTest::newRow("100 pounds") << p << "100" << one << QStringList{u"45.359,24"_s, u"45,36"_s, u"1.600,00"_s, u"100"_s};
    QTest::newRow("16 ounces") << oz << "16" << one << QStringList{u"453,59"_s, u"0,45"_s, u"16"_s, u"1,00"_s};
    // Unreadable kilograms: nothing else changes.
    QTest::newRow("letters kg") << kg << "abc" << one << QStringList{one, u"abc"_s, one, one};
    QTest::newRow("empty kg") << kg << "" << one << QStringList{one, u""_s, one, one};
    // Unreadable grams, pounds or ounces: the rest follows the kilogram box as it stands.
    QTest::newRow("letters in pounds") << p << "abc" << "2,00" << QStringList{u"2.000,00"_s, u"2,00"_s, u"70,55"_s, u"abc"_s};
    QTest::newRow("minus alone in grams") << g << "-" << "2,00" << QStringList{u"-"_s, u"2,00"_s, u"70,55"_s, u"4,41"_s};
    QTest::newRow("both unreadable") << oz << "x" << "y" << QStringList{one, u"y"_s, u"x"_s, one};
    QTest::newRow("overflow in grams") << g << QString(309, u'9') << "2,00"
                                       << QStringList{QString(309, u'9'), u"2,00"_s, u"70,55"_s, u"4,41"_s};
}

void TstUnitsPanel::weight()
{
    QFETCH(QString, source);
    QFETCH(QString, text);
    QFETCH(QString, kgBefore);
    QFETCH(QStringList, shown);

    box(QStringLiteral("txtKG"))->setText(kgBefore);
    type(source, text);
    checkBoxes({QStringLiteral("txtG"), QStringLiteral("txtKG"), QStringLiteral("txtOZ"), QStringLiteral("txtP")}, shown);
    QCOMPARE(PanelProbe::storedKeys(), QStringList{source});
    QCOMPARE(m_store->value(source), text);
}

// --- Length

void TstUnitsPanel::length_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown"); // txtCM, txtM, txtKM, txtFT, txtIn, txtMi afterwards

    const QString cm = QStringLiteral("txtCM");
    const QString m = QStringLiteral("txtM");
    const QString km = QStringLiteral("txtKM");
    const QString in = QStringLiteral("txtIn");
    const QString ft = QStringLiteral("txtFT");
    const QString mi = QStringLiteral("txtMi");
    QTest::newRow("100 cm") << cm << "100" << QStringList{u"100"_s, u"1,00"_s, u"0,00"_s, u"3,28"_s, u"39,37"_s, u"0,00"_s};
    QTest::newRow("1000 m") << m << "1000"
                            << QStringList{u"100.000,00"_s, u"1000"_s, u"1,00"_s, u"3.280,84"_s, u"39.370,08"_s, u"0,62"_s};
    QTest::newRow("1 km") << km << "1" << QStringList{u"100.000,00"_s, u"1.000,00"_s, u"1"_s, u"3.280,84"_s, u"39.370,08"_s, u"0,62"_s};
    QTest::newRow("100000 inches") << in << "100000"
                                   << QStringList{u"254.000,00"_s, u"2.540,00"_s, u"2,54"_s, u"8.333,33"_s, u"100000"_s, u"1,58"_s};
    QTest::newRow("1000 feet") << ft << "1000"
                               << QStringList{u"30.480,00"_s, u"304,80"_s, u"0,30"_s, u"1000"_s, u"12.000,00"_s, u"0,19"_s};
    QTest::newRow("1 mile") << mi << "1"
                            << QStringList{u"160.934,40"_s, u"1.609,34"_s, u"1,61"_s, u"5.280,00"_s, u"63.360,00"_s, u"1"_s};
    QTest::newRow("1.5 m reads as 15") << m << "1.5" << QStringList{u"1.500,00"_s, u"1.5"_s, u"0,02"_s, u"49,21"_s, u"590,55"_s, u"0,01"_s};
    QTest::newRow("1,5 m") << m << "1,5" << QStringList{u"150,00"_s, u"1,5"_s, u"0,00"_s, u"4,92"_s, u"59,06"_s, u"0,00"_s};
    QTest::newRow("negative feet") << ft << "-1" << QStringList{u"-30,48"_s, u"-0,30"_s, u"0,00"_s, u"-1"_s, u"-12,00"_s, u"0,00"_s};
    // Unreadable input rewrites every other box with zeros.
    const QString zero = QStringLiteral("0,00");
    QTest::newRow("letters in m") << m << "abc" << QStringList{zero, u"abc"_s, zero, zero, zero, zero};
    QTest::newRow("letters in cm") << cm << "abc" << QStringList{u"abc"_s, zero, zero, zero, zero, zero};
    QTest::newRow("empty miles") << mi << "" << QStringList{zero, zero, zero, zero, zero, u""_s};
    QTest::newRow("overflow in km") << km << QString(305, u'9') << QStringList{zero, zero, QString(305, u'9'), zero, zero, zero};
}

void TstUnitsPanel::length()
{
    QFETCH(QString, source);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    type(source, text);
    checkBoxes({QStringLiteral("txtCM"), QStringLiteral("txtM"), QStringLiteral("txtKM"), QStringLiteral("txtFT"),
                QStringLiteral("txtIn"), QStringLiteral("txtMi")},
               shown);
    QCOMPARE(PanelProbe::storedKeys(), QStringList{source});
    QCOMPARE(m_store->value(source), text);
}

// --- Events

// Tab's release comes to the box Tab has just moved the focus to, and runs
// that box's handler once, as any key released there does; a held key sends
// a release with every repeat, but only its real release runs the handler.
void TstUnitsPanel::tabReleaseRunsHandlerOfBoxWithFocus()
{
    type(u"txtCelsius"_s, u"30"_s);
    QCOMPARE(box(u"txtFahrenheit"_s)->text(), u"86,00"_s);
    const auto boxes = m_panel->findChildren<KeyReleaseEdit *>();
    QStringList released;
    for (KeyReleaseEdit *b : boxes)
        connect(b, &KeyReleaseEdit::keyReleased, this, [&released, b] { released << b->objectName(); });

    m_panel->show();
    m_panel->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_panel));
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

    QLineEdit *metres = box(u"txtM"_s);
    metres->setText(u"20"_s);
    released.clear();
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(metres, &repeated);
    QCOMPARE(box(u"txtCM"_s)->text(), u"1,00"_s);
    QTest::keyRelease(metres, Qt::Key_Right);
    QCOMPARE(box(u"txtCM"_s)->text(), u"2.000,00"_s);
    QCOMPARE(released, QStringList{u"txtM"_s});
}

void TstUnitsPanel::moreConversionsLink()
{
    auto *link = m_panel->findChild<QLabel *>(QStringLiteral("Label28"));
    QVERIFY(link);
    QCOMPARE(link->text(), QStringLiteral("Weitere Umrechnungen"));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://www.kartavio.example/_tools/red.cgi?0"))});
}

// Group captions, and the pictures at their full size.
void TstUnitsPanel::layout()
{
    QCOMPARE(m_panel->objectName(), QStringLiteral("Frame1_3"));
    const QStringList groups{QStringLiteral("Frame9"), QStringLiteral("Frame8"), QStringLiteral("Frame7")};
    const QStringList captions{QStringLiteral("Temperatur"), QStringLiteral("Gewicht"), QStringLiteral("Längen")};
    for (qsizetype i = 0; i < groups.size(); ++i) {
        auto *group = m_panel->findChild<QGroupBox *>(groups[i]);
        QVERIFY(group);
        QCOMPARE(group->title(), captions[i]);
    }
    for (const char *name : {"Image3", "Image10"}) {
        auto *image = m_panel->findChild<QLabel *>(QString::fromLatin1(name));
        QVERIFY(image);
        QCOMPARE(image->size(), QSize(32, 32));
        QVERIFY(!image->pixmap().isNull());
    }
}

QTEST_MAIN(TstUnitsPanel)
#include "tst_unitspanel.moc"
