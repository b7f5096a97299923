#pragma once

#include "core/referencerates.h"
#include "panels/panelcontext.h"

#include <QGroupBox>

class KeyReleaseEdit;
class QImage;
class QLabel;
class QPushButton;
class ResultLabel;

// Panel 0 "Währungsumrechnung": euros and dollars at the current rate, with
// the rate's date, the rate line, the chart and the button that fetches them.
class CurrencyPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit CurrencyPanel(const PanelContext &context, QWidget *parent = nullptr);

    // Recompute the other box from the one released. txtEur_KeyUp also runs
    // on each new rate, so the dollar box shows the euro amount at that rate.
    void txtEur_KeyUp();
    void txtDollar_KeyUp();

    // The rate button, Command1; the main window runs the retrieval on its click.
    QPushButton *command1() const { return m_command1; }
    // Display phase of the retrieval.
    void setStandText(const QString &stand); // Label3: "Stand: " + stand
    void setRateLine(const QString &line);   // Label4
    void setChart(const QImage &chart);      // Image1, scaled into its box
    // Image1: the course drawn by the program, at the box's size.
    void setSeries(const ReferenceRates::Series &series);

private:
    PanelContext m_context;
    KeyReleaseEdit *m_txtEur = nullptr;
    KeyReleaseEdit *m_txtDollar = nullptr;
    ResultLabel *m_label3 = nullptr;
    ResultLabel *m_label4 = nullptr;
    QLabel *m_image1 = nullptr;
    QPushButton *m_command1 = nullptr;
};
