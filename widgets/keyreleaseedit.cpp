#include "widgets/keyreleaseedit.h"

#include <QKeyEvent>

void KeyReleaseEdit::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    // A held key sends a release with every repeat; only its real release counts.
    // Any other release does, Tab's included: after Tab moved the focus
    // here, its release is a key released in this box.
    if (event->isAutoRepeat())
        return;
    emit keyReleased();
}
