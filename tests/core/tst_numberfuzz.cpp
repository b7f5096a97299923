#include "core/number.h"
#include "helpers/testenv.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

using namespace Qt::StringLiterals;

// Random texts and values thrown at the reading rule and the display
// patterns. The seeds are fixed, so a failure repeats on every run; the
// message names the input that broke the rule.
class TestNumberFuzz final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void read_data();
    void read();
    void formatReadsBack_data();
    void formatReadsBack();
    void halfwayRoundsAwayFromZero_data();
    void halfwayRoundsAwayFromZero();
};

namespace {

constexpr int readRounds = 80'000;   // per locale
constexpr int formatRounds = 25'000; // per locale and pattern
constexpr int halfwayRounds = 20'000;

void addLocaleRows()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<quint32>("seed");
    // The default locale is the German one the test environment pins.
    QTest::newRow("de (default)") << QLocale() << 20240611u;
    QTest::newRow("C") << QLocale::c() << 7u;
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << 1999u;
}

// What a text may be built from: the number's own characters, the other
// convention's separators, blanks, letters (exponent and hex letters too)
// and digits of other scripts.
QStringList alphabet(const QLocale &locale)
{
    QStringList chars{u"."_s, u","_s, u"+"_s, u"-"_s, u" "_s, u"\t"_s, u"\u00A0"_s,
                      u"e"_s, u"E"_s, u"x"_s, u"a"_s, u"f"_s, u"i"_s, u"n"_s, u"ä"_s,
                      u"'"_s, u"\u0661"_s /* Arabic-Indic one */, u"\uFF11"_s /* full-width one */};
    chars << locale.decimalPoint() << locale.groupSeparator() << locale.negativeSign()
          << locale.positiveSign();
    for (char16_t d = u'0'; d <= u'9'; ++d)
        chars << QString(QChar(d)) << QString(QChar(d)); // digits twice as likely
    return chars;
}

QString randomDigits(QRandomGenerator &random, int count)
{
    QString out;
    out.reserve(count);
    for (int i = 0; i < count; ++i)
        out += QChar(char16_t(u'0' + random.bounded(10)));
    return out;
}

// A text shaped like a number (blanks, sign, grouped digits, decimals),
// then perhaps spoilt by a few random characters.
QString numberLike(QRandomGenerator &random, const QLocale &locale, const QStringList &chars)
{
    static const QString blanks[] = {QString(), u" "_s, u"\t"_s, u"  "_s, u"\u00A0"_s};
    static const QString signs[] = {QString(), QString(), u"-"_s, u"+"_s};
    QString text = blanks[random.bounded(5)] % signs[random.bounded(4)];
    const int groups = random.bounded(4);
    text += randomDigits(random, random.bounded(4));
    for (int g = 0; g < groups; ++g)
        text += locale.groupSeparator() % randomDigits(random, random.bounded(5));
    if (random.bounded(2))
        text += locale.decimalPoint() % randomDigits(random, random.bounded(6));
    text += blanks[random.bounded(5)];
    for (int spoil = random.bounded(4) - 1; spoil > 0; --spoil) {
        const qsizetype at = random.bounded(int(text.size()) + 1);
        text.insert(at, chars.at(random.bounded(int(chars.size()))));
    }
    return text;
}

QString randomText(QRandomGenerator &random, const QStringList &chars)
{
    QString text;
    for (int n = random.bounded(12); n > 0; --n)
        text += chars.at(random.bounded(int(chars.size())));
    return text;
}

// Texts of thousands of characters: huge and tiny numbers, long grouped
// runs, and long noise.
QString longText(QRandomGenerator &random, const QLocale &locale, const QStringList &chars)
{
    const int length = 1000 + random.bounded(4000);
    switch (random.bounded(5)) {
    case 0: // far beyond the double range
        return u"1"_s % randomDigits(random, length);
    case 1: // a long run of leading zeros: still a small number
        return QString(length, u'0') % u"42"_s;
    case 2: // too small to be anything but zero
        return u"0"_s % locale.decimalPoint() % QString(length, u'0') % u"1"_s;
    case 3: // long fraction, fits fine
        return u"-3"_s % locale.decimalPoint() % randomDigits(random, length);
    default: {
        QString text;
        for (int i = 0; i < length; ++i)
            text += chars.at(random.bounded(int(chars.size())));
        return text;
    }
    }
}

// The reading rule written as a pattern: blanks, a sign, digits and group
// separators, at most one decimal separator followed by digits only.
QRegularExpression grammar(const QLocale &locale)
{
    const auto e = [](const QString &s) { return QRegularExpression::escape(s); };
    return QRegularExpression(u"^[ \\t\\x{00A0}]*(?<sign>[+\\-]|"_s % e(locale.negativeSign()) % u"|"_s
                              % e(locale.positiveSign()) % u")?(?<int>(?:[0-9]|"_s
                              % e(locale.groupSeparator()) % u")*)(?:"_s % e(locale.decimalPoint())
                              % u"(?<frac>[0-9]*))?[ \\t\\x{00A0}]*$"_s);
}

enum class Expect { Value, Fail, FailOrSubnormal };

struct Expected
{
    Expect kind = Expect::Fail;
    double value = 0;
};

// What the rule must give for `text`, computed apart from the code under
// test: the pattern above, then the C++ library's own conversion.
Expected expectedReading(const QString &text, const QLocale &locale, const QRegularExpression &rule)
{
    const QRegularExpressionMatch match = rule.match(text);
    if (!match.hasMatch())
        return {};
    QString integer = match.captured(u"int");
    integer.remove(locale.groupSeparator());
    const QString fraction = match.captured(u"frac");
    if (integer.isEmpty() && fraction.isEmpty())
        return {};
    const QString sign = match.captured(u"sign");
    const bool negative = sign == u"-" || sign == locale.negativeSign();
    const std::string ascii = (negative ? u"-"_s : QString()).toStdString() + integer.toStdString() + '.'
                              + fraction.toStdString();
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (end != ascii.data() + ascii.size())
        return {};
    if (error == std::errc::result_out_of_range) {
        // Either beyond the largest double (must fail) or below the
        // smallest normal one (must fail or give a subnormal).
        const bool huge = integer.contains(QRegularExpression(u"[1-9]"_s));
        return {huge ? Expect::Fail : Expect::FailOrSubnormal, 0};
    }
    return {Expect::Value, value};
}

QString shown(const QString &text)
{
    return text.size() > 80 ? text.left(40) % u"…("_s % QString::number(text.size()) % u" chars)"_s : text;
}

QByteArray readFailure(const char *what, const QString &text, std::optional<double> result)
{
    const QString got = result ? QString::number(*result, 'g', 17) : u"failure"_s;
    return (QString::fromLatin1(what) % u" for \""_s % shown(text) % u"\": got "_s % got).toUtf8();
}

QByteArray formatFailure(const char *what, double value, const QString &text)
{
    return (QString::fromLatin1(what) % u": "_s % QString::number(value, 'g', 17) % u" shown as \""_s
            % shown(text) % u"\""_s).toUtf8();
}

// The message is only built when the check fails: 200,000 rounds each.
#define FUZZ_CHECK(condition, message) \
    do { \
        if (!(condition)) \
            QFAIL((message).constData()); \
    } while (false)

double randomFinite(QRandomGenerator &random)
{
    double value = 0;
    switch (random.bounded(6)) {
    case 0: // any bit pattern: subnormals, the extremes
        do
            value = std::bit_cast<double>(random.generate64());
        while (!std::isfinite(value));
        return value;
    case 1: // every decade of the range
        value = (1 + random.generateDouble() * 9) * std::pow(10.0, random.bounded(-324, 308));
        return std::isfinite(value) ? value : 0.0;
    case 2: // everyday amounts
        return random.bounded(2'000'000.0) - 1'000'000.0;
    case 3: // amounts in thousandths: many halfway cases
        return double(random.bounded(qint64(1'000'000'000'000))) / 1000.0;
    case 4: // whole numbers up to 2^53
        return double(random.bounded(qint64(1) << 53));
    default: // near the 15-digit limit
        return (1 + random.generateDouble() * 9) * std::pow(10.0, random.bounded(10, 20));
    }
}

int decimalsOf(const QString &pattern)
{
    return pattern == Number::oneDecimalPattern ? 1 : 2;
}

} // namespace

void TestNumberFuzz::initTestCase()
{
    TestEnv::isolate();
    QCOMPARE(QLocale().decimalPoint(), u","_s);
}

void TestNumberFuzz::read_data()
{
    addLocaleRows();
}

void TestNumberFuzz::read()
{
    QFETCH(QLocale, locale);
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QStringList chars = alphabet(locale);
    const QRegularExpression rule = grammar(locale);
    QVERIFY(rule.isValid());

    int accepted = 0;
    for (int round = 0; round < readRounds; ++round) {
        const int kind = random.bounded(100);
        const QString text = kind == 0  ? longText(random, locale, chars)
                             : kind < 60 ? numberLike(random, locale, chars)
                                         : randomText(random, chars);
        const std::optional<double> result = Number::read(text, locale);
        const Expected expected = expectedReading(text, locale, rule);
        if (!result) {
            FUZZ_CHECK(expected.kind != Expect::Value, readFailure("should read", text, result));
            continue;
        }
        ++accepted;
        FUZZ_CHECK(std::isfinite(*result), readFailure("not finite", text, result));
        for (const QChar c : text)
            FUZZ_CHECK(!c.isLetter(), readFailure("letter accepted", text, result));
        switch (expected.kind) {
        case Expect::Fail:
            QFAIL(readFailure("should fail", text, result).constData());
            break;
        case Expect::FailOrSubnormal:
            FUZZ_CHECK(*result != 0 && std::fabs(*result) < std::numeric_limits<double>::min(),
                       readFailure("neither failure nor subnormal", text, result));
            break;
        case Expect::Value:
            FUZZ_CHECK(*result == expected.value, readFailure("wrong value", text, result));
            break;
        }
        // A text with a digit other than 0 never reads as zero.
        if (*result == 0)
            FUZZ_CHECK(!text.contains(QRegularExpression(u"[1-9]"_s)),
                       readFailure("non-zero text read as zero", text, result));
    }
    // The generator must reach both sides of the rule.
    QVERIFY2(accepted > readRounds / 10, qPrintable(QString::number(accepted)));
    QVERIFY2(accepted < readRounds * 9 / 10, qPrintable(QString::number(accepted)));
}

void TestNumberFuzz::formatReadsBack_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<quint32>("seed");

    const QLocale locales[] = {QLocale(), QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates)};
    const QString patterns[] = {QString(), Number::moneyPattern.toString(), Number::oneDecimalPattern.toString()};
    quint32 seed = 4711;
    for (const QLocale &locale : locales) {
        for (const QString &pattern : patterns) {
            const QString name = locale.name() % u" \""_s % pattern % u"\""_s;
            QTest::newRow(qPrintable(name)) << locale << pattern << seed++;
        }
    }
}

// Every text the display makes is well formed, reads back, shows the value
// rounded to the pattern's decimals, and shows the same again when read
// back and displayed once more.
void TestNumberFuzz::formatReadsBack()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, pattern);
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const int decimals = decimalsOf(pattern);
    const QRegularExpression shape(u"^-?[0-9]{1,3}(?:"_s % QRegularExpression::escape(locale.groupSeparator())
                                   % u"[0-9]{3})*"_s % QRegularExpression::escape(locale.decimalPoint())
                                   % u"[0-9]{"_s % QString::number(decimals) % u"}$"_s);
    const double halfUnit = 0.5 * std::pow(10.0, -decimals);

    using limits = std::numeric_limits<double>;
    const QList<double> edges{0.0, -0.0, limits::max(), std::nextafter(limits::max(), 0.0), 1.7976931348623e308,
                              limits::min(), limits::denorm_min(), 1e15 - 0.005, 999'999'999'999'999.9,
                              0.995, 9.995, 0.05, 0.95, 0.0049999999999999, 1e-5};
    for (int round = -2 * int(edges.size()); round < formatRounds; ++round) {
        const double value = round < 0 ? (round % 2 ? -1 : 1) * edges.at((-round - 1) / 2)
                             : random.bounded(2) ? -randomFinite(random)
                                                 : randomFinite(random);
        const QString text = Number::format(value, pattern, locale);
        FUZZ_CHECK(shape.match(text).hasMatch(), formatFailure("badly formed", value, text));
        const std::optional<double> back = Number::read(text, locale);
        FUZZ_CHECK(back, formatFailure("does not read back", value, text));
        FUZZ_CHECK(Number::format(*back, pattern, locale) == text,
                   formatFailure("shows differently when read back", value, text));
        const double error = std::fabs(*back - value);
        FUZZ_CHECK(error <= halfUnit * (1 + 1e-9) + 8e-15 * std::fabs(value),
                   formatFailure("too far from the value", value, text));
        FUZZ_CHECK(!text.startsWith(u'-') || value < 0, formatFailure("minus on a positive value", value, text));
    }
}

void TestNumberFuzz::halfwayRoundsAwayFromZero_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("two decimals") << Number::moneyPattern.toString();
    QTest::newRow("one decimal") << Number::oneDecimalPattern.toString();
}

// n.5 units of the last shown decimal, up to 13 significant digits, shows
// as n + 1 units, and as -(n + 1) units when negative.
void TestNumberFuzz::halfwayRoundsAwayFromZero()
{
    QFETCH(QString, pattern);
    QRandomGenerator random(314159);
    const int decimals = decimalsOf(pattern);
    const double scale = std::pow(10.0, decimals);
    for (int round = 0; round < halfwayRounds; ++round) {
        const qint64 units = random.bounded(qint64(1'000'000'000'000));
        const double value = double(units * 10 + 5) / (scale * 10);
        const double expected = double(units + 1) / scale;
        const std::optional<double> up = Number::read(Number::format(value, pattern));
        const std::optional<double> down = Number::read(Number::format(-value, pattern));
        FUZZ_CHECK(up && *up == expected, formatFailure("not rounded up", value, Number::format(value, pattern)));
        FUZZ_CHECK(down && *down == -expected,
                   formatFailure("not rounded down", -value, Number::format(-value, pattern)));
    }
}

QTEST_GUILESS_MAIN(TestNumberFuzz)
#include "tst_numberfuzz.moc"
