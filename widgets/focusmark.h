#pragma once

class QWidget;

// A dotted focus rectangle around `target`, shown while it has the keyboard
// focus, for controls whose style shows none (the links, the tip slider, the
// web views).
// It stands one pixel outside the target, on the target's parent.
namespace FocusMark {

void attach(QWidget *target);

} // namespace FocusMark
