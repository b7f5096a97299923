#include "helpers/fitcheck.h"

#include "widgets/controls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace FitCheck {

void useAppFont()
{
    QApplication::setFont(Controls::programFont());
}

namespace {

QString describe(const QWidget *widget, const QString &reason)
{
    return widget->objectName() % u": " % reason;
}

// Empty when the text fits on one line in `room` pixels, else what it needs.
QString oneLine(const QWidget *widget, const QString &text, int room)
{
    const QFontMetrics metrics(widget->font());
    const QSize needed(metrics.horizontalAdvance(text), metrics.height());
    if (needed.width() <= room && needed.height() <= widget->height())
        return {};
    return QStringLiteral("needs %1 x %2 px, has %3 x %4").arg(needed.width()).arg(needed.height())
            .arg(room).arg(widget->height());
}

} // namespace

QStringList problems(const QWidget *root)
{
    QStringList found;
    const auto children = root->findChildren<const QWidget *>();
    for (const QWidget *widget : children) {
        if (widget->objectName().isEmpty() || widget->objectName().startsWith(u"qt_"))
            continue;
        if (const QWidget *parent = widget->parentWidget(); !parent->rect().contains(widget->geometry()))
            found << describe(widget, QStringLiteral("outside its parent"));

        if (const auto *label = qobject_cast<const QLabel *>(widget); label && !label->text().isEmpty()) {
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height())
                    found << describe(label, QStringLiteral("wrapped text needs %1 px height, has %2")
                                                     .arg(label->heightForWidth(label->width()))
                                                     .arg(label->height()));
            } else if (const QString cut = oneLine(label, label->text(), label->contentsRect().width());
                       !cut.isEmpty()) {
                found << describe(label, cut);
            }
        } else if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
            if (const QString cut = oneLine(button, button->text(), button->width() - 8); !cut.isEmpty())
                found << describe(button, cut);
        } else if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
            if (const QString cut = oneLine(edit, edit->text(), edit->width() - 6); !cut.isEmpty())
                found << describe(edit, cut);
        } else if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
            QFont bold = group->font();
            bold.setBold(true);
            if (QFontMetrics(bold).horizontalAdvance(group->title()) > group->width() - 16)
                found << describe(group, QStringLiteral("caption cut off"));
        }
    }
    return found;
}

} // namespace FitCheck
