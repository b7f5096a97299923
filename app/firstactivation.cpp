#include "app/firstactivation.h"

#include "app/form3.h"
#include "settings/settingskeys.h"
#include "panels/dutypanel.h"
#include "panels/fuelpanel.h"
#include "panels/tippanel.h"
#include "panels/unitspanel.h"
#include "app/form2.h"
#include "core/statelist.h"
#include "panels/transportpanel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

#include <array>
#include <functional>

FirstActivation::FirstActivation(Form3 &form)
    : QObject(&form)
    , m_form(form)
{
}

bool FirstActivation::isDone() const
{
    return m_form.form2()->tag() == u"done";
}

void FirstActivation::activate()
{
    // Also blocks an activation that arrives while the retrieval still runs.
    if (m_started || isDone())
        return;
    m_started = true;
    // The retrieval's recomputation stores txtEur: put the remembered amount
    // back first, or the laid-out "1,00" would overwrite it in the store.
    restoreEarly(u"txtEur");
    connect(m_form.form2(), &Form2::updateFinished, this, &FirstActivation::afterRetrieval,
            Qt::SingleShotConnection);
    m_form.form2()->update();
}

void FirstActivation::afterRetrieval()
{
    m_form.form2()->setTag(QStringLiteral("done"));
    RememberedValues &store = m_form.store();

    // Six boxes get their stored text or a default, each followed by its recomputation.
    UnitsPanel *units = m_form.unitsPanel();
    FuelPanel *fuel = m_form.fuelPanel();
    const std::array<std::function<void()>, SettingsKeys::startDefaults.size()> recompute = {
        [units] { units->txtCelsius_KeyUp(1, 1); }, [units] { units->txtKG_KeyUp(1, 1); },
        [units] { units->txtM_KeyUp(1, 1); },       [fuel] { fuel->txtGalPrice_KeyUp(1, 1); },
        [fuel] { fuel->txtMPG_KeyUp(1, 1); },       [fuel] { fuel->txtStrecke_KeyUp(1, 1); },
    };
    for (size_t i = 0; i < recompute.size(); ++i) {
        const SettingsKeys::StartDefault &entry = SettingsKeys::startDefaults[i];
        if (auto *box = m_form.findChild<QLineEdit *>(entry.box.toString())) {
            // Only a box with nothing stored gets the default; an emptied box stays empty.
            const std::optional<QString> text = store.stored(entry.box);
            if (text)
                box->setText(*text);
            else
                box->setText(entry.text.isEmpty() ? QLocale().toString(entry.numberDefault) : entry.text.toString());
        }
        recompute[i]();
    }

    // These handlers store their box before the remembered texts come back
    // below; restoring them first keeps what the user typed last time.
    restoreEarly(u"txtR");
    restoreEarly(u"txtR15");
    m_form.dutyPanel()->txtR_Change();
    restoreEarly(u"txtTrinkgeld");
    m_form.tipPanel()->txtTrinkgeld_KeyUp(1, 1);
    fillStates();

    const QString slider = store.value(SettingsKeys::tipSlider);
    bool ok = false;
    const int sliderValue = slider.trimmed().toInt(&ok);
    if (ok)
        m_form.tipPanel()->setSliderValue(sliderValue);

    for (QStringView name : SettingsKeys::restoredBoxes) {
        if (auto *box = m_form.findChild<QLineEdit *>(name.toString()))
            store.load(box);
        else if (auto *text = m_form.findChild<QPlainTextEdit *>(name.toString()))
            store.load(text);
    }
    emit done();
}

void FirstActivation::restoreEarly(QStringView box)
{
    if (auto *edit = m_form.findChild<QLineEdit *>(box.toString()))
        m_form.store().load(edit);
}

void FirstActivation::fillStates()
{
    QComboBox *list = m_form.transportPanel()->lstStates();
    QStringList &codes = m_form.stateCodes();
    for (const StateList::State &state : StateList::read(StateList::locate(m_form.appDir()))) {
        list->addItem(state.name);
        codes.append(state.code);
    }
    list->setCurrentIndex(-1);
}
