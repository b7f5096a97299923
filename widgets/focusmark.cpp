#include "widgets/focusmark.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace FocusMark {

namespace {

class Mark final : public QWidget
{
public:
    explicit Mark(QWidget *target)
        : QWidget(target->parentWidget())
        , m_target(target)
    {
        setObjectName(QString());
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
        target->installEventFilter(this);
        // A web view has the focus through its page, which gets the focus events.
        connect(qApp, &QApplication::focusChanged, this, &Mark::follow);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            follow();
            break;
        default:
            break;
        }
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    void follow()
    {
        setGeometry(m_target->geometry().adjusted(-1, -1, 1, 1));
        // Only the ring is the mark's: a page drawn by its engine below stays as it is.
        setMask(QRegion(rect()).subtracted(QRegion(rect().adjusted(1, 1, -1, -1))));
        const bool shown = m_target->hasFocus() && m_target->isVisible();
        setVisible(shown);
        if (shown)
            raise();
    }

    QWidget *m_target;
};

} // namespace

void attach(QWidget *target)
{
    if (target->parentWidget())
        new Mark(target);
}

} // namespace FocusMark
