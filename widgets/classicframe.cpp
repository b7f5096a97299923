#include "widgets/classicframe.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionGroupBox>

namespace ClassicFrame {

namespace {

// Where the caption starts, and the room around its text.
constexpr int captionLeft = 6;
constexpr int captionPadding = 2;
constexpr QColor shadow{160, 160, 160};

class Style final : public QProxyStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
        if (control != CC_GroupBox || !box)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect all = box->rect;
        const int captionHeight = box->fontMetrics.height();
        switch (part) {
        case SC_GroupBoxLabel: {
            if (box->text.isEmpty())
                return {};
            const int textWidth = box->fontMetrics.size(Qt::TextShowMnemonic, box->text).width();
            return {all.left() + captionLeft, all.top(), textWidth + 2 * captionPadding, captionHeight};
        }
        case SC_GroupBoxFrame:
            return all.adjusted(0, captionHeight / 2, 0, 0);
        case SC_GroupBoxContents:
            return all.adjusted(2, captionHeight, -2, -2);
        case SC_GroupBoxCheckBox:
            return {};
        default:
            return QProxyStyle::subControlRect(control, option, part, widget);
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
        if (control != CC_GroupBox || !box) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect frame = subControlRect(CC_GroupBox, box, SC_GroupBoxFrame, widget);
        const QRect caption = subControlRect(CC_GroupBox, box, SC_GroupBoxLabel, widget);
        painter->save();
        // Etched: a grey line with a white one inside it.
        painter->setPen(shadow);
        painter->drawRect(frame.adjusted(0, 0, -2, -2));
        painter->setPen(Qt::white);
        painter->drawRect(frame.adjusted(1, 1, -1, -1));
        if (caption.isValid()) {
            painter->fillRect(caption, box->palette.window());
            proxy()->drawItemText(painter, caption.adjusted(captionPadding, 0, -captionPadding, 0),
                                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->palette,
                                  box->state.testFlag(State_Enabled), box->text, QPalette::WindowText);
        }
        painter->restore();
    }
};

} // namespace

void apply(QGroupBox *group)
{
    static QPointer<Style> style;
    if (!style) {
        style = new Style;
        style->setParent(QCoreApplication::instance()); // lives as long as the application
    }
    group->setStyle(style);
}

} // namespace ClassicFrame
