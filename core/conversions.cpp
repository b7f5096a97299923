#include "core/conversions.h"

#include "core/moneyrules.h"
#include "core/number.h"

namespace Conversions {

namespace {

Value times(Value value, double factor)
{
    return value ? Number::finite(*value * factor) : std::nullopt;
}

Value over(Value value, double divisor)
{
    return value ? Number::finite(*value / divisor) : std::nullopt;
}

// An absent held value counts as 0 in arithmetic.
Value held(Value value)
{
    return value.value_or(0.0);
}

} // namespace

Value celsiusToFahrenheit(Value celsius)
{
    return celsius ? Number::finite(*celsius * 9 / 5 + 32) : std::nullopt;
}

Value fahrenheitToCelsius(Value fahrenheit)
{
    return fahrenheit ? Number::finite((*fahrenheit - 32) * 5 / 9) : std::nullopt;
}

Value Lengths::of(LengthUnit unit) const
{
    switch (unit) {
    case LengthUnit::Centimetre: return cm;
    case LengthUnit::Metre: return m;
    case LengthUnit::Kilometre: return km;
    case LengthUnit::Foot: return ft;
    case LengthUnit::Inch: return in;
    case LengthUnit::Mile: return mi;
    }
    return std::nullopt;
}

Lengths lengthsFrom(LengthUnit source, QStringView text)
{
    using namespace Length;
    const Value typed = Number::read(text);
    Lengths result;
    // What the steps after the first use as centimetres: typed centimetres
    // stay text and fail each step when unreadable; an absent value is 0.
    Value centimetres;

    switch (source) {
    case LengthUnit::Mile:
        result.m = times(typed, mileInMetres);
        result.cm = times(held(result.m), metreInCm);
        result.km = over(held(result.m), kilometreInMetres);
        centimetres = held(result.cm);
        break;
    case LengthUnit::Centimetre:
        result.cm = typed;
        centimetres = typed;
        break;
    case LengthUnit::Metre: result.cm = times(typed, metreInCm); break;
    case LengthUnit::Kilometre: result.cm = times(typed, kilometreInCm); break;
    case LengthUnit::Inch: result.cm = times(typed, inchInCm); break;
    case LengthUnit::Foot: result.cm = times(typed, footInCm); break;
    }
    if (source != LengthUnit::Mile) {
        if (source != LengthUnit::Centimetre)
            centimetres = held(result.cm);
        result.m = over(centimetres, metreInCm);
        result.km = over(centimetres, kilometreInCm);
    }
    result.ft = times(centimetres, cmToFeet);
    result.in = times(centimetres, cmToInches);
    // Miles always come from the kilometres.
    result.mi = times(held(result.km), kmToMiles);
    return result;
}

Value toKilograms(WeightUnit unit, Value amount)
{
    using namespace Weight;
    switch (unit) {
    case WeightUnit::Gram: return over(amount, kgInGrams);
    case WeightUnit::Kilogram: return amount;
    case WeightUnit::Ounce: return times(amount, ounceToKg);
    case WeightUnit::Pound: return times(amount, poundToKg);
    }
    return std::nullopt;
}

Value fromKilograms(WeightUnit unit, Value kilograms)
{
    using namespace Weight;
    switch (unit) {
    case WeightUnit::Gram: return times(kilograms, kgInGrams);
    case WeightUnit::Kilogram: return kilograms;
    case WeightUnit::Ounce: return times(kilograms, kgToOunces);
    case WeightUnit::Pound: return times(kilograms, kgToPounds);
    }
    return std::nullopt;
}

Value litrePriceFromGallonPrice(Value dollarsPerGallon)
{
    return over(dollarsPerGallon, Fuel::litresPerGallon);
}

Value gallonPriceFromLitrePrice(Value dollarsPerLitre)
{
    return times(dollarsPerLitre, Fuel::litresPerGallon);
}

Value gallonPriceFromEuroLitrePrice(Value eurosPerLitre, double rate)
{
    return times(MoneyRules::eurToDollar(eurosPerLitre, rate), Fuel::litresPerGallon);
}

Value mpgToLitresPer100Km(Value mpg)
{
    if (!mpg)
        return std::nullopt;
    return Number::finite(((1 / *mpg) * 100 * Fuel::litresPerGallon) / Fuel::kmPerMile);
}

Value litresPer100KmToMpg(Value litresPer100Km)
{
    if (!litresPer100Km)
        return std::nullopt;
    return Number::finite(Fuel::consumptionConstant / *litresPer100Km);
}

Value tripCost(Value miles, Value mpg, Value dollarsPerGallon)
{
    if (!miles || !mpg || !dollarsPerGallon)
        return std::nullopt;
    return Number::finite(*miles / *mpg * *dollarsPerGallon);
}

} // namespace Conversions
