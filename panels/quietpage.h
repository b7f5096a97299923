#pragma once

#include <QElapsedTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <array>

class QWebEngineNewWindowRequest;

// The reloads after a dead renderer or an emptied page: at most maxReloads
// within windowMs, so that a page that kills its renderer or empties itself
// every time is not loaded for ever.
class ReloadBound final
{
public:
    static constexpr int maxReloads = 3;
    static constexpr qint64 windowMs = 60 * 1000;

    ReloadBound() { m_reloads.fill(-windowMs); }

    // Whether a reload at `nowMs` stays within the bound; counted if so.
    bool admit(qint64 nowMs)
    {
        qint64 &oldest = m_reloads[m_next];
        if (nowMs - oldest < windowMs)
            return false;
        oldest = nowMs;
        m_next = (m_next + 1) % m_reloads.size();
        return true;
    }

private:
    // When the last reloads were made, the oldest at m_next.
    std::array<qint64, maxReloads> m_reloads{};
    size_t m_next = 0;
};

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

    int m_refusedDialogs = 0;
    QElapsedTimer m_clock;
    ReloadBound m_reloads; // times on m_clock
    QUrl m_lastWeb;           // the last http or https address shown
    bool m_userMoved = false; // Back or Forward chosen in the menu
};
