#pragma once

#include <QWebEnginePage>

// The page of every embedded web view. Its content comes over plain HTTP
// from anyone on the path, so it may not put anything over the program: no
// JavaScript alert, confirm or prompt box (each is answered at once, as if
// cancelled), no new windows, no file dialog, and nothing it logs reaches
// the program's output.
class QuietPage final : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit QuietPage(QObject *parent = nullptr);

    // How many JavaScript boxes the page asked for and did not get.
    int refusedDialogs() const { return m_refusedDialogs; }

protected:
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;

private:
    int m_refusedDialogs = 0;
};
