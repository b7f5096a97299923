// The floor for the start-up and memory benchmarks: the least a program
// doing our start-up work can do. One window of the main window's size
// holding three web views that load the program's three pages from one
// renderer, in the program's order (vocabulary and links in two views that
// are not shown, as panels in the background are, then the banner); shown
// once the banner page has finished loading (at most 5 s later), the same
// rule the main window follows. On its first
// activation it disables itself, puts up a small frameless window and fetches
// the rate line and the chart from the service, one after the other, then
// hides that window and is enabled again: ready.
//
//   kartavio_floor http://HOST
#include <QApplication>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

namespace {

class Floor final : public QWidget
{
public:
    explicit Floor(const QString &site)
        : m_site(site)
    {
        setWindowTitle(QStringLiteral("Kartavio floor"));
        setFixedSize(638, 456);
        m_wait.setWindowTitle(QStringLiteral("Floor wait"));
        m_wait.setFixedSize(353, 81);
        new QLabel(QStringLiteral("Bitte warten"), &m_wait);
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
            QTimer::singleShot(0, this, [this] { firstActivation(); });
        return QWidget::event(event);
    }

private:
    void firstActivation()
    {
        if (m_started)
            return;
        m_started = true;
        setEnabled(false);
        m_wait.move(frameGeometry().center() - m_wait.rect().center());
        m_wait.show();
        fetch(QStringLiteral("/kartavio/_tools/eur.cgi"), [this] {
            fetch(QStringLiteral("/kartavio/_tools/eurchart.gif"), [this] {
                m_wait.hide();
                setEnabled(true);
                activateWindow();
            });
        });
    }

    template <typename Then>
    void fetch(const QString &path, Then then)
    {
        QNetworkRequest request(QUrl(m_site + path));
        request.setTransferTimeout(10000);
        QNetworkReply *reply = m_network.get(request);
        connect(reply, &QNetworkReply::finished, this, [reply, then] {
            reply->readAll();
            reply->deleteLater();
            then();
        });
    }

    QString m_site;
    QNetworkAccessManager m_network;
    QWidget m_wait{nullptr, Qt::Tool | Qt::FramelessWindowHint};
    bool m_started = false;
};

} // namespace

int main(int argc, char *argv[])
{
    // One renderer process for the one site, as the program has.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", QByteArray(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --process-per-site"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (app.arguments().size() < 2)
        return 2;
    const QString site = app.arguments().at(1);

    Floor window(site);
    auto *background = new QWidget(&window);
    background->hide();
    auto *vocabulary = new QWebEngineView(background);
    auto *links = new QWebEngineView(background);
    // The size of the program's page panels: the pages are laid out at it.
    vocabulary->setGeometry(8, 16, 465, 313);
    links->setGeometry(8, 16, 465, 313);
    auto *banner = new QWebEngineView(&window);
    banner->setGeometry(1, 349, 633, 105);
    QObject::connect(banner, &QWebEngineView::loadFinished, &window, &QWidget::show);
    QTimer::singleShot(5000, Qt::PreciseTimer, &window, &QWidget::show);
    vocabulary->load(QUrl(site + QStringLiteral("/_tools/wortschatz")));
    links->load(QUrl(site + QStringLiteral("/_tools/links")));
    banner->load(QUrl(site + QStringLiteral("/_tools")));
    return app.exec();
}
