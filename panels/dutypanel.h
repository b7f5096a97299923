#pragma once

#include "panels/panelcontext.h"

#include <QGroupBox>

class KeyReleaseEdit;
class ResultLabel;

// Panel 4 "Freigrenzen errechnen und Zoll schätzen": the duty-free allowance
// of a travelling party and an estimate of the duty on goods above it. The
// handlers follow every change of their box's text, program writes included.
class DutyPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit DutyPanel(const PanelContext &context, QWidget *parent = nullptr);

    // The allowance computation; stores txtR.
    void txtR_Change();
    // The allowance computation; stores txtR and txtR15.
    void txtR15_Change();
    // The duty estimate; stores txtZV.
    void txtZV_Change();

    void Label33_Click();
    void Label37_Click();
    void Label38_Click();

private:
    void redirect(int nr);

    PanelContext m_context;
    KeyReleaseEdit *m_txtR = nullptr;
    KeyReleaseEdit *m_txtR15 = nullptr;
    KeyReleaseEdit *m_txtZV = nullptr;
    ResultLabel *m_label31 = nullptr;
    ResultLabel *m_label36 = nullptr;
};
