#pragma once

#include "app/panelcontext.h"

#include <QGroupBox>

// Panel 3 "Umrechnungen deutsche Einheiten <> Amerikanische Einheiten".
class UnitsPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit UnitsPanel(const PanelContext &context, QWidget *parent = nullptr);

    void txtCelsius_KeyUp(int KeyCode, int Shift);
    void txtKG_KeyUp(int KeyCode, int Shift);
    void txtM_KeyUp(int KeyCode, int Shift);

private:
    PanelContext m_context;
};
