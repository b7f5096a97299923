#include "widgets/keyreleaseedit.h"

#include <QKeyEvent>

void KeyReleaseEdit::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    emit keyReleased(event->key(), int(event->modifiers()));
}
