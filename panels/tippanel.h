#pragma once

#include "panels/panelcontext.h"

#include <QGroupBox>

class KeyReleaseEdit;
class QScrollBar;
class ResultLabel;

// Panel 11 "Trinkgeldrechner": the tip for a bill in dollars, at a
// percentage from 12 to 22 chosen on a satisfaction slider.
class TipPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit TipPanel(const PanelContext &context, QWidget *parent = nullptr);

    // The tip computation.
    void txtTrinkgeld_KeyUp();
    // Runs on every change of the slider's value.
    void scrTrinkgeld_Change();
    // Moves the slider; its change handler runs when the value differs.
    void setSliderValue(int value);

private:
    PanelContext m_context;
    QScrollBar *m_scrTrinkgeld = nullptr;
    KeyReleaseEdit *m_txtTrinkgeld = nullptr;
    ResultLabel *m_label45 = nullptr;
    ResultLabel *m_label48 = nullptr;
};
