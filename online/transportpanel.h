#pragma once

#include "app/panelcontext.h"

#include <QGroupBox>
#include <QStringList>

class QComboBox;

// Panel 10 "Bus- & Zugverbindungen".
class TransportPanel final : public QGroupBox
{
    Q_OBJECT

public:
    // `stateCodes` is the main window's list, parallel to the entries of lstStates.
    TransportPanel(const PanelContext &context, const QStringList &stateCodes, QWidget *parent = nullptr);

    QComboBox *lstStates() const { return m_lstStates; }

private:
    PanelContext m_context;
    const QStringList &m_stateCodes;
    QComboBox *m_lstStates = nullptr;
};
