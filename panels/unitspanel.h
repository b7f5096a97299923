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
    void txtCelsius_KeyUp();
    void txtFahrenheit_KeyUp();
    // Weight.
    void txtG_KeyUp();
    void txtKG_KeyUp();
    void txtOZ_KeyUp();
    void txtP_KeyUp();
    // Length.
    void txtCM_KeyUp();
    void txtM_KeyUp();
    void txtKM_KeyUp();
    void txtIn_KeyUp();
    void txtFT_KeyUp();
    void txtMi_KeyUp();

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
