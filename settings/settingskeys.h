#pragma once

#include <QStringView>

#include <array>

// Every key of the settings store, in one place. A box is stored under its
// control name. The start-up defaults stand with their recomputations in the
// first activation.
namespace SettingsKeys {

// QSettings(NativeFormat, UserScope, organization) with an empty application
// name: on Linux the file is $XDG_CONFIG_HOME/Kelvara.conf.
inline constexpr QStringView organization = u"Kelvara";
inline constexpr QStringView section = u"Kartavio";

// The tip slider's value, as decimal integer text.
inline constexpr QStringView tipSlider = u"scrTrinkgeld";

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
