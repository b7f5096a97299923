#include "calc/fuelpanel.h"

#include "app/controls.h"

FuelPanel::FuelPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 1, QStringLiteral("Rechnungen rund um's Benzin / Gasoline"));
}

void FuelPanel::txtGalPrice_KeyUp(int, int) {}

void FuelPanel::txtMPG_KeyUp(int, int) {}

void FuelPanel::txtStrecke_KeyUp(int, int) {}
