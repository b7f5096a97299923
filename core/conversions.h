#pragma once

#include <QStringView>

#include <optional>

// The constants and formulas of the offline converters. A conversion takes
// the value read from a box (absent when the text could not be read) and
// returns the result, or nothing when the input was absent or the result is
// not a finite number (a division by zero, an overflow of the double range).
namespace Conversions {

using Value = std::optional<double>;

// Temperature: F = C × 9 / 5 + 32 and back, in this order of operations.
Value celsiusToFahrenheit(Value celsius);
Value fahrenheitToCelsius(Value fahrenheit);

// Length.
namespace Length {
inline constexpr double metreInCm = 100;
inline constexpr double kilometreInCm = 100000;
inline constexpr double inchInCm = 2.54;
inline constexpr double footInCm = 30.48;
inline constexpr double mileInMetres = 1609.344;
inline constexpr double kilometreInMetres = 1000;
inline constexpr double cmToFeet = 0.0328083989501312;
inline constexpr double cmToInches = 0.393700787401575;
inline constexpr double kmToMiles = 0.621371192237334;
} // namespace Length

enum class LengthUnit { Centimetre, Metre, Kilometre, Foot, Inch, Mile };

// The six values a length handler derives from its box. Each may be absent
// when the step that makes it failed; the box then shows 0,00.
struct Lengths
{
    Value cm;
    Value m;
    Value km;
    Value ft;
    Value in;
    Value mi;

    Value of(LengthUnit unit) const;
};

// Brings the typed text to centimetres (metres for miles) and derives every
// unit from there, step by step: a failed step leaves its value absent, and
// an absent value counts as 0 where a later step uses it. Typed centimetres
// are kept as text, so an unreadable one fails each step that reads it.
Lengths lengthsFrom(LengthUnit source, QStringView text);

// Weight, through kilograms.
namespace Weight {
inline constexpr double kgInGrams = 1000;
inline constexpr double kgToPounds = 2.20462262184878;
inline constexpr double poundToKg = 0.45359237;
inline constexpr double kgToOunces = 35.2739619495804;
inline constexpr double ounceToKg = 0.028349523125;
} // namespace Weight

enum class WeightUnit { Gram, Kilogram, Ounce, Pound };

Value toKilograms(WeightUnit unit, Value amount);
Value fromKilograms(WeightUnit unit, Value kilograms);

// Fuel prices and consumption. `rate` is US dollars per euro, 0 while unknown.
namespace Fuel {
inline constexpr double litresPerGallon = 3.7854345;
inline constexpr double kmPerMile = 1.609344;
inline constexpr double consumptionConstant = 235;
} // namespace Fuel

Value litrePriceFromGallonPrice(Value dollarsPerGallon);
Value gallonPriceFromLitrePrice(Value dollarsPerLitre);
// euros × rate × litres per gallon, multiplied in this order (the euro and
// dollar conversion itself is MoneyRules').
Value gallonPriceFromEuroLitrePrice(Value eurosPerLitre, double rate);
// ((1 / mpg) × 100 × litres per gallon) / km per mile, about 235.216 / mpg.
Value mpgToLitresPer100Km(Value mpg);
// 235 / l; deliberately not the exact inverse of the line above.
Value litresPer100KmToMpg(Value litresPer100Km);

// Trip fuel cost: miles / mpg first, then × gallon price.
Value tripCost(Value miles, Value mpg, Value dollarsPerGallon);

} // namespace Conversions
