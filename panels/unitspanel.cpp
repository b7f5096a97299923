#include "panels/unitspanel.h"

#include "widgets/controls.h"
#include "widgets/linklabel.h"
#include "widgets/pictures.h"
#include "settings/rememberedvalues.h"
#include "widgets/url.h"
#include "widgets/keyreleaseedit.h"
#include "core/number.h"
#include "core/lookups.h"

#include <QLabel>

#include <array>

using Conversions::LengthUnit;
using Conversions::WeightUnit;

namespace {

const QString initialText = QStringLiteral("1,00");

// A box with its unit label to its right.
KeyReleaseEdit *unitBox(QWidget *frame, const QString &box, const QString &label, const QString &unit,
                        const QString &spoken, int left, int top, int boxWidth, int labelWidth)
{
    return Controls::labelledBox(frame, {box, initialText, spoken, label, unit, left, top, boxWidth,
                                         left + boxWidth + 60, labelWidth});
}

} // namespace

UnitsPanel::UnitsPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 3, QStringLiteral("Umrechnungen deutsche Einheiten <> Amerikanische Einheiten"));
    buildTemperature();
    buildWeight();
    buildLength();

    Controls::label(this, QStringLiteral("Label27"), QStringLiteral("Noch nicht genug?"), {120, 4560, 2040, 375});
    m_label28 = Controls::link(this, QStringLiteral("Label28"), QStringLiteral("Weitere Umrechnungen"), {2280, 4560, 2655, 375});
    Controls::tabOrder({m_txtCelsius, m_txtFahrenheit, m_txtG, m_txtKG, m_txtOZ, m_txtP,
                        m_txtCM, m_txtM, m_txtKM, m_txtIn, m_txtFT, m_txtMi, m_label28});
    connect(m_label28, &LinkLabel::clicked, this, &UnitsPanel::Label28_Click);
}

void UnitsPanel::buildTemperature()
{
    QGroupBox *frame = Controls::group(this, QStringLiteral("Frame9"), QStringLiteral("Temperatur"), {120, 240, 6975, 975});
    m_txtCelsius = unitBox(frame, QStringLiteral("txtCelsius"), QStringLiteral("Label15"), QStringLiteral("°C"),
                           QStringLiteral("Temperatur in Grad Celsius"), 120, 420, 1335, 495);
    m_txtFahrenheit = unitBox(frame, QStringLiteral("txtFahrenheit"), QStringLiteral("Label26"), QStringLiteral("° F"),
                              QStringLiteral("Temperatur in Grad Fahrenheit"), 2160, 420, 1335, 495);
    Controls::picture(frame, QStringLiteral("Image3"), Pictures::thermometer(), 5760, 345, QStringLiteral("Thermometer"));
    Controls::picture(frame, QStringLiteral("Image10"), Pictures::flag(), 6360, 345, QStringLiteral("Flagge der USA"));

    connect(m_txtCelsius, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtCelsius_KeyUp);
    connect(m_txtFahrenheit, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtFahrenheit_KeyUp);
}

void UnitsPanel::buildWeight()
{
    QGroupBox *frame = Controls::group(this, QStringLiteral("Frame8"), QStringLiteral("Gewicht"), {120, 1335, 6975, 975});
    // Four columns of box and unit, 1710 twips apart.
    m_txtG = unitBox(frame, QStringLiteral("txtG"), QStringLiteral("Label17"), QStringLiteral("g"), QStringLiteral("Gewicht in Gramm"), 120, 420, 1005, 600);
    m_txtKG = unitBox(frame, QStringLiteral("txtKG"), QStringLiteral("Label16"), QStringLiteral("kg"), QStringLiteral("Gewicht in Kilogramm"), 1830, 420, 1005, 600);
    m_txtOZ = unitBox(frame, QStringLiteral("txtOZ"), QStringLiteral("Label19"), QStringLiteral("ounzes"), QStringLiteral("Gewicht in Unzen"), 3540, 420, 1005, 600);
    m_txtP = unitBox(frame, QStringLiteral("txtP"), QStringLiteral("Label18"), QStringLiteral("pounds"), QStringLiteral("Gewicht in Pfund"), 5250, 420, 1005, 600);

    connect(m_txtG, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtG_KeyUp);
    connect(m_txtKG, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtKG_KeyUp);
    connect(m_txtOZ, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtOZ_KeyUp);
    connect(m_txtP, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtP_KeyUp);
}

void UnitsPanel::buildLength()
{
    QGroupBox *frame = Controls::group(this, QStringLiteral("Frame7"), QStringLiteral("Längen"), {120, 2430, 6975, 1455});
    // Metric units in the upper row, US units below; columns 2280 twips apart.
    m_txtCM = unitBox(frame, QStringLiteral("txtCM"), QStringLiteral("Label22"), QStringLiteral("cm"), QStringLiteral("Länge in Zentimetern"), 120, 420, 1335, 735);
    m_txtM = unitBox(frame, QStringLiteral("txtM"), QStringLiteral("Label20"), QStringLiteral("m"), QStringLiteral("Länge in Metern"), 2400, 420, 1335, 735);
    m_txtKM = unitBox(frame, QStringLiteral("txtKM"), QStringLiteral("Label24"), QStringLiteral("km"), QStringLiteral("Länge in Kilometern"), 4680, 420, 1335, 735);
    m_txtIn = unitBox(frame, QStringLiteral("txtIn"), QStringLiteral("Label23"), QStringLiteral("inch"), QStringLiteral("Länge in Zoll"), 120, 900, 1335, 735);
    m_txtFT = unitBox(frame, QStringLiteral("txtFT"), QStringLiteral("Label21"), QStringLiteral("foot"), QStringLiteral("Länge in Fuß"), 2400, 900, 1335, 735);
    m_txtMi = unitBox(frame, QStringLiteral("txtMi"), QStringLiteral("Label25"), QStringLiteral("miles"), QStringLiteral("Länge in Meilen"), 4680, 900, 1335, 735);

    connect(m_txtCM, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtCM_KeyUp);
    connect(m_txtM, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtM_KeyUp);
    connect(m_txtKM, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtKM_KeyUp);
    connect(m_txtIn, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtIn_KeyUp);
    connect(m_txtFT, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtFT_KeyUp);
    connect(m_txtMi, &KeyReleaseEdit::keyReleased, this, &UnitsPanel::txtMi_KeyUp);
}

// --- Temperature: each box rewrites only its partner, then is stored.

void UnitsPanel::txtCelsius_KeyUp()
{
    if (const auto fahrenheit = Conversions::celsiusToFahrenheit(Number::read(m_txtCelsius->text())))
        m_txtFahrenheit->setText(Number::format(*fahrenheit));
    m_context.store.save(m_txtCelsius);
}

void UnitsPanel::txtFahrenheit_KeyUp()
{
    if (const auto celsius = Conversions::fahrenheitToCelsius(Number::read(m_txtFahrenheit->text())))
        m_txtCelsius->setText(Number::format(*celsius));
    m_context.store.save(m_txtFahrenheit);
}

// --- Weight: the kilogram box is the hub.

KeyReleaseEdit *UnitsPanel::weightBox(WeightUnit unit) const
{
    switch (unit) {
    case WeightUnit::Gram: return m_txtG;
    case WeightUnit::Kilogram: return m_txtKG;
    case WeightUnit::Ounce: return m_txtOZ;
    case WeightUnit::Pound: return m_txtP;
    }
    return nullptr;
}

void UnitsPanel::convertWeight(WeightUnit source)
{
    KeyReleaseEdit *typed = weightBox(source);
    auto kilograms = Conversions::toKilograms(source, Number::read(typed->text()));
    if (source != WeightUnit::Kilogram) {
        // The other units follow the unrounded kilograms, not the two
        // decimals shown; only when those failed is the kilogram box read.
        if (kilograms)
            m_txtKG->setText(Number::format(*kilograms));
        else
            kilograms = Number::read(m_txtKG->text());
    }
    for (const WeightUnit target : {WeightUnit::Gram, WeightUnit::Pound, WeightUnit::Ounce}) {
        if (target == source)
            continue;
        if (const auto amount = Conversions::fromKilograms(target, kilograms))
            weightBox(target)->setText(Number::format(*amount));
    }
    m_context.store.save(typed);
}

void UnitsPanel::txtG_KeyUp()
{
    convertWeight(WeightUnit::Gram);
}

void UnitsPanel::txtKG_KeyUp()
{
    convertWeight(WeightUnit::Kilogram);
}

void UnitsPanel::txtOZ_KeyUp()
{
    convertWeight(WeightUnit::Ounce);
}

void UnitsPanel::txtP_KeyUp()
{
    convertWeight(WeightUnit::Pound);
}

// --- Length: all five other boxes are rewritten, failed values as 0,00.

KeyReleaseEdit *UnitsPanel::lengthBox(LengthUnit unit) const
{
    switch (unit) {
    case LengthUnit::Centimetre: return m_txtCM;
    case LengthUnit::Metre: return m_txtM;
    case LengthUnit::Kilometre: return m_txtKM;
    case LengthUnit::Foot: return m_txtFT;
    case LengthUnit::Inch: return m_txtIn;
    case LengthUnit::Mile: return m_txtMi;
    }
    return nullptr;
}

void UnitsPanel::convertLength(LengthUnit source)
{
    KeyReleaseEdit *typed = lengthBox(source);
    const Conversions::Lengths lengths = Conversions::lengthsFrom(source, typed->text());
    for (const LengthUnit target : {LengthUnit::Centimetre, LengthUnit::Metre, LengthUnit::Kilometre,
                                    LengthUnit::Foot, LengthUnit::Inch, LengthUnit::Mile}) {
        if (target != source)
            lengthBox(target)->setText(Number::format(lengths.of(target)));
    }
    m_context.store.save(typed);
}

void UnitsPanel::txtCM_KeyUp()
{
    convertLength(LengthUnit::Centimetre);
}

void UnitsPanel::txtM_KeyUp()
{
    convertLength(LengthUnit::Metre);
}

void UnitsPanel::txtKM_KeyUp()
{
    convertLength(LengthUnit::Kilometre);
}

void UnitsPanel::txtIn_KeyUp()
{
    convertLength(LengthUnit::Inch);
}

void UnitsPanel::txtFT_KeyUp()
{
    convertLength(LengthUnit::Foot);
}

void UnitsPanel::txtMi_KeyUp()
{
    convertLength(LengthUnit::Mile);
}

void UnitsPanel::Label28_Click()
{
    openurl(this, Lookups::redirectUrl(m_context.baseUrl, 0));
}
