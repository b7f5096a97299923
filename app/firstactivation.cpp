#include "app/firstactivation.h"

#include "settings/rememberedvalues.h"
#include "settings/settingskeys.h"
#include "panels/dutypanel.h"
#include "panels/fuelpanel.h"
#include "panels/tippanel.h"
#include "panels/unitspanel.h"
#include "app/form2.h"
#include "app/rateupdate.h"
#include "core/statelist.h"
#include "panels/transportpanel.h"

#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

#include <array>

namespace {

// Boxes that get a default when nothing is stored, in start-up order, each
// with the recomputation that follows it. A default of `numberDefault` is
// written in the user's number format.
struct StartDefault
{
    QStringView box;
    QStringView text;
    double numberDefault = 0.0;
    void (*recompute)(const StartupParts &) = nullptr;
};

constexpr std::array<StartDefault, 6> startDefaults = {{
    {u"txtCelsius", u"30", 0.0, [](const StartupParts &p) { p.units.txtCelsius_KeyUp(); }},
    {u"txtKG", u"1", 0.0, [](const StartupParts &p) { p.units.txtKG_KeyUp(); }},
    {u"txtM", u"10", 0.0, [](const StartupParts &p) { p.units.txtM_KeyUp(); }},
    {u"txtGalPrice", {}, 1.99, [](const StartupParts &p) { p.fuel.txtGalPrice_KeyUp(); }},
    {u"txtMPG", u"22", 0.0, [](const StartupParts &p) { p.fuel.txtMPG_KeyUp(); }},
    {u"txtStrecke", u"100", 0.0, [](const StartupParts &p) { p.fuel.txtStrecke_KeyUp(); }},
}};

} // namespace

FirstActivation::FirstActivation(const StartupParts &parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
{
}

bool FirstActivation::isDone() const
{
    return m_parts.wait.tag() == u"done";
}

void FirstActivation::activate()
{
    // Only the first activation works; this also blocks one that arrives
    // while the retrieval still runs.
    if (m_started || isDone())
        return;
    m_started = true;
    for (QLineEdit *box : m_parts.panels.findChildren<QLineEdit *>())
        m_lineBoxes.insert(box->objectName(), box);
    for (QPlainTextEdit *box : m_parts.panels.findChildren<QPlainTextEdit *>())
        m_textBoxes.insert(box->objectName(), box);
    // The retrieval's recomputation stores txtEur: put the remembered amount
    // back first, or the laid-out "1,00" would overwrite it in the store.
    load(u"txtEur");

    // The please-wait window's update: the rate update with the window
    // disabled, enabled and focused again when it is done.
    connect(&m_parts.rate, &RateUpdate::done, this, &FirstActivation::afterRetrieval, Qt::SingleShotConnection);
    m_parts.rate.runDisabling(&m_parts.window);
}

void FirstActivation::afterRetrieval()
{
    // The start-up marker.
    m_parts.wait.setTag(QStringLiteral("done"));
    RememberedValues &store = m_parts.store;

    // Six boxes get their stored text or a default, each followed by its recomputation.
    for (const StartDefault &entry : startDefaults) {
        if (QLineEdit *box = m_lineBoxes.value(entry.box.toString())) {
            // Only a box with nothing stored gets the default; an emptied box stays empty.
            const std::optional<QString> text = store.stored(entry.box);
            if (text)
                box->setText(*text);
            else
                box->setText(entry.text.isEmpty() ? QLocale().toString(entry.numberDefault) : entry.text.toString());
        }
        entry.recompute(m_parts);
    }

    // These handlers store their box before the remembered texts come back
    // below; restoring them first keeps what the user typed last time.
    load(u"txtR");
    load(u"txtR15");
    m_parts.duty.txtR_Change();
    load(u"txtTrinkgeld");
    m_parts.tip.txtTrinkgeld_KeyUp();

    // The state list.
    m_parts.transport.addStates(StateList::read(StateList::locate(m_parts.appDir)));

    // The tip slider, then the remembered texts.
    const QString slider = store.value(SettingsKeys::tipSlider);
    bool ok = false;
    const int sliderValue = slider.trimmed().toInt(&ok);
    if (ok)
        m_parts.tip.setSliderValue(sliderValue);

    for (QStringView name : SettingsKeys::restoredBoxes)
        load(name);
    emit done();
}

void FirstActivation::load(QStringView box)
{
    if (QLineEdit *edit = m_lineBoxes.value(box.toString()))
        m_parts.store.load(edit);
    else if (QPlainTextEdit *text = m_textBoxes.value(box.toString()))
        m_parts.store.load(text);
}
