#pragma once

#include "app/navigation.h"
#include "panels/currencypanel.h"
#include "panels/dutypanel.h"
#include "panels/fuelpanel.h"
#include "panels/panelcontext.h"
#include "panels/tippanel.h"
#include "panels/translatepanel.h"
#include "panels/transportpanel.h"
#include "panels/unitspanel.h"
#include "settings/rememberedvalues.h"
#include "widgets/controls.h"
#include "widgets/twips.h"

#include <QDate>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

// The navigation column and every panel without a web view, built
// standalone with a store of its own and a fixed rate, each a top-level
// widget (for layout and focus tests). The column comes first: its links are
// the first ones the program builds.
class AllPanels final
{
public:
    AllPanels();

    // Names as objectName: "Navigation", then the panels ("Frame1_0", ...) in panel order.
    static QStringList names();
    QWidget *panel(const QString &name) const;

private:
    double m_rate = 1.2345;
    RememberedValues m_store;
    std::vector<std::unique_ptr<QWidget>> m_panels;
};

inline AllPanels::AllPanels()
{
    // The column on a white window of its own size, as the main window holds it.
    auto column = std::make_unique<QWidget>();
    column->setObjectName(QStringLiteral("Navigation"));
    column->setFixedSize(Twips::toPixels(2175), Twips::toPixels(5175));
    Controls::whiteSurface(column.get());
    new Navigation(column.get());
    m_panels.push_back(std::move(column));

    const PanelContext context{m_store, [this] { return m_rate; }, QStringLiteral("http://127.0.0.1:9/")};
    auto currency = std::make_unique<CurrencyPanel>(context);
    // A drawn chart, so that its picture is checked as the panels' others are.
    currency->setSeries({{QDate(2026, 12, 3), 1.079}, {QDate(2026, 12, 4), 1.085}});
    m_panels.push_back(std::move(currency));
    m_panels.push_back(std::make_unique<FuelPanel>(context));
    m_panels.push_back(std::make_unique<UnitsPanel>(context));
    m_panels.push_back(std::make_unique<DutyPanel>(context));
    m_panels.push_back(std::make_unique<TranslatePanel>(context));
    auto transport = std::make_unique<TransportPanel>(context);
    transport->addStates({{QStringLiteral("AL"), QStringLiteral("Alabama")}, {QStringLiteral("AK"), QStringLiteral("Alaska")}});
    m_panels.push_back(std::move(transport));
    m_panels.push_back(std::make_unique<TipPanel>(context));
}

inline QStringList AllPanels::names()
{
    return {QStringLiteral("Navigation"), QStringLiteral("Frame1_0"), QStringLiteral("Frame1_1"),
            QStringLiteral("Frame1_3"), QStringLiteral("Frame1_4"), QStringLiteral("Frame1_5"),
            QStringLiteral("Frame1_10"), QStringLiteral("Frame1_11")};
}

inline QWidget *AllPanels::panel(const QString &name) const
{
    for (const auto &panel : m_panels) {
        if (panel->objectName() == name)
            return panel.get();
    }
    return nullptr;
}
