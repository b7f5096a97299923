#include "app/resultlabel.h"

#include <QAccessible>

ResultLabel::ResultLabel(const QString &text, const QString &accessibleName, QWidget *parent)
    : QLabel(text, parent)
{
    setAccessibleName(accessibleName);
    setAccessibleDescription(text);
}

void ResultLabel::setResult(const QString &text)
{
    if (text == this->text())
        return;
    setText(text);
    setAccessibleDescription(text);
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}
