#pragma once

#include <optional>

// The euro/dollar arithmetic of every panel. The rate is US dollars per
// euro; a division by a rate of 0 fails, and so does any result that is not
// a finite number or made from an absent amount (a box that cannot be read).
namespace MoneyRules {

// Duty-free allowance per adult air traveller and per traveller under 15, in euros.
inline constexpr double allowanceAdult = 430.0;
inline constexpr double allowanceChild = 175.0;

// Duty rates on goods above and up to the threshold, which is in US dollars.
inline constexpr double dutyThresholdDollars = 350.0;
inline constexpr double dutyRateHigh = 0.19;
inline constexpr double dutyRateLow = 0.135;

// euros × rate.
std::optional<double> eurToDollar(std::optional<double> euros, double rate);
// dollars / rate; fails while the rate is 0.
std::optional<double> dollarToEur(std::optional<double> dollars, double rate);

// The tip in dollars: bill × percent / 100.
std::optional<double> tipDollars(double bill, double percent);
// The same tip in euros; fails while the rate is 0.
std::optional<double> tipEuros(double bill, double percent, double rate);

// Allowance in euros of a party of `travellers`, of whom `under15` are
// children: adults count 430, children 175. Counts that contradict each
// other (negative, or more children than travellers) fail. Fractional
// counts are accepted.
std::optional<double> allowance(double travellers, double under15);

// The duty in euros on goods worth `goodsDollars`: 19 % above 350 $, else
// 13.5 %, converted at the rate; fails while the rate is 0.
std::optional<double> duty(double goodsDollars, double rate);

} // namespace MoneyRules
