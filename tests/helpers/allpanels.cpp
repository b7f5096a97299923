#include "helpers/allpanels.h"

#include "panels/currencypanel.h"
#include "panels/dutypanel.h"
#include "panels/fuelpanel.h"
#include "panels/tippanel.h"
#include "panels/unitspanel.h"
#include "panels/translatepanel.h"
#include "panels/transportpanel.h"

#include <QComboBox>

AllPanels::AllPanels()
{
    const PanelContext context{m_store, [this] { return m_rate; }, QStringLiteral("http://127.0.0.1:9/")};
    m_panels.push_back(std::make_unique<CurrencyPanel>(context));
    m_panels.push_back(std::make_unique<FuelPanel>(context));
    m_panels.push_back(std::make_unique<UnitsPanel>(context));
    m_panels.push_back(std::make_unique<DutyPanel>(context));
    m_panels.push_back(std::make_unique<TranslatePanel>(context));
    auto transport = std::make_unique<TransportPanel>(context);
    transport->addStates({{QStringLiteral("AL"), QStringLiteral("Alabama")}, {QStringLiteral("AK"), QStringLiteral("Alaska")}});
    m_panels.push_back(std::move(transport));
    m_panels.push_back(std::make_unique<TipPanel>(context));
}

AllPanels::~AllPanels() = default;

QStringList AllPanels::names() const
{
    QStringList found;
    for (const auto &panel : m_panels)
        found << panel->objectName();
    return found;
}

QWidget *AllPanels::panel(const QString &name) const
{
    for (const auto &panel : m_panels) {
        if (panel->objectName() == name)
            return panel.get();
    }
    return nullptr;
}
