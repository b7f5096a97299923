#include "widgets/keyreleaseedit.h"

#include <QKeyEvent>

void KeyReleaseEdit::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    // The release of the Tab that brought the focus here belongs to the box
    // it came from, and a held key sends releases of its own while it
    // repeats: neither is a key released in this box.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab || event->isAutoRepeat())
        return;
    emit keyReleased();
}
