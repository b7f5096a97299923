#include "widgets/surface.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Surface {

namespace {

double luminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

void fix(QWidget *widget, QPalette::ColorRole surface, const QColor &colour, QPalette::ColorRole text)
{
    const QPalette desktop = QApplication::palette(widget);
    const bool desktopReads = contrast(desktop.color(QPalette::Active, text), colour) >= readable;
    // Only these two roles become the widget's own; the others follow the desktop.
    QPalette palette;
    palette.setColor(surface, colour);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QColor ink = desktop.color(group, text);
        if (!desktopReads) {
            // Disabled text halfway between black and the surface.
            ink = group == QPalette::Disabled
                ? QColor::fromRgbF(colour.redF() / 2, colour.greenF() / 2, colour.blueF() / 2)
                : QColor(Qt::black);
        }
        palette.setColor(group, text, ink);
    }
    widget->setPalette(palette);
}

} // namespace Surface
