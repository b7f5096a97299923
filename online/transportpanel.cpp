#include "online/transportpanel.h"

#include "app/controls.h"

#include <QComboBox>

TransportPanel::TransportPanel(const PanelContext &context, const QStringList &stateCodes, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
    , m_stateCodes(stateCodes)
{
    Controls::panel(this, 10, QStringLiteral("Bus- & Zugverbindungen"));
    m_lstStates = new QComboBox(this);
    m_lstStates->setObjectName(QStringLiteral("lstStates"));
}
