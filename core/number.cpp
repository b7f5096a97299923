#include "core/number.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace Number {

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Decimals and grouping of a pattern like "##,##0.00".
struct Pattern
{
    int decimals = 2;
    bool grouped = true;
};

Pattern parsePattern(QStringView pattern)
{
    if (pattern.isEmpty())
        return {};
    Pattern result;
    const qsizetype point = pattern.indexOf(u'.');
    result.decimals = point < 0 ? 0 : int(pattern.size() - point - 1);
    result.grouped = pattern.left(point < 0 ? pattern.size() : point).contains(u',');
    return result;
}

QString grouped(const std::string &digits, const QString &separator)
{
    QString out;
    out.reserve(qsizetype(digits.size() + digits.size() / 3 * separator.size()));
    const auto count = digits.size();
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            out += separator;
        out += QChar(char16_t(digits[i]));
    }
    return out;
}

} // namespace

std::optional<double> read(QStringView text, const QLocale &locale)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    const QString decimalPoint = locale.decimalPoint();
    const QString groupSeparator = locale.groupSeparator();
    std::string ascii;
    ascii.reserve(size_t(trimmed.size()) + 1);

    qsizetype i = 0;
    if (trimmed.startsWith(u'-') || trimmed.startsWith(locale.negativeSign())) {
        ascii += '-';
        i = trimmed.startsWith(u'-') ? 1 : locale.negativeSign().size();
    } else if (trimmed.startsWith(u'+') || trimmed.startsWith(locale.positiveSign())) {
        i = trimmed.startsWith(u'+') ? 1 : locale.positiveSign().size();
    }

    bool seenDecimal = false;
    bool seenDigit = false;
    while (i < trimmed.size()) {
        const QStringView rest = trimmed.mid(i);
        const QChar c = rest.front();
        if (isAsciiDigit(c)) {
            ascii += char(c.unicode());
            seenDigit = true;
            ++i;
        } else if (!seenDecimal && !decimalPoint.isEmpty() && rest.startsWith(decimalPoint)) {
            ascii += '.';
            seenDecimal = true;
            i += decimalPoint.size();
        } else if (!seenDecimal && !groupSeparator.isEmpty() && rest.startsWith(groupSeparator)) {
            i += groupSeparator.size();
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit)
        return std::nullopt;

    bool ok = false;
    const double value = QLocale::c().toDouble(QLatin1StringView(ascii.data(), qsizetype(ascii.size())), &ok);
    if (!ok)
        return std::nullopt;
    return finite(value);
}

QString format(double value, QStringView patternText, const QLocale &locale)
{
    if (!finite(value))
        return {};
    const Pattern pattern = parsePattern(patternText);

    // The value written with 15 significant digits: d.dddddddddddddde+XX.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    std::string digits;
    digits += buffer[0];
    digits.append(buffer + 2, 14);
    const int exponent = std::atoi(buffer + 17);
    // Near the top of the range the 15 digits round up beyond the largest
    // double (1.79769313486232e308), a text no reading gives back; show the
    // largest 15-digit value below it instead.
    static constexpr std::string_view largestDigits = "179769313486231";
    if (exponent == 308 && digits > largestDigits)
        digits = largestDigits;

    // Position in `digits` of the first digit that is rounded away.
    int integerDigits = exponent + 1;
    const int keep = integerDigits + pattern.decimals;
    if (keep < 0) {
        digits.assign(1, '0');
        integerDigits = 1;
    } else if (keep < int(digits.size())) {
        const bool up = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (up) {
            int pos = keep - 1;
            while (pos >= 0 && digits[size_t(pos)] == '9')
                digits[size_t(pos--)] = '0';
            if (pos >= 0) {
                ++digits[size_t(pos)];
            } else {
                digits.insert(digits.begin(), '1');
                ++integerDigits;
            }
        }
    }

    // Bring the digits to integerDigits + decimals, padding on either side.
    if (integerDigits <= 0) {
        digits.insert(0, size_t(1 - integerDigits), '0');
        integerDigits = 1;
    }
    const size_t wanted = size_t(integerDigits + pattern.decimals);
    if (digits.size() < wanted)
        digits.append(wanted - digits.size(), '0');
    digits.resize(wanted);

    std::string integerPart = digits.substr(0, size_t(integerDigits));
    const std::string fraction = digits.substr(size_t(integerDigits));
    const auto firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? std::string("0") : integerPart.substr(firstNonZero);

    QString result;
    const bool zero = integerPart == "0" && fraction.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero)
        result += locale.negativeSign();
    result += pattern.grouped ? grouped(integerPart, locale.groupSeparator())
                              : QString::fromLatin1(integerPart.data(), qsizetype(integerPart.size()));
    if (pattern.decimals > 0)
        result += locale.decimalPoint() % QString::fromLatin1(fraction.data(), qsizetype(fraction.size()));
    return result;
}

QString format(std::optional<double> value, QStringView pattern, const QLocale &locale)
{
    return format(value.value_or(0.0), pattern, locale);
}

QString general(double value, const QLocale &locale)
{
    if (!finite(value))
        return {};
    QString text = QString::number(value, 'g', 15);
    text.replace(u'.', locale.decimalPoint());
    if (text.startsWith(u'-'))
        text.replace(0, 1, locale.negativeSign());
    return text;
}

} // namespace Number
