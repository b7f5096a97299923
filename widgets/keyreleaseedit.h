#pragma once

#include <QLineEdit>

// A one-line box that reports every key release while it has the focus,
// whether or not the text changed (arrow keys, Shift and Tab included),
// except those a held key repeats. Text put in by the program reports nothing.
class KeyReleaseEdit final : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

signals:
    void keyReleased();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
};
