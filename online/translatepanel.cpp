#include "online/translatepanel.h"

#include "app/controls.h"

TranslatePanel::TranslatePanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 5, QStringLiteral("Wörter & Texte übersetzen"));
}
