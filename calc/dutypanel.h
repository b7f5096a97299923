#pragma once

#include "app/panelcontext.h"

#include <QGroupBox>

// Panel 4 "Freigrenzen errechnen und Zoll schätzen".
class DutyPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit DutyPanel(const PanelContext &context, QWidget *parent = nullptr);

    void txtR_Change();

private:
    PanelContext m_context;
};
