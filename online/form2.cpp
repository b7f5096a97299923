#include "online/form2.h"

Form2::Form2(QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("Form2"));
}

void Form2::update()
{
    m_updating = true;
    m_owner->setEnabled(false);
    emit retrievalRequested();
}

void Form2::retrievalFinished()
{
    hide();
    if (!m_updating)
        return;
    m_updating = false;
    m_owner->setEnabled(true);
    m_owner->activateWindow();
    m_owner->setFocus();
    emit updateFinished();
}

void Form2::showCentered()
{
    show();
}
