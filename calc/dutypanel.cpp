#include "calc/dutypanel.h"

#include "app/controls.h"

DutyPanel::DutyPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 4, QStringLiteral("Freigrenzen errechnen und Zoll schätzen"));
}

void DutyPanel::txtR_Change() {}
