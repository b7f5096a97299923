#include "app/firstactivation.h"
#include "app/form2.h"
#include "app/rateupdate.h"
#include "core/ratereply.h"
#include "helpers/panelprobe.h"
#include "helpers/testenv.h"
#include "panels/currencypanel.h"
#include "panels/dutypanel.h"
#include "panels/fuelpanel.h"
#include "panels/tippanel.h"
#include "panels/translatepanel.h"
#include "panels/transportpanel.h"
#include "panels/unitspanel.h"
#include "settings/rememberedvalues.h"
#include "settings/settingskeys.h"
#include "widgets/keyreleaseedit.h"

#include <QComboBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using Texts = QMap<QString, QString>;

// The first activation's steps and their order, on the panels themselves
// without the main window: the rate from today's cache (no request), the
// defaults and recomputations, the state list, the slider and the
// remembered texts.
class TstFirstActivation final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void order_data();
    void order();
    void runsOnceBehindTheWaitWindow();

private:
    // The parts of the main window the first activation works on.
    struct Parts
    {
        explicit Parts(const QString &folder);

        RememberedValues store;
        QWidget window;
        QWidget *panels = new QWidget(&window);
        PanelContext context;
        CurrencyPanel *currency = new CurrencyPanel(context, panels);
        UnitsPanel *units = new UnitsPanel(context, panels);
        FuelPanel *fuel = new FuelPanel(context, panels);
        DutyPanel *duty = new DutyPanel(context, panels);
        TipPanel *tip = new TipPanel(context, panels);
        TransportPanel *transport = new TransportPanel(context, panels);
        TranslatePanel *translate = new TranslatePanel(context, panels);
        RateUpdate *rate;
        FirstActivation *activation;
    };

    // Stores `stored`, builds the parts and runs the first activation to its end.
    std::unique_ptr<Parts> activate(const Texts &stored);

    QTemporaryDir m_folder; // the cache files and staaten.txt
};

TstFirstActivation::Parts::Parts(const QString &folder)
    : context{store, [this] { return rate->eurKurs(); }, u"http://www.kartavio.example/"_s}
    , rate(new RateUpdate(*currency, &window, folder, &window))
    , activation(new FirstActivation({store, window, *rate, *panels, *units, *fuel, *duty, *tip,
                                      *transport, folder + u'/'},
                                     &window))
{
}

void TstFirstActivation::initTestCase()
{
    TestEnv::isolate();
    QVERIFY(TestEnv::write(m_folder.filePath(u"eurkurs.txt"_s),
                           RateReply::cacheLine(u"1.2345|05.12.2026|", QDate::currentDate())));
    QVERIFY(TestEnv::write(m_folder.filePath(u"eurchart.gif"_s), TestEnv::onePixelGif()));
    QVERIFY(TestEnv::write(m_folder.filePath(u"staaten.txt"_s), "AL\tAlabama\nAK\tAlaska\nAZ\tArizona\n"));
}

std::unique_ptr<TstFirstActivation::Parts> TstFirstActivation::activate(const Texts &stored)
{
    TestEnv::clearSettings();
    if (!PanelProbe::storeAsBefore(stored))
        return nullptr;
    auto parts = std::make_unique<Parts>(m_folder.path());
    QSignalSpy done(parts->activation, &FirstActivation::done);
    parts->activation->activate();
    if (!done.wait(5000))
        return nullptr;
    return parts;
}

void TstFirstActivation::order_data()
{
    QTest::addColumn<Texts>("stored");
    QTest::addColumn<Texts>("shown");

    QTest::newRow("empty store: defaults, each recomputed")
        << Texts{}
        << Texts{{u"txtCelsius"_s, u"30"_s},     {u"txtFahrenheit"_s, u"86,00"_s}, {u"txtM"_s, u"10"_s},
                 {u"txtCM"_s, u"1.000,00"_s},    {u"txtKG"_s, u"1"_s},             {u"txtG"_s, u"1.000,00"_s},
                 {u"txtGalPrice"_s, u"1,99"_s},  {u"txtMPG"_s, u"22"_s},           {u"txtLKM"_s, u"10,69"_s},
                 {u"txtStrecke"_s, u"100"_s},    {u"txtTrinkgeld"_s, u"60,00"_s}};
    // The start-up recomputation shows 68,00; the remembered 100 comes back after it.
    QTest::newRow("remembered texts after the recomputations")
        << Texts{{u"txtCelsius"_s, u"20"_s}, {u"txtFahrenheit"_s, u"100"_s}}
        << Texts{{u"txtCelsius"_s, u"20"_s}, {u"txtFahrenheit"_s, u"100"_s}};
    QTest::newRow("remembered consumption after its recomputation")
        << Texts{{u"txtMPG"_s, u"30"_s}, {u"txtLKM"_s, u"5"_s}} << Texts{{u"txtMPG"_s, u"30"_s}, {u"txtLKM"_s, u"5"_s}};
    // Boxes whose handlers run at start keep their remembered texts, and
    // their results are computed from them.
    QTest::newRow("handlers run on remembered texts")
        << Texts{{u"txtEur"_s, u"250"_s}, {u"txtR"_s, u"4"_s}, {u"txtR15"_s, u"2"_s}, {u"txtTrinkgeld"_s, u"80,00"_s},
                 {u"scrTrinkgeld"_s, u"20"_s}}
        << Texts{{u"txtEur"_s, u"250"_s},
                 {u"txtDollar"_s, u"308,63"_s},
                 {u"txtR"_s, u"4"_s},
                 {u"txtR15"_s, u"2"_s},
                 {u"Label31"_s, u"Freigrenze (Warenwert): 1.210,00 € (1.493,75 $)"_s},
                 {u"txtTrinkgeld"_s, u"80,00"_s},
                 {u"Label45"_s, u"Empfohlenes Trinkgeld (%): 20"_s},
                 {u"Label48"_s, u"Empfohlenes Trinkgeld: 16,00 $ (12,96 €)"_s}};
    // An emptied box is a remembered value: only a box with nothing stored gets its default.
    QTest::newRow("emptied boxes stay empty")
        << Texts{{u"txtCelsius"_s, QString()}, {u"txtStrecke"_s, QString()}}
        << Texts{{u"txtCelsius"_s, QString()},
                 {u"txtFahrenheit"_s, u"1,00"_s},
                 {u"txtStrecke"_s, QString()},
                 {u"lblFahrtPreis"_s, u"Fahrtpreis: 0 US $"_s},
                 {u"txtKG"_s, u"1"_s}};
    QTest::newRow("a stored weight recomputes its group")
        << Texts{{u"txtKG"_s, u"5"_s}} << Texts{{u"txtKG"_s, u"5"_s}, {u"txtG"_s, u"5.000,00"_s}};
    // The remembered amount is converted at the fetched rate; a remembered
    // dollar text is put back after that, and converts nothing.
    QTest::newRow("remembered euros at the new rate")
        << Texts{{u"txtEur"_s, u"100"_s}} << Texts{{u"txtEur"_s, u"100"_s}, {u"txtDollar"_s, u"123,45"_s}};
    QTest::newRow("remembered dollars kept")
        << Texts{{u"txtEur"_s, u"100"_s}, {u"txtDollar"_s, u"50"_s}}
        << Texts{{u"txtEur"_s, u"100"_s}, {u"txtDollar"_s, u"50"_s}};
    // The laid-out text is stored before the remembered texts are read back.
    QTest::newRow("an emptied tip bill shows its laid-out text")
        << Texts{{u"txtTrinkgeld"_s, QString()}} << Texts{{u"txtTrinkgeld"_s, u"60,00"_s}};
    QTest::newRow("text that is no number shown as stored")
        << Texts{{u"txtM"_s, u"abc"_s}} << Texts{{u"txtM"_s, u"abc"_s}};
    Texts everyBox;
    for (const SettingsKeys::Remembered &entry : SettingsKeys::remembered) {
        if (entry.restored)
            everyBox.insert(entry.key.toString(), u"4711"_s);
    }
    QTest::newRow("every remembered box comes back") << everyBox << everyBox;
    QTest::newRow("boxes never stored come back from outside")
        << Texts{{u"txtPLZ"_s, u"10115"_s}, {u"txtZS"_s, u"Hallo"_s}}
        << Texts{{u"txtPLZ"_s, u"10115"_s}, {u"txtZS"_s, u"Hallo"_s}};
}

void TstFirstActivation::order()
{
    QFETCH(Texts, stored);
    QFETCH(Texts, shown);
    const std::unique_ptr<Parts> parts = activate(stored);
    QVERIFY(parts);
    for (auto it = shown.cbegin(); it != shown.cend(); ++it)
        QCOMPARE(it.key() % u'=' % PanelProbe::shown(parts->panels, it.key()), it.key() % u'=' % it.value());
}

// The window is disabled and the please-wait window up while the rate is
// fetched; afterwards the window is enabled, the marker set, the states
// listed and the slider restored, and a second activation does nothing.
void TstFirstActivation::runsOnceBehindTheWaitWindow()
{
    TestEnv::clearSettings();
    QVERIFY(PanelProbe::storeAsBefore({{u"scrTrinkgeld"_s, u"20"_s}}));
    Parts parts(m_folder.path());
    QTest::qWait(100);
    QSignalSpy done(parts.activation, &FirstActivation::done);
    parts.activation->activate();
    QVERIFY(!parts.window.isEnabled());
    // Made when first shown: its picture starts at the start of its swing.
    Form2 &wait = parts.rate->waitWindow();
    QVERIFY2(wait.image2Left() <= 1350.0f, qPrintable(QString::number(wait.image2Left())));
    QVERIFY(wait.isVisible());
    QVERIFY(wait.isEnabled()); // alive while its owner is disabled
    QVERIFY(wait.tag().isEmpty());
    parts.activation->activate(); // while the retrieval runs
    QVERIFY(done.wait(5000));

    QVERIFY(parts.window.isEnabled());
    QVERIFY(wait.isHidden());
    QCOMPARE(wait.tag(), u"done"_s);
    QCOMPARE(parts.rate->eurKurs(), 1.2345);
    QCOMPARE(parts.transport->lstStates()->count(), 3);
    QCOMPARE(parts.transport->stateCodes(), (QStringList{u"AL"_s, u"AK"_s, u"AZ"_s}));
    QCOMPARE(parts.tip->findChild<QScrollBar *>(u"scrTrinkgeld"_s)->value(), 20);

    parts.activation->activate();
    QTest::qWait(50);
    QCOMPARE(done.count(), 1);
    QVERIFY(!parts.rate->isRunning());
    QCOMPARE(parts.transport->lstStates()->count(), 3);

    // A run of the button leaves the window's state to whoever set it.
    QSignalSpy rateDone(parts.rate, &RateUpdate::done);
    parts.window.setEnabled(false);
    parts.rate->run();
    QVERIFY(rateDone.wait(5000));
    QVERIFY(wait.isHidden());
    QVERIFY(!parts.window.isEnabled());

    // A program write into a key-release box runs nothing: no box of any
    // panel is stored again (the allowance boxes follow every change).
    for (KeyReleaseEdit *box : parts.panels->findChildren<KeyReleaseEdit *>()) {
        const QString name = box->objectName();
        if (name == u"txtR" || name == u"txtR15" || name == u"txtZV")
            continue;
        const std::optional<QString> before = parts.store.stored(name);
        box->setText(u"7"_s);
        QVERIFY2(parts.store.stored(name) == before, qPrintable(name));
    }
}

QTEST_MAIN(TstFirstActivation)
#include "tst_firstactivation.moc"
