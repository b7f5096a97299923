#include "panels/quietpage.h"

QuietPage::QuietPage(QObject *parent)
    : QWebEnginePage(parent)
{
}

void QuietPage::javaScriptAlert(const QUrl &, const QString &)
{
    ++m_refusedDialogs;
}

bool QuietPage::javaScriptConfirm(const QUrl &, const QString &)
{
    ++m_refusedDialogs;
    return false;
}

bool QuietPage::javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *)
{
    ++m_refusedDialogs;
    return false;
}

void QuietPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &)
{
}

QWebEnginePage *QuietPage::createWindow(WebWindowType)
{
    return nullptr;
}

QStringList QuietPage::chooseFiles(FileSelectionMode, const QStringList &, const QStringList &)
{
    return {};
}
