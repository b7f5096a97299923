#include "widgets/resultlabel.h"

ResultLabel::ResultLabel(const QString &text, const QString &accessibleName, QWidget *parent)
    : QLabel(parent)
{
    // Results carry text from outside (the rate service's stand text): never
    // read as markup, which could load files or take minutes to lay out.
    setTextFormat(Qt::PlainText);
    setText(text);
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
