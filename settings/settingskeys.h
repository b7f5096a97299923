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

// One remembered value: whether its handler stores it, whether loader puts
// it back at the end of the start-up (in this table's order), and the
// start-up's default for it when nothing is stored: a text, or a number
// written in the user's number format.
struct Remembered
{
    QStringView key;
    bool stored = true;
    bool restored = true;
    QStringView defaultText = {};
    double numberDefault = 0.0;
};

// Every remembered value, in the order loader restores them.
inline constexpr std::array remembered = {
    Remembered{.key = u"txtCelsius", .defaultText = u"30"},
    Remembered{.key = u"txtCM"},
    Remembered{.key = u"txtDollar"},
    Remembered{.key = u"txtEur"},
    Remembered{.key = u"txtFahrenheit"},
    Remembered{.key = u"txtFT"},
    Remembered{.key = u"txtG"},
    Remembered{.key = u"txtGalPrice", .numberDefault = 1.99},
    Remembered{.key = u"txtGalPrice2"},
    Remembered{.key = u"txtIn"},
    Remembered{.key = u"txtKG", .defaultText = u"1"},
    Remembered{.key = u"txtKM"},
    Remembered{.key = u"txtLKM"},
    Remembered{.key = u"txtLPriceD"},
    Remembered{.key = u"txtLPriceE"},
    Remembered{.key = u"txtM", .defaultText = u"10"},
    Remembered{.key = u"txtMi"},
    Remembered{.key = u"txtMPG", .defaultText = u"22"},
    Remembered{.key = u"txtOZ"},
    Remembered{.key = u"txtP"},
    // Never stored: comes back only when put into the store from outside.
    Remembered{.key = u"txtPLZ", .stored = false},
    Remembered{.key = u"txtR"},
    Remembered{.key = u"txtR15"},
    Remembered{.key = u"txtStrecke", .defaultText = u"100"},
    Remembered{.key = u"txtTrans"},
    Remembered{.key = u"txtTrinkgeld"},
    Remembered{.key = u"txtVerbrauch"},
    Remembered{.key = u"txtZS", .stored = false},
    Remembered{.key = u"txtZV"},
    // The slider is set by the start-up itself, after the state list.
    Remembered{.key = tipSlider, .restored = false},
};

} // namespace SettingsKeys
