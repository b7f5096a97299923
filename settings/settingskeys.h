#pragma once

#include <QStringView>

#include <array>

// Every key of the settings store and what the program does with it, in one
// place. A box is stored under its control name.
namespace SettingsKeys {

// QSettings(NativeFormat, UserScope, organization) with an empty application
// name: on Linux the file is $XDG_CONFIG_HOME/Kelvara.conf.
inline constexpr QStringView organization = u"Kelvara";
inline constexpr QStringView section = u"Kartavio";

// The tip slider's value, as decimal integer text.
inline constexpr QStringView tipSlider = u"scrTrinkgeld";

// What the start-up does with a remembered box before the remembered texts
// come back.
enum class AtStart {
    Nothing,
    Default,    // its stored text, or the default when nothing is stored
    LoadedEarly // its stored text, if any, put back already here
};

// One remembered value: whether its handler stores it, whether loader puts
// it back at the end of the start-up (in this table's order), and what the
// start-up does with it before that, at its place `startOrder`, followed by
// its recomputation where `recomputed`.
struct Remembered
{
    QStringView key;
    bool stored = true;
    bool restored = true;
    AtStart atStart = AtStart::Nothing;
    int startOrder = 0;
    bool recomputed = false;
    QStringView defaultText = {};
    double numberDefault = 0.0; // a default written in the user's number format
};

// Every remembered value, in the order loader restores them.
inline constexpr std::array<Remembered, 30> remembered = {{
    {.key = u"txtCelsius", .atStart = AtStart::Default, .startOrder = 1, .recomputed = true, .defaultText = u"30"},
    {.key = u"txtCM"},
    {.key = u"txtDollar"},
    {.key = u"txtEur"},
    {.key = u"txtFahrenheit"},
    {.key = u"txtFT"},
    {.key = u"txtG"},
    {.key = u"txtGalPrice", .atStart = AtStart::Default, .startOrder = 4, .recomputed = true, .numberDefault = 1.99},
    {.key = u"txtGalPrice2"},
    {.key = u"txtIn"},
    {.key = u"txtKG", .atStart = AtStart::Default, .startOrder = 2, .recomputed = true, .defaultText = u"1"},
    {.key = u"txtKM"},
    {.key = u"txtLKM"},
    {.key = u"txtLPriceD"},
    {.key = u"txtLPriceE"},
    {.key = u"txtM", .atStart = AtStart::Default, .startOrder = 3, .recomputed = true, .defaultText = u"10"},
    {.key = u"txtMi"},
    {.key = u"txtMPG", .atStart = AtStart::Default, .startOrder = 5, .recomputed = true, .defaultText = u"22"},
    {.key = u"txtOZ"},
    {.key = u"txtP"},
    // Never stored: comes back only when put into the store from outside.
    {.key = u"txtPLZ", .stored = false},
    // Its recomputation stores it (and txtR15) before loader reads the
    // store; put back first, so that what was typed last time stays.
    {.key = u"txtR", .atStart = AtStart::LoadedEarly, .startOrder = 7, .recomputed = true},
    // After txtR: its change handler stores txtR as it then stands.
    {.key = u"txtR15", .atStart = AtStart::LoadedEarly, .startOrder = 8},
    {.key = u"txtStrecke", .atStart = AtStart::Default, .startOrder = 6, .recomputed = true, .defaultText = u"100"},
    {.key = u"txtTrans"},
    {.key = u"txtTrinkgeld", .atStart = AtStart::LoadedEarly, .startOrder = 9, .recomputed = true},
    {.key = u"txtVerbrauch"},
    {.key = u"txtZS", .stored = false},
    {.key = u"txtZV"},
    // The tip slider's value, as decimal integer text; the start-up sets the
    // slider to it after the state list, before loader.
    {.key = tipSlider, .restored = false},
}};

} // namespace SettingsKeys
