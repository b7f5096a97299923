#include "widgets/controls.h"

#include "widgets/classicframe.h"
#include "widgets/linklabel.h"
#include "widgets/resultlabel.h"
#include "widgets/twips.h"
#include "widgets/keyreleaseedit.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace Controls {

namespace {

void whiten(QWidget *widget)
{
    QPalette white = widget->palette();
    white.setColor(QPalette::Window, Qt::white);
    widget->setPalette(white);
    widget->setAutoFillBackground(true);
}

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


// Group captions treat "&" as a shortcut marker; these captions mean the sign itself.
QString literal(const QString &caption)
{
    QString text = caption;
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

QGroupBox *group(QWidget *parent, const QString &name, const QString &caption,
                 int left, int top, int width, int height)
{
    auto *g = new QGroupBox(literal(caption), parent);
    g->setObjectName(name);
    // Without a name of its own a group would be named after the group around it.
    g->setAccessibleName(caption);
    g->setGeometry(Twips::rect(left, top, width, height));
    whiten(g);
    boldTitle(g);
    return g;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text,
              int left, int top, int width, int height)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(Twips::rect(left, top, width, height));
    plain(l);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

ResultLabel *result(QWidget *parent, const QString &name, const QString &text, const QString &accessibleName,
                    int left, int top, int width, int height)
{
    auto *l = new ResultLabel(text, accessibleName, parent);
    l->setObjectName(name);
    l->setGeometry(Twips::rect(left, top, width, height));
    plain(l);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

KeyReleaseEdit *box(QWidget *parent, const QString &name, const QString &text,
                    int left, int top, int width, int height)
{
    auto *b = new KeyReleaseEdit(text, parent);
    b->setObjectName(name);
    b->setGeometry(Twips::rect(left, top, width, height));
    plain(b);
    return b;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text,
                    int left, int top, int width, int height)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(Twips::rect(left, top, width, height));
    plain(b);
    QPalette face = b->palette();
    face.setColor(QPalette::Button, buttonFace);
    b->setPalette(face);
    return b;
}

LinkLabel *link(QWidget *parent, const QString &name, const QString &text,
                int left, int top, int width, int height)
{
    auto *l = new LinkLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(Twips::rect(left, top, width, height));
    plain(l);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setUnderlined(true);
    return l;
}

void plain(QWidget *widget)
{
    setWeight(widget, false);
}

QLabel *picture(QWidget *parent, const QString &name, const QPixmap &pixmap, int left, int top,
                const QString &description)
{
    QLabel *image = label(parent, name, QString(), left, top, 480, 480);
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

QGroupBox *panel(QGroupBox *self, int index, const QString &caption)
{
    self->setObjectName(QStringLiteral("Frame1_%1").arg(index));
    self->setTitle(literal(caption));
    self->setAccessibleName(caption);
    self->setFixedSize(Twips::toPixels(7215), Twips::toPixels(5055));
    whiten(self);
    boldTitle(self);
    return self;
}

} // namespace Controls

