#pragma once

#include <QPixmap>

// The program's pictures, drawn in code so that they stay sharp at any
// device pixel ratio. Sizes are in device-independent pixels.
namespace Pictures {

// A transparent pixmap of `width` x `height` logical pixels at the screen's ratio,
// to draw a picture on.
QPixmap canvas(int width, int height);

QPixmap logo();          // 88 x 31, the product logo of Image9
QPixmap globe();         // 32 x 32, the Americas on a globe
QPixmap arrow();         // 32 x 32, a blue triangle with a white zig-zag arrow
QPixmap frowningFace();  // 32 x 32
QPixmap smilingFace();   // 32 x 32
QPixmap thermometer();   // 32 x 32
QPixmap flag();          // 32 x 32, stars and stripes

} // namespace Pictures
