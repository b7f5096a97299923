#pragma once

#include <QLineEdit>

// A one-line box that reports every key release while it has the focus,
// whether or not the text changed (arrow keys, Shift and Tab included),
// except those a held key repeats. Text put in by the program reports nothing.
// Text the program writes into a box the user is not in shows from its
// start, as a long result would otherwise show only its last digits; the
// box the user types into keeps the user's cursor.
class KeyReleaseEdit final : public QLineEdit
{
    Q_OBJECT

public:
    explicit KeyReleaseEdit(const QString &text, QWidget *parent = nullptr);
    explicit KeyReleaseEdit(QWidget *parent = nullptr);

signals:
    void keyReleased();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    bool m_edited = false; // the text change under way is the user's
};
