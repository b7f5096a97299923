#include "widgets/keyreleaseedit.h"

#include <QKeyEvent>

#include <utility>

KeyReleaseEdit::KeyReleaseEdit(const QString &text, QWidget *parent)
    : QLineEdit(text, parent)
{
    // setText leaves the cursor at the end, and the box scrolls to it. An
    // edit by the user reports textEdited just before textChanged.
    connect(this, &QLineEdit::textEdited, this, [this] { m_edited = true; });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!std::exchange(m_edited, false))
            setCursorPosition(0);
    });
    setCursorPosition(0); // the laid-out text as well
}

KeyReleaseEdit::KeyReleaseEdit(QWidget *parent)
    : KeyReleaseEdit(QString(), parent)
{
}

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
