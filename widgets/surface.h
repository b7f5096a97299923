#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// Surfaces whose colour the program fixes (the white window, groups and
// panels, the light blue button face, a red box) and the text on them.
namespace Surface {

// Contrast between two colours as for readable text: 1 (the same) to 21
// (black on white), from their relative luminances.
double contrast(const QColor &a, const QColor &b);

// The least contrast for text that reads well.
inline constexpr double readable = 4.5;

// Gives `widget` (and the children that take its colours) `colour` in
// `surface` and text colours in `text` that read on it: the desktop's own
// where they do, as under light themes, else black (grey when disabled), as
// under dark themes. Both are the widget's own, so they stay together when
// the desktop's colours change while the program runs.
void fix(QWidget *widget, QPalette::ColorRole surface, const QColor &colour, QPalette::ColorRole text);

} // namespace Surface
