#include "calc/unitspanel.h"

#include "app/controls.h"

UnitsPanel::UnitsPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 3, QStringLiteral("Umrechnungen deutsche Einheiten <> Amerikanische Einheiten"));
}

void UnitsPanel::txtCelsius_KeyUp(int, int) {}

void UnitsPanel::txtKG_KeyUp(int, int) {}

void UnitsPanel::txtM_KeyUp(int, int) {}
