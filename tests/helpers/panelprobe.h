#pragma once

#include <QStringList>
#include <Qt>

class QLineEdit;
class QWidget;

// Shared steps of the calculator panel tests.
namespace PanelProbe {

// The keys of the settings section, sorted, read through a QSettings of their own.
QStringList storedKeys();

// Puts text in the box and releases a key in it, as typing does.
void type(QLineEdit *box, const QString &text, Qt::Key key = Qt::Key_0);

} // namespace PanelProbe
