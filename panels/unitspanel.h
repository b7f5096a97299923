#pragma once

#include "panels/panelcontext.h"
#include "core/conversions.h"

#include <QGroupBox>

class KeyReleaseEdit;
class LinkLabel;

// Panel 3 "Umrechnungen deutsche Einheiten <> Amerikanische Einheiten":
// temperature, weight and length converters that recompute on every key
// release in one of their boxes.
class UnitsPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit UnitsPanel(const PanelContext &context, QWidget *parent = nullptr);

    // Temperature.
    void txtCelsius_KeyUp(int KeyCode, int Shift);
    void txtFahrenheit_KeyUp(int KeyCode, int Shift);
    // Weight.
    void txtG_KeyUp(int KeyCode, int Shift);
    void txtKG_KeyUp(int KeyCode, int Shift);
    void txtOZ_KeyUp(int KeyCode, int Shift);
    void txtP_KeyUp(int KeyCode, int Shift);
    // Length.
    void txtCM_KeyUp(int KeyCode, int Shift);
    void txtM_KeyUp(int KeyCode, int Shift);
    void txtKM_KeyUp(int KeyCode, int Shift);
    void txtIn_KeyUp(int KeyCode, int Shift);
    void txtFT_KeyUp(int KeyCode, int Shift);
    void txtMi_KeyUp(int KeyCode, int Shift);

    void Label28_Click();

private:
    void buildTemperature();
    void buildWeight();
    void buildLength();
    KeyReleaseEdit *weightBox(Conversions::WeightUnit unit) const;
    KeyReleaseEdit *lengthBox(Conversions::LengthUnit unit) const;
    void convertWeight(Conversions::WeightUnit source);
    void convertLength(Conversions::LengthUnit source);

    PanelContext m_context;
    KeyReleaseEdit *m_txtCelsius = nullptr;
    KeyReleaseEdit *m_txtFahrenheit = nullptr;
    KeyReleaseEdit *m_txtG = nullptr;
    KeyReleaseEdit *m_txtKG = nullptr;
    KeyReleaseEdit *m_txtOZ = nullptr;
    KeyReleaseEdit *m_txtP = nullptr;
    KeyReleaseEdit *m_txtCM = nullptr;
    KeyReleaseEdit *m_txtM = nullptr;
    KeyReleaseEdit *m_txtKM = nullptr;
    KeyReleaseEdit *m_txtIn = nullptr;
    KeyReleaseEdit *m_txtFT = nullptr;
    KeyReleaseEdit *m_txtMi = nullptr;
    LinkLabel *m_label28 = nullptr;
};
