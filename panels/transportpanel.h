#pragma once

#include "panels/panelcontext.h"
#include "core/statelist.h"

#include <QColor>
#include <QGroupBox>
#include <QStringList>

class LinkLabel;
class QComboBox;
class QPushButton;

// Panel 10 "Bus- & Zugverbindungen": public transport by state on the site,
// and a link to the rail operator.
class TransportPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit TransportPanel(const PanelContext &context, QWidget *parent = nullptr);

    // Adds the states to lstStates, in their order, with nothing chosen;
    // stateCodes() holds their codes at the same indices.
    void addStates(const QList<StateList::State> &states);
    const QStringList &stateCodes() const { return m_stateCodes; }

    QComboBox *lstStates() const { return m_lstStates; }
    QPushButton *command5() const { return m_command5; }
    LinkLabel *label40() const { return m_label40; }

    // Opens the transport page of the chosen state; without a choice, says so
    // and turns the list red for the rest of the run.
    void Command5_Click();
    // Opens the rail operator's address.
    void Label40_Click();

    // The entry the user has chosen, or -1 when the list's text is not one
    // of its entries (nothing picked, or typed over).
    int chosenIndex() const;

    static constexpr QColor missingStateColor() { return QColor(255, 0, 0); }

private:
    void showMissingStateMessage();

    PanelContext m_context;
    QStringList m_stateCodes; // parallel to the entries of lstStates
    QComboBox *m_lstStates = nullptr;
    QPushButton *m_command5 = nullptr;
    LinkLabel *m_label40 = nullptr;
};
