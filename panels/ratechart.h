#pragma once

#include "core/referencerates.h"

#include <QFont>
#include <QImage>
#include <QLocale>
#include <QSize>

// The course of the US dollar rate, drawn by the program from the public
// reference rates: a line over the days, the rate axis in the user's number
// format. Dark ink on a white surface under every desktop theme, like the
// service's chart picture; drawn at the device's pixel ratio, so it stays
// sharp at any scale.
namespace RateChart {

// A picture of `size` logical pixels at `ratio` device pixels each; null for
// fewer than two days.
QImage draw(const ReferenceRates::Series &series, QSize size, qreal ratio, const QFont &font,
            const QLocale &locale = QLocale());

} // namespace RateChart
