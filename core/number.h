#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

// Reading and showing numbers in the user's regional convention.
namespace Number {

// The default display pattern: grouped thousands, two decimals.
inline constexpr QStringView moneyPattern = u"##,##0.00";
inline constexpr QStringView oneDecimalPattern = u"##,##0.0";

// Reads a number as typed: blanks around it, an optional sign, digits,
// group separators anywhere in the integer part and at most one decimal
// separator. Anything else, or a value beyond the double range, fails.
std::optional<double> read(QStringView text, const QLocale &locale = QLocale());

// Shows a value with a pattern such as "##,##0.00": 15 significant digits,
// then rounded half away from zero to the pattern's decimals. An empty
// pattern means "##,##0.00". Infinities and NaN give empty text.
QString format(double value, QStringView pattern = {}, const QLocale &locale = QLocale());

// As above; an absent value shows as 0.
QString format(std::optional<double> value, QStringView pattern = {},
               const QLocale &locale = QLocale());

// General number text: up to 15 significant digits, no grouping, no
// trailing zeros (1.2345 gives "1,2345" in German). Empty for NaN/infinity.
QString general(double value, const QLocale &locale = QLocale());

// A result that is not finite fails the step that made it.
inline std::optional<double> finite(double value)
{
    if (value - value != 0.0) // NaN or infinity
        return std::nullopt;
    return value;
}

} // namespace Number
