// libFuzzer entry for the number rules: any text through the reading rule,
// any double through the display patterns. Aborts when a rule is broken.
#include "core/number.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const QLocale &german()
{
    static const QLocale locale(QLocale::German, QLocale::Germany);
    return locale;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A text that reads is made of digits, separators, signs and blanks only.
void checkReading(const QString &text, const QLocale &locale)
{
    const std::optional<double> value = Number::read(text, locale);
    if (!value)
        return;
    check(std::isfinite(*value));
    for (const QChar c : text)
        check(!c.isLetter());
}

// A shown value reads back and shows the same again.
void checkDisplay(double value, const QLocale &locale)
{
    for (const QStringView pattern : {Number::moneyPattern, Number::oneDecimalPattern}) {
        const QString text = Number::format(value, pattern, locale);
        if (!std::isfinite(value)) {
            check(text.isEmpty());
            continue;
        }
        const std::optional<double> back = Number::read(text, locale);
        check(back.has_value());
        check(Number::format(*back, pattern, locale) == text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkReading(text, german());
    checkReading(text, QLocale::c());
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        checkDisplay(value, german());
        checkDisplay(value, QLocale::c());
    }
    return 0;
}
