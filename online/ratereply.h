#pragma once

#include <QString>

#include <optional>

// The rate service's reply line, the cache line and the rate line text.
namespace RateReply {

// "1 EUR = 1,2345 $, 1$ = 0,8100 EUR": the rate in general number text and
// the first six characters of its reciprocal (cut, not rounded). Nothing for
// a rate that is not finite and greater than 0.
std::optional<QString> rateLine(double rate);

} // namespace RateReply
