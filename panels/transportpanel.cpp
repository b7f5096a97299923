#include "panels/transportpanel.h"

#include "widgets/controls.h"
#include "widgets/linklabel.h"
#include "widgets/surface.h"
#include "widgets/twips.h"
#include "widgets/url.h"
#include "core/lookups.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

TransportPanel::TransportPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 10, QStringLiteral("Bus- & Zugverbindungen"));

    // The rail operator first; the other kinds of transport below it.
    QGroupBox *rail = Controls::group(this, QStringLiteral("Frame14"), QStringLiteral("Amtrak (Zug)"),
                                      {120, 240, 6975, 900});
    QLabel *serves = Controls::label(rail, QStringLiteral("Label41"),
                                     QStringLiteral("Bedient die meisten Staaten. Fahrpläne, Preise & Buchung auf:"),
                                     {120, 240, 4575, 495});
    serves->setWordWrap(true);
    m_label40 = Controls::link(rail, QStringLiteral("Label40"), Lookups::railAddress, {4920, 480, 1935, 255});
    m_label40->setAccessibleName(QStringLiteral("Amtrak: Fahrpläne, Preise und Buchung"));

    QGroupBox *others = Controls::group(this, QStringLiteral("Frame15"),
                                        QStringLiteral("Sonstige Arten von Public Transporation"),
                                        {120, 1260, 6975, 900});
    Controls::label(others, QStringLiteral("Label39"), QStringLiteral("Staat:"), {120, 330, 4335, 375});
    m_lstStates = new QComboBox(others);
    m_lstStates->setObjectName(QStringLiteral("lstStates"));
    Controls::plain(m_lstStates); // normal weight under the bold group caption
    m_lstStates->setGeometry(Twips::rect(960, 300, 3855, 360));
    m_lstStates->setEditable(true);
    // Typed text never becomes an entry: every entry needs its state code.
    m_lstStates->setInsertPolicy(QComboBox::NoInsert);
    m_lstStates->setCurrentIndex(-1);
    m_lstStates->setAccessibleName(QStringLiteral("Staat"));
    m_command5 = Controls::button(others, QStringLiteral("Command5"), QStringLiteral("Finden"), {5040, 280, 1815, 375});
    m_command5->setAccessibleName(QStringLiteral("Bus- und Zugverbindungen im Staat finden"));
    Controls::tabOrder({m_label40, m_lstStates, m_command5});

    connect(m_command5, &QPushButton::clicked, this, &TransportPanel::Command5_Click);
    connect(m_label40, &LinkLabel::clicked, this, &TransportPanel::Label40_Click);
}

int TransportPanel::chosenIndex() const
{
    const int index = m_lstStates->currentIndex();
    if (index < 0 || m_lstStates->itemText(index) != m_lstStates->currentText())
        return -1;
    return index;
}

void TransportPanel::Command5_Click()
{
    const int index = chosenIndex();
    if (index < 0) {
        showMissingStateMessage();
        // Stays red for the rest of the run, even after a later lookup.
        Surface::fix(m_lstStates, QPalette::Base, missingStateColor(), QPalette::Text);
        return;
    }
    // An entry without a code (the list filled from elsewhere) opens nothing.
    if (index >= m_stateCodes.size())
        return;
    openurl(this, Lookups::transportUrl(m_context.baseUrl, m_stateCodes.at(index)));
}

void TransportPanel::Label40_Click()
{
    openurl(this, m_label40->text());
}

void TransportPanel::showMissingStateMessage()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Fehler"),
                    QStringLiteral("Bitte erst einen Staat auswählen!"), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("missingStateMessage"));
    box.exec();
}

void TransportPanel::addStates(const QList<StateList::State> &states)
{
    for (const StateList::State &state : states) {
        m_lstStates->addItem(state.name);
        m_stateCodes.append(state.code);
    }
    m_lstStates->setCurrentIndex(-1);
}
