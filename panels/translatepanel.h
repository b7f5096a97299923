#pragma once

#include "panels/panelcontext.h"

#include <QGroupBox>

class QPlainTextEdit;
class QPushButton;

// Panel 5 "Wörter & Texte übersetzen": a text and two buttons that open the
// site's translation page for it, one per direction.
class TranslatePanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit TranslatePanel(const PanelContext &context, QWidget *parent = nullptr);

    // German to English.
    void Command3_Click();
    // English to German.
    void Command4_Click();
    // Every change of the text is stored, so it survives a restart.
    void txtTrans_Change();

    QPlainTextEdit *txtTrans() const { return m_txtTrans; }
    QPushButton *command3() const { return m_command3; }
    QPushButton *command4() const { return m_command4; }

private:
    PanelContext m_context;
    QPlainTextEdit *m_txtTrans = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command4 = nullptr;
};
