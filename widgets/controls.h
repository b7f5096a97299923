#pragma once

#include "widgets/twips.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <initializer_list>

class KeyReleaseEdit;
class LinkLabel;
class QGroupBox;
class QLabel;
class QPixmap;
class QPushButton;
class QWidget;
class ResultLabel;

// Builders for the controls of the fixed layout. Each takes its place in
// twips, relative to the parent's top-left corner (a group's caption included);
// every control gets its name as objectName, which the settings store uses.
namespace Controls {

// The face of the program's buttons.
inline const QColor buttonFace{192, 192, 255};

// The program's font: the layout was made for a narrow 11 px sans serif.
QFont programFont();

// A white background with text that reads on it, whatever the desktop's colours.
void whiteSurface(QWidget *widget);

// A white group box with a bold caption.
QGroupBox *group(QWidget *parent, const QString &name, const QString &caption, const TwipsRect &place);

QLabel *label(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place);

// A label the program rewrites with a result; `accessibleName` says what it shows.
ResultLabel *result(QWidget *parent, const QString &name, const QString &text, const QString &accessibleName,
                    const TwipsRect &place);

KeyReleaseEdit *box(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place);

// A box one line high at `left`, `top`, and beside it the label that names
// it, at `labelLeft`, its text level with the box's; `spoken` is the box's
// name for screen readers.
struct LabelledBox
{
    QString name;
    QString text;
    QString spoken;
    QString label;
    QString caption;
    int left = 0;
    int top = 0;
    int width = 0;
    int labelLeft = 0;
    int labelWidth = 0;
};
KeyReleaseEdit *labelledBox(QWidget *parent, const LabelledBox &box);

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place);

// Blue, underlined, centred link text.
LinkLabel *link(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place);

// A 32 x 32 picture (480 x 480 twips) without behaviour; `description`
// is what a screen reader says for it (none: the picture is decoration).
QLabel *picture(QWidget *parent, const QString &name, const QPixmap &pixmap, int left, int top,
                const QString &description = {});

// Makes Tab visit `widgets` in the given order (the visual one).
void tabOrder(std::initializer_list<QWidget *> widgets);

// Gives the focus to the first control Tab reaches inside `container`, as
// Tab gives it (a web view hands it on to the first link of its page).
void focusFirst(QWidget *container);

// Normal weight for a control built by hand inside a group with a bold caption.
void plain(QWidget *widget);

// A panel of the panel area: a white group box of 7215 x 5055 twips.
QGroupBox *panel(QGroupBox *self, int index, const QString &caption);

} // namespace Controls
