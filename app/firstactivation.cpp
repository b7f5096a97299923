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

FirstActivation::FirstActivation(const StartupParts &parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
{
}

bool FirstActivation::isDone() const
{
    return m_parts.rate.waitWindow().tag() == u"done";
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
    m_parts.rate.waitWindow().setTag(QStringLiteral("done"));

    // Six boxes get their stored text or their default, each then recomputed.
    setDefault(u"txtCelsius"); m_parts.units.txtCelsius_KeyUp();
    setDefault(u"txtKG"); m_parts.units.txtKG_KeyUp();
    setDefault(u"txtM"); m_parts.units.txtM_KeyUp();
    setDefault(u"txtGalPrice"); m_parts.fuel.txtGalPrice_KeyUp();
    setDefault(u"txtMPG"); m_parts.fuel.txtMPG_KeyUp();
    setDefault(u"txtStrecke"); m_parts.fuel.txtStrecke_KeyUp();

    // The allowance and tip recomputations store their boxes before the
    // remembered texts are read back below: their stored texts go in first,
    // or the laid-out texts would replace what was typed last time. txtR15
    // comes after txtR, as its change handler stores txtR as it then stands.
    load(u"txtR"); m_parts.duty.txtR_Change();
    load(u"txtR15");
    load(u"txtTrinkgeld"); m_parts.tip.txtTrinkgeld_KeyUp();

    m_parts.transport.addStates(StateList::read(StateList::locate(m_parts.appDir)));

    bool ok = false;
    const int slider = m_parts.store.value(SettingsKeys::tipSlider).trimmed().toInt(&ok);
    if (ok)
        m_parts.tip.setSliderValue(slider);

    // loader on every remembered box, in the table's order.
    for (const SettingsKeys::Remembered &entry : SettingsKeys::remembered) {
        if (entry.restored)
            load(entry.key);
    }
    emit done();
}

// Only a box with nothing stored gets the default; an emptied box stays empty.
void FirstActivation::setDefault(QStringView key)
{
    const auto entry = std::ranges::find(SettingsKeys::remembered, key, &SettingsKeys::Remembered::key);
    QLineEdit *box = m_lineBoxes.value(key.toString());
    if (!box || entry == SettingsKeys::remembered.end())
        return;
    if (const std::optional<QString> text = m_parts.store.stored(key))
        box->setText(*text);
    else
        box->setText(entry->defaultText.isEmpty() ? QLocale().toString(entry->numberDefault) : entry->defaultText.toString());
}

void FirstActivation::load(QStringView box)
{
    if (QLineEdit *edit = m_lineBoxes.value(box.toString()))
        m_parts.store.load(edit);
    else if (QPlainTextEdit *text = m_textBoxes.value(box.toString()))
        m_parts.store.load(text);
}
