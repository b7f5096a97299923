#pragma once

#include "app/panelcontext.h"

#include <QGroupBox>

// Panel 1 "Rechnungen rund um's Benzin / Gasoline".
class FuelPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit FuelPanel(const PanelContext &context, QWidget *parent = nullptr);

    void txtGalPrice_KeyUp(int KeyCode, int Shift);
    void txtMPG_KeyUp(int KeyCode, int Shift);
    void txtStrecke_KeyUp(int KeyCode, int Shift);

private:
    PanelContext m_context;
};
