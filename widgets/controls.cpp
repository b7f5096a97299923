#include "widgets/controls.h"

#include "widgets/classicframe.h"
#include "widgets/linklabel.h"
#include "widgets/resultlabel.h"
#include "widgets/surface.h"
#include "widgets/twips.h"
#include "widgets/keyreleaseedit.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace Controls {

namespace {

// Fonts that set only the weight; family and size still come from the window.
void setWeight(QWidget *widget, bool bold)
{
    QFont weight;
    weight.setBold(bold);
    widget->setFont(weight);
}

void boldTitle(QGroupBox *group)
{
    setWeight(group, true);
    ClassicFrame::apply(group);
}


// Names `control` and puts it at `place`.
template <typename Control>
Control *placed(Control *control, const QString &name, const TwipsRect &place)
{
    control->setObjectName(name);
    control->setGeometry(Twips::rect(place));
    return control;
}

// Group captions treat "&" as a shortcut marker; these captions mean the sign itself.
QString literal(const QString &caption)
{
    QString text = caption;
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

QGroupBox *group(QWidget *parent, const QString &name, const QString &caption, const TwipsRect &place)
{
    auto *g = placed(new QGroupBox(literal(caption), parent), name, place);
    // Without a name of its own a group would be named after the group around it.
    g->setAccessibleName(caption);
    whiteSurface(g);
    boldTitle(g);
    return g;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place)
{
    auto *l = placed(new QLabel(text, parent), name, place);
    plain(l);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

ResultLabel *result(QWidget *parent, const QString &name, const QString &text, const QString &accessibleName,
                    const TwipsRect &place)
{
    auto *l = placed(new ResultLabel(text, accessibleName, parent), name, place);
    plain(l);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

KeyReleaseEdit *box(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place)
{
    auto *b = placed(new KeyReleaseEdit(text, parent), name, place);
    plain(b);
    return b;
}

KeyReleaseEdit *labelledBox(QWidget *parent, const LabelledBox &b)
{
    constexpr int boxHeight = 315;
    // Puts the label's text level with the text of the box.
    constexpr int labelDrop = 60;
    constexpr int labelHeight = 255;
    label(parent, b.label, b.caption, {b.labelLeft, b.top + labelDrop, b.labelWidth, labelHeight});
    KeyReleaseEdit *edit = box(parent, b.name, b.text, {b.left, b.top, b.width, boxHeight});
    edit->setAccessibleName(b.spoken);
    return edit;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place)
{
    auto *b = placed(new QPushButton(text, parent), name, place);
    plain(b);
    Surface::fix(b, QPalette::Button, buttonFace, QPalette::ButtonText);
    return b;
}

LinkLabel *link(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place)
{
    auto *l = placed(new LinkLabel(text, parent), name, place);
    plain(l);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setUnderlined(true);
    return l;
}

QFont programFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    return font;
}

void whiteSurface(QWidget *widget)
{
    Surface::fix(widget, QPalette::Window, Qt::white, QPalette::WindowText);
    widget->setAutoFillBackground(true);
}

void plain(QWidget *widget)
{
    setWeight(widget, false);
}

QLabel *picture(QWidget *parent, const QString &name, const QPixmap &pixmap, int left, int top,
                const QString &description)
{
    QLabel *image = label(parent, name, QString(), {left, top, 480, 480});
    image->setPixmap(pixmap);
    image->setAccessibleName(description);
    return image;
}

void tabOrder(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void focusFirst(QWidget *container)
{
    for (QWidget *w = container->nextInFocusChain(); w != container; w = w->nextInFocusChain()) {
        if (container->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

QGroupBox *panel(QGroupBox *self, int index, const QString &caption)
{
    self->setObjectName(QStringLiteral("Frame1_%1").arg(index));
    self->setTitle(literal(caption));
    self->setAccessibleName(caption);
    self->setFixedSize(Twips::toPixels(7215), Twips::toPixels(5055));
    whiteSurface(self);
    boldTitle(self);
    return self;
}

} // namespace Controls

