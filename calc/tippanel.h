#pragma once

#include "app/panelcontext.h"

#include <QGroupBox>

// Panel 11 "Trinkgeldrechner".
class TipPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit TipPanel(const PanelContext &context, QWidget *parent = nullptr);

    void txtTrinkgeld_KeyUp(int KeyCode, int Shift);
    void setSliderValue(int value);

private:
    PanelContext m_context;
};
