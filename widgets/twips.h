#pragma once

#include <QRect>

// The layout is measured in twips; 15 twips make one pixel at 96 dpi.

// A control's place in twips: left and top relative to its parent, then its size.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

namespace Twips {

constexpr int perPixel = 15;

constexpr int toPixels(int twips)
{
    return (twips + perPixel / 2) / perPixel;
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

constexpr QRect rect(const TwipsRect &place)
{
    return rect(place.left, place.top, place.width, place.height);
}

} // namespace Twips
