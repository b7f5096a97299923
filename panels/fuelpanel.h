#pragma once

#include "panels/panelcontext.h"

#include <QGroupBox>

class KeyReleaseEdit;
class QPushButton;
class ResultLabel;

// Panel 1 "Rechnungen rund um's Benzin / Gasoline": the fuel price and
// consumption converter, the trip cost calculator and the petrol station
// lookup by ZIP code.
class FuelPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit FuelPanel(const PanelContext &context, QWidget *parent = nullptr);

    // Converter "Umrechnung".
    void txtGalPrice_KeyUp(int KeyCode, int Shift);
    void txtLPriceD_KeyUp(int KeyCode, int Shift);
    void txtLPriceE_KeyUp(int KeyCode, int Shift);
    void txtMPG_KeyUp(int KeyCode, int Shift);
    void txtLKM_KeyUp(int KeyCode, int Shift);
    // Trip cost "Fahrtpreis errechnen"; the distance handler is the computation.
    void txtGalPrice2_KeyUp(int KeyCode, int Shift);
    void txtVerbrauch_KeyUp(int KeyCode, int Shift);
    void txtStrecke_KeyUp(int KeyCode, int Shift);
    // Petrol station lookup "Benzinpreis".
    void Command2_Click();

private:
    void buildConverter();
    void buildTrip();
    void buildStationLookup();

    PanelContext m_context;
    KeyReleaseEdit *m_txtGalPrice = nullptr;
    KeyReleaseEdit *m_txtLPriceD = nullptr;
    KeyReleaseEdit *m_txtLPriceE = nullptr;
    KeyReleaseEdit *m_txtMPG = nullptr;
    KeyReleaseEdit *m_txtLKM = nullptr;
    KeyReleaseEdit *m_txtGalPrice2 = nullptr;
    KeyReleaseEdit *m_txtVerbrauch = nullptr;
    KeyReleaseEdit *m_txtStrecke = nullptr;
    ResultLabel *m_lblFahrtPreis = nullptr;
    KeyReleaseEdit *m_txtPLZ = nullptr;
    QPushButton *m_command2 = nullptr;
};
