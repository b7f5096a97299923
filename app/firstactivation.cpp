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

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

using SettingsKeys::AtStart;

// The recomputations the start-up runs, for the boxes the settings table
// marks as recomputed.
using Recompute = void (*)(const StartupParts &);
constexpr std::array<std::pair<QStringView, Recompute>, 8> recomputations = {{
    {u"txtCelsius", [](const StartupParts &p) { p.units.txtCelsius_KeyUp(); }},
    {u"txtKG", [](const StartupParts &p) { p.units.txtKG_KeyUp(); }},
    {u"txtM", [](const StartupParts &p) { p.units.txtM_KeyUp(); }},
    {u"txtGalPrice", [](const StartupParts &p) { p.fuel.txtGalPrice_KeyUp(); }},
    {u"txtMPG", [](const StartupParts &p) { p.fuel.txtMPG_KeyUp(); }},
    {u"txtStrecke", [](const StartupParts &p) { p.fuel.txtStrecke_KeyUp(); }},
    {u"txtR", [](const StartupParts &p) { p.duty.txtR_Change(); }},
    {u"txtTrinkgeld", [](const StartupParts &p) { p.tip.txtTrinkgeld_KeyUp(); }},
}};

// The table's entries the start-up handles before the remembered texts, in their order.
std::vector<const SettingsKeys::Remembered *> startSteps()
{
    std::vector<const SettingsKeys::Remembered *> steps;
    for (const SettingsKeys::Remembered &entry : SettingsKeys::remembered) {
        if (entry.startOrder > 0)
            steps.push_back(&entry);
    }
    std::ranges::sort(steps, {}, &SettingsKeys::Remembered::startOrder);
    return steps;
}

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

    // The settings table's start steps: six boxes get their stored text or a
    // default, the allowance and tip boxes their stored text; each is then
    // recomputed. The allowance and tip handlers store their box before the
    // remembered texts come back below, so their stored texts go in first.
    for (const SettingsKeys::Remembered *entry : startSteps()) {
        if (entry->atStart == AtStart::Default)
            setDefault(*entry);
        else if (entry->atStart == AtStart::LoadedEarly)
            load(entry->key);
        if (!entry->recomputed)
            continue;
        for (const auto &[box, recompute] : recomputations) {
            if (box == entry->key)
                recompute(m_parts);
        }
    }

    // The state list.
    m_parts.transport.addStates(StateList::read(StateList::locate(m_parts.appDir)));

    // The tip slider, then the remembered texts.
    const QString slider = store.value(SettingsKeys::tipSlider);
    bool ok = false;
    const int sliderValue = slider.trimmed().toInt(&ok);
    if (ok)
        m_parts.tip.setSliderValue(sliderValue);

    for (const SettingsKeys::Remembered &entry : SettingsKeys::remembered) {
        if (entry.restored)
            load(entry.key);
    }
    emit done();
}

// Only a box with nothing stored gets the default; an emptied box stays empty.
void FirstActivation::setDefault(const SettingsKeys::Remembered &entry)
{
    QLineEdit *box = m_lineBoxes.value(entry.key.toString());
    if (!box)
        return;
    if (const std::optional<QString> text = m_parts.store.stored(entry.key))
        box->setText(*text);
    else
        box->setText(entry.defaultText.isEmpty() ? QLocale().toString(entry.numberDefault) : entry.defaultText.toString());
}

void FirstActivation::load(QStringView box)
{
    if (QLineEdit *edit = m_lineBoxes.value(box.toString()))
        m_parts.store.load(edit);
    else if (QPlainTextEdit *text = m_textBoxes.value(box.toString()))
        m_parts.store.load(text);
}
