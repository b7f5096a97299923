#include "widgets/resultlabel.h"

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
    // Also announces the change to screen readers (DescriptionChanged).
    setAccessibleDescription(text);
}
