#pragma once

#include <QStringView>

#include <array>

// Every key of the settings store and every start-up default, in one place.
// A box is stored under its control name.
namespace SettingsKeys {

// QSettings(NativeFormat, UserScope, organization) with an empty application
// name: on Linux the file is $XDG_CONFIG_HOME/Kelvara.conf.
inline constexpr QStringView organization = u"Kelvara";
inline constexpr QStringView section = u"Kartavio";

// The tip slider's value, as decimal integer text.
inline constexpr QStringView tipSlider = u"scrTrinkgeld";

// Boxes that get a default when nothing is stored, in start-up order.
// A default of `numberDefault` is written in the user's number format.
struct StartDefault
{
    QStringView box;
    QStringView text;
    double numberDefault = 0.0;
};

inline constexpr std::array<StartDefault, 6> startDefaults = {{
    {u"txtCelsius", u"30"},
    {u"txtKG", u"1"},
    {u"txtM", u"10"},
    {u"txtGalPrice", {}, 1.99},
    {u"txtMPG", u"22"},
    {u"txtStrecke", u"100"},
}};

// Boxes whose stored text is put back at start-up, in this order.
inline constexpr std::array<QStringView, 29> restoredBoxes = {
    u"txtCelsius", u"txtCM",     u"txtDollar",  u"txtEur",       u"txtFahrenheit",
    u"txtFT",      u"txtG",      u"txtGalPrice", u"txtGalPrice2", u"txtIn",
    u"txtKG",      u"txtKM",     u"txtLKM",     u"txtLPriceD",   u"txtLPriceE",
    u"txtM",       u"txtMi",     u"txtMPG",     u"txtOZ",        u"txtP",
    u"txtPLZ",     u"txtR",      u"txtR15",     u"txtStrecke",   u"txtTrans",
    u"txtTrinkgeld", u"txtVerbrauch", u"txtZS",  u"txtZV",
};

} // namespace SettingsKeys
