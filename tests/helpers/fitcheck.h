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

} // namespace FitCheck
