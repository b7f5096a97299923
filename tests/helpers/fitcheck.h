#pragma once

#include <QStringList>

class QWidget;

// Layout checks for the fixed twips layout.
namespace FitCheck {

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

} // namespace FitCheck
