#include "panels/quietpage.h"

#include "widgets/url.h"

#include <QAction>
#include <QAuthenticator>
#include <QPointer>
#include <QTimer>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <utility>

namespace {

bool isWeb(const QUrl &url)
{
    return url.scheme() == u"http" || url.scheme() == u"https";
}

} // namespace

QuietPage::QuietPage(QObject *parent)
    : QWebEnginePage(parent)
{
    // No address of another scheme (smb:, mailto:, a handler's own) goes to
    // the desktop's handlers, clicked or not.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // A page that asks for a password gets none: the challenge is cancelled
    // once and the page shows what the server sent with it.
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [](const QUrl &, QAuthenticator *authenticator) { *authenticator = QAuthenticator(); });
    connect(this, &QWebEnginePage::newWindowRequested, this, &QuietPage::openNewWindowInBrowser);
    connect(this, &QWebEnginePage::renderProcessTerminated, this, &QuietPage::comeBack);
    connect(this, &QWebEnginePage::urlChanged, this, &QuietPage::stayOnTheWeb);
    for (const WebAction move : {Back, Forward})
        connect(action(move), &QAction::triggered, this, [this] { m_userMoved = true; });
    m_clock.start();
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

bool QuietPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // Frames inside a page may also hold an empty or inline document.
    const bool inPage = !isMainFrame && (url.scheme() == u"about" || url.scheme() == u"data");
    return (isWeb(url) || inPage) && QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

// A window the user asked for with a click (a link to a new window, a
// window.open from a click handler) opens in the browser, as the program's
// other links do; one a script asks for on its own opens nothing.
void QuietPage::openNewWindowInBrowser(const QWebEngineNewWindowRequest &request)
{
    const QUrl url = request.requestedUrl();
    if (!request.isUserInitiated() || !isWeb(url))
        return;
    // Out of the web engine's call first: a missing browser shows a message box.
    QTimer::singleShot(0, this, [this, address = QString::fromUtf8(url.toEncoded())] {
        openurl(QWebEngineView::forPage(this), address);
    });
}

// A renderer killed or crashed leaves the view blank: load the page again,
// but not over and over for a page that kills its renderer every time.
void QuietPage::comeBack(RenderProcessTerminationStatus status)
{
    if (status != NormalTerminationStatus && m_reloads.admit(m_clock.elapsed()))
        QTimer::singleShot(0, this, [this] { triggerAction(Reload); });
}

// A script that empties the main frame leaves the view blank: load the last
// web address again, within the same bound. The user's own Back or Forward
// is left alone.
void QuietPage::stayOnTheWeb(const QUrl &url)
{
    const bool userMoved = std::exchange(m_userMoved, false);
    if (isWeb(url))
        m_lastWeb = url;
    else if (url.scheme() == u"about" && !userMoved && m_lastWeb.isValid() && m_reloads.admit(m_clock.elapsed()))
        QTimer::singleShot(0, this, [this] { load(m_lastWeb); });
}
