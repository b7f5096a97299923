#include "widgets/linklabel.h"

#include "widgets/focusmark.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// Screen readers present a link label as a link that can be pressed.
class LinkAccessible final : public QAccessibleWidget
{
public:
    explicit LinkAccessible(LinkLabel *label)
        : QAccessibleWidget(label, QAccessible::Link)
    {
    }

    QStringList actionNames() const override
    {
        QStringList names{pressAction()};
        names += QAccessibleWidget::actionNames();
        return names;
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            emit static_cast<LinkLabel *>(widget())->clicked();
        else
            QAccessibleWidget::doAction(actionName);
    }
};

QAccessibleInterface *linkAccessible(const QString &className, QObject *object)
{
    if (className == u"LinkLabel" && object && object->isWidgetType())
        return new LinkAccessible(static_cast<LinkLabel *>(object));
    return nullptr;
}

} // namespace

LinkLabel::LinkLabel(const QString &text, QWidget *parent)
    : QLabel(parent)
{
    // Before anything announces this label: a screen reader that asks then
    // keeps the answer for the label's whole life.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(linkAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setText(text);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(blue);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(text);
    FocusMark::attach(this);
}

bool LinkLabel::isUnderlined() const
{
    return font().underline();
}

void LinkLabel::setUnderlined(bool underlined)
{
    if (isUnderlined() == underlined)
        return;
    QFont f = font();
    f.setUnderline(underlined);
    setFont(f);
}

// Taking the press makes the release come here too.
void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

void LinkLabel::mouseMoveEvent(QMouseEvent *event)
{
    emit hovered();
    event->accept();
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked();
        event->accept();
        break;
    default:
        QLabel::keyPressEvent(event);
    }
}
