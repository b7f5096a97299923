#pragma once

class QGroupBox;

// Group boxes drawn as the layout's classic frames: an etched line whose top
// edge runs through the middle of the bold caption, the caption standing on
// the box's own background so that it interrupts the line, and the contents
// starting below the caption. The controls' twips positions count from the
// group's top-left corner and were made for this shape.
namespace ClassicFrame {

void apply(QGroupBox *group);

} // namespace ClassicFrame
