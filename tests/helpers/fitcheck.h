#pragma once

#include <QStringList>

class QWidget;

// Layout checks for the fixed twips layout.
namespace FitCheck {

// Whether `widget` is one of the program's named controls, not an inner part of a Qt one.
bool isNamed(const QWidget *widget);

// The named control with the keyboard focus (a web view for its page), or null.
QWidget *focusOwner();

// Whether a focus mark is drawn around `control`: dots in the text colour on the row above it.
bool focusRingDrawn(QWidget *control);

// Sets the program's font for the whole application, so that checks measure what users see.
void useAppFont();

// Names of the controls below `root` whose caption or text is cut off, or
// that stick out of their parent, each with a short reason.
QStringList problems(const QWidget *root);

// Controls below `root` whose text (or, for boxes, buttons, lists and
// sliders, whose whole face) a group frame's line touches or crosses, each
// with the frame.
// The lines are found in the frame drawn alone, as straight runs of pixels.
QStringList framesCrossingText(QWidget *root);

// Controls below `root` (and `root` itself) whose visible text (or picture
// drawn for a label's whole box) contrasts less than 4.5:1 with what is behind it, each with
// the contrast found. Measured
// in `root` as drawn: behind is the commonest colour where the text stands,
// the text the colour that stands out most from it.
QStringList lowContrast(QWidget *root);

} // namespace FitCheck
