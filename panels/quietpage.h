#pragma once

#include <QElapsedTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <array>

class QWebEngineNewWindowRequest;

// The page of every embedded web view. Its content comes over plain HTTP
// from anyone on the path, so it may not put anything over the program: no
// JavaScript alert, confirm or prompt box (each is answered at once, as if
// cancelled), no new windows, no file dialog, no password dialog, and
// nothing it logs reaches the program's output. It hands nothing to other
// programs but an http or https address the user asked for with a click,
// and it comes back when its renderer process dies or when a script sends
// it to an empty document (about:blank, about:srcdoc), which the engine
// does without asking acceptNavigationRequest.
class QuietPage final : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit QuietPage(QObject *parent = nullptr);

    // How many JavaScript boxes the page asked for and did not get.
    int refusedDialogs() const { return m_refusedDialogs; }

    // Reloads after a dead renderer or an emptied page, at most this many
    // within reloadWindowMs.
    static constexpr int maxReloads = 3;
    static constexpr qint64 reloadWindowMs = 60 * 1000;

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
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    void openNewWindowInBrowser(const QWebEngineNewWindowRequest &request);
    void comeBack(RenderProcessTerminationStatus status);
    void stayOnTheWeb(const QUrl &url);
    bool mayReload();

    int m_refusedDialogs = 0;
    QElapsedTimer m_clock;
    // When the last reloads were made (ms on m_clock), the oldest at m_nextReload.
    std::array<qint64, maxReloads> m_reloads{};
    size_t m_nextReload = 0;
    QUrl m_lastWeb;          // the last http or https address shown
    bool m_userMoved = false; // Back or Forward chosen in the menu
};
