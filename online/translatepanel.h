#pragma once

#include "app/panelcontext.h"

#include <QGroupBox>

// Panel 5 "Wörter & Texte übersetzen".
class TranslatePanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit TranslatePanel(const PanelContext &context, QWidget *parent = nullptr);


private:
    PanelContext m_context;
};
