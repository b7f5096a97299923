#include "core/moneyrules.h"

#include "core/number.h"

namespace MoneyRules {

namespace {

std::optional<double> divide(double dividend, double divisor)
{
    if (divisor == 0.0)
        return std::nullopt;
    return Number::finite(dividend / divisor);
}

} // namespace

std::optional<double> eurToDollar(std::optional<double> euros, double rate)
{
    return euros ? Number::finite(*euros * rate) : std::nullopt;
}

std::optional<double> dollarToEur(std::optional<double> dollars, double rate)
{
    return dollars ? divide(*dollars, rate) : std::nullopt;
}

std::optional<double> tipDollars(double bill, double percent)
{
    return Number::finite(bill * percent / 100.0);
}

std::optional<double> tipEuros(double bill, double percent, double rate)
{
    const std::optional<double> dollars = tipDollars(bill, percent);
    if (!dollars)
        return std::nullopt;
    return divide(*dollars, rate);
}

std::optional<double> allowance(double travellers, double under15)
{
    if (!(travellers >= 0.0) || !(under15 >= 0.0) || under15 > travellers)
        return std::nullopt;
    return Number::finite((travellers - under15) * allowanceAdult + under15 * allowanceChild);
}

std::optional<double> duty(double goodsDollars, double rate)
{
    const double dutyRate = goodsDollars > dutyThresholdDollars ? dutyRateHigh : dutyRateLow;
    return divide(dutyRate * goodsDollars, rate);
}

} // namespace MoneyRules
