#include "panels/ratechart.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace RateChart {

namespace {

const QColor ink(26, 26, 26);
const QColor grid(205, 205, 205);
const QColor line(0, 51, 153);

// The tick step: the smallest of 1, 2 and 5 times a power of ten that
// divides `span` into at most five parts.
double tickStep(double span)
{
    double power = std::pow(10.0, std::floor(std::log10(span / 5)));
    for (;; power *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (span / (factor * power) <= 5)
                return factor * power;
        }
    }
}

} // namespace

QImage draw(const ReferenceRates::Series &series, QSize size, qreal ratio, const QFont &font, const QLocale &locale)
{
    if (series.size() < 2 || size.isEmpty())
        return {};
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);

    const auto [low, high] = std::minmax_element(series.cbegin(), series.cend(),
                                                 [](const auto &a, const auto &b) { return a.rate < b.rate; });
    const double margin = std::max((high->rate - low->rate) * 0.1, 0.005);
    const double step = tickStep(high->rate - low->rate + 2 * margin);
    const double bottom = std::floor((low->rate - margin) / step) * step;
    const double top = std::ceil((high->rate + margin) / step) * step;
    const int decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont small = font;
    small.setPixelSize(11);
    painter.setFont(small);
    const QFontMetrics metrics(small);
    const int ticks = int(std::lround((top - bottom) / step));
    int labelWidth = 0;
    for (int i = 0; i <= ticks; ++i)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(locale.toString(bottom + i * step, 'f', decimals)));
    const QRectF plot(labelWidth + 10, metrics.height() + 8, size.width() - labelWidth - 20,
                      size.height() - 2 * metrics.height() - 16);

    painter.setPen(ink);
    QFont title = small;
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(plot.left(), 2, plot.width(), metrics.height()), Qt::AlignLeft,
                     QStringLiteral("US-Dollar je Euro"));
    painter.setFont(small);
    for (int i = 0; i <= ticks; ++i) {
        const double y = plot.bottom() - plot.height() * i / ticks;
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(ink);
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, labelWidth + 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, locale.toString(bottom + i * step, 'f', decimals));
    }

    const QDate first = series.constFirst().day;
    const double days = std::max<qint64>(1, first.daysTo(series.constLast().day));
    const auto x = [&](QDate day) { return plot.left() + plot.width() * first.daysTo(day) / days; };
    const auto y = [&](double rate) { return plot.bottom() - plot.height() * (rate - bottom) / (top - bottom); };
    const std::array<QDate, 3> shown{first, first.addDays(qint64(days) / 2), series.constLast().day};
    const std::array<Qt::Alignment, 3> aligned{Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (size_t i = 0; i < shown.size(); ++i) {
        const double at = x(shown[i]);
        const QRectF box(at - (i == 0 ? 0 : i == 1 ? 40 : 80), plot.bottom() + 4, 80, metrics.height());
        painter.drawText(box, aligned[i] | Qt::AlignTop, locale.toString(shown[i], QStringLiteral("dd.MM.yy")));
    }
    painter.setPen(QPen(ink, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

    QPainterPath path(QPointF(x(first), y(series.constFirst().rate)));
    for (const ReferenceRates::Point &point : series)
        path.lineTo(x(point.day), y(point.rate));
    painter.setPen(QPen(line, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    return image;
}

} // namespace RateChart
