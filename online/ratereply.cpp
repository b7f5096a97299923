#include "online/ratereply.h"

#include "calc/number.h"

namespace RateReply {

std::optional<QString> rateLine(double rate)
{
    if (!Number::finite(rate) || rate <= 0)
        return std::nullopt;
    const QString reciprocal = Number::general(1.0 / rate);
    return u"1 EUR = " % Number::general(rate) % u" $, 1$ = " % reciprocal.left(6) % u" EUR";
}

} // namespace RateReply
