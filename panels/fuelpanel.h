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
    void txtGalPrice_KeyUp();
    void txtLPriceD_KeyUp();
    void txtLPriceE_KeyUp();
    void txtMPG_KeyUp();
    void txtLKM_KeyUp();
    // Trip cost "Fahrtpreis errechnen"; the distance handler is the computation.
    void txtGalPrice2_KeyUp();
    void txtVerbrauch_KeyUp();
    void txtStrecke_KeyUp();
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
