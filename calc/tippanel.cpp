#include "calc/tippanel.h"

#include "app/controls.h"

TipPanel::TipPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 11, QStringLiteral("Trinkgeldrechner"));
}

void TipPanel::txtTrinkgeld_KeyUp(int, int) {}

void TipPanel::setSliderValue(int) {}
