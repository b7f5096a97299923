#include "app/form3.h"
#include "app/germantexts.h"
#include "widgets/linklabel.h"
#include "app/navigation.h"
#include "widgets/twips.h"
#include "helpers/fitcheck.h"
#include "helpers/testenv.h"
#include "standin/httpserver.h"
#include "helpers/windowstart.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QGroupBox>
#include <QDesktopServices>
#include <QTest>
#include <QSet>
#include <QSignalSpy>
#include <QWebEngineView>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QList<int> panelIndexes = {0, 1, 3, 4, 5, 6, 10, 11, 12};

} // namespace

// The main window: layout, navigation through real clicks, hover underline,
// fixed size, and the start-up wait for the banner.
class TestForm3 final : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_opened.append(url.toString()); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void startsAgainstSite();
    void startsWithUnreachableSite();
    void controlsAndPlaces();
    void titleOnTheDesktop();
    void germanContextMenus();
    void positions_data();
    void positions();
    void linkTable_data();
    void linkTable();
    void portalLinksKeepPanel_data();
    void portalLinksKeepPanel();
    void logoOpensSiteRoot();
    void hoverUnderline();
    void pagesComeBackAfterRendererDies();
    void fixedSize();

private:
    LinkLabel *link(int index) const { return m_window->findChild<LinkLabel *>(u"Label5_%1"_s.arg(index)); }

    StandIn::HttpServer *m_site = nullptr;
    std::unique_ptr<Form3> m_window;
    QStringList m_opened;
};

void TestForm3::initTestCase()
{
    m_site = new StandIn::HttpServer(this);
    const QByteArray page = "<!doctype html><meta charset=utf-8><title>Kartavio</title><p>Gute Reise!</p>";
    for (const QString &path : {u"/_tools"_s, u"/_tools/wortschatz"_s, u"/_tools/links"_s})
        m_site->setReply(path, {200, page});
    qputenv("KARTAVIO_SITE_HOST", m_site->hostAndPort().toUtf8());
    qputenv("KARTAVIO_PORTAL_HOST", "portal.test");
    qputenv("KARTAVIO_SERVICE_HOST", "127.0.0.1:1"); // refused at once: the rate stays offline
    QDesktopServices::setUrlHandler(u"http"_s, this, "openUrl");
    QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
}

void TestForm3::cleanupTestCase()
{
    m_window.reset();
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);
}

void TestForm3::startsAgainstSite()
{
    qint64 ms = 0;
    m_window = WindowStart::startAndActivate(&ms);
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    qInfo("start to shown window, stand-in site on loopback: %lld ms", ms);
    QCOMPARE(m_window->baseUrl(), u"http://"_s + m_site->hostAndPort() + u'/');
    QVERIFY(m_window->appDir().endsWith(u'/'));
    QVERIFY(!m_window->appDir().endsWith(u"//"));
}

void TestForm3::startsWithUnreachableSite()
{
    const QByteArray site = qgetenv("KARTAVIO_SITE_HOST");
    qputenv("KARTAVIO_SITE_HOST", "127.0.0.1:1");
    qint64 ms = 0;
    auto offline = WindowStart::startAndActivate(&ms);
    qputenv("KARTAVIO_SITE_HOST", site);
    QVERIFY(offline);
    qInfo("start to shown window, no network: %lld ms", ms);
    // Showing never waits for a site that does not answer.
    QVERIFY(ms <= 10000);
    QVERIFY(offline->isEnabled());
}

void TestForm3::controlsAndPlaces()
{
    QCOMPARE(m_window->windowTitle(), u"Kartavio 1.00"_s);
    // Every panel stands at 2280, 120 twips of the window, 7215 x 5055.
    for (int index : panelIndexes) {
        auto *panel = m_window->findChild<QGroupBox *>(u"Frame1_%1"_s.arg(index));
        QVERIFY2(panel, qPrintable(QString::number(index)));
        QCOMPARE(QRect(panel->mapTo(m_window.get(), QPoint(0, 0)), panel->size()), QRect(152, 8, 481, 337));
    }
    QVERIFY(m_window->findChild<QGroupBox *>(u"Frame1_2"_s)); // the group inside panel 1
    // Link 10 has neither a control, nor a panel, nor an address. Links
    // stand left 120 in their group, at their table top; captions fit.
    for (int index = 0; index < Navigation::linkCount; ++index) {
        LinkLabel *l = link(index);
        QCOMPARE(l != nullptr, index != 10);
        if (!l)
            continue;
        QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
        QVERIFY2(l->geometry().right() < l->parentWidget()->width(), qPrintable(l->text()));
    }
    QCOMPARE(link(2)->pos(), QPoint(8, 48));
    QCOMPARE(link(11)->pos(), QPoint(8, 64));
    QVERIFY(!Navigation::panelForLink(10));
    QVERIFY(Navigation::portalPathForLink(10).isEmpty());
    for (const QString &name : {u"AdBrw"_s, u"BrwWort"_s, u"brwLinks"_s})
        QVERIFY(m_window->findChild<QWebEngineView *>(name));
    // "&" in a caption is the sign itself, not a shortcut marker.
    for (const auto &[group, title] : {std::pair{u"Frame2"_s, u"Offline-Tools"_s}, {u"Frame3"_s, u"Web Preisvergleich"_s},
                                       {u"Frame4"_s, u"Online-Tools"_s}, {u"Frame1_5"_s, u"Wörter && Texte übersetzen"_s},
                                       {u"Frame1_10"_s, u"Bus- && Zugverbindungen"_s}})
        QCOMPARE(m_window->findChild<QGroupBox *>(group)->title(), title);
    QVERIFY(m_window->findChild<QGroupBox *>(u"Frame2"_s)->font().bold());
}

// The title as the window system shows it, with no application name added;
// a screen reader finds a window, not a filler.
void TestForm3::titleOnTheDesktop()
{
    const WId id = m_window->winId();
    QCOMPARE(WindowStart::xProperty(id, u"WM_NAME"_s), u"Kartavio 1.00"_s);
    QCOMPARE(WindowStart::xProperty(id, u"_NET_WM_NAME"_s), u"Kartavio 1.00"_s);
    QCOMPARE(QAccessible::queryAccessibleInterface(m_window.get())->role(), QAccessible::Window);
}

// Qt's own menus speak German: a text box's, and an embedded page's, which
// offers only what works in the view.
void TestForm3::germanContextMenus()
{
    auto *box = m_window->findChild<QLineEdit *>(u"txtEur"_s);
    std::unique_ptr<QMenu> boxMenu(box->createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : boxMenu->actions())
        texts << action->text().remove(u'&').section(u'\t', 0, 0); // without the shortcut
    for (const QString &text : {u"Rückgängig"_s, u"Ausschneiden"_s, u"Kopieren"_s, u"Einfügen"_s, u"Alles auswählen"_s})
        QVERIFY2(texts.contains(text), qPrintable(texts.join(u", ")));

    // A right click on the banner, through the X server as a user's would be.
    QWebEngineView *banner = m_window->findChild<QWebEngineView *>(u"AdBrw"_s);
    const QPoint inside = banner->mapToGlobal(QPoint(banner->width() / 2, banner->height() / 2));
    QMenu *pageMenu = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        QProcess::execute(u"xdotool"_s, {u"mousemove"_s, QString::number(inside.x()), QString::number(inside.y()),
                                         u"click"_s, u"3"_s});
        QTest::qWait(200);
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *menu = qobject_cast<QMenu *>(widget); menu && menu->isVisible())
                pageMenu = menu;
        }
        return pageMenu != nullptr;
    }, 10000);
    QVERIFY(shown);
    texts.clear();
    for (const QAction *action : pageMenu->actions()) {
        if (!action->isSeparator())
            texts << action->text().remove(u'&');
    }
    pageMenu->close();
    QVERIFY2(texts.contains(u"Zurück"_s) && texts.contains(u"Neu laden"_s), qPrintable(texts.join(u", ")));
    QVERIFY2(!texts.contains(u"Seite speichern"_s) && !texts.contains(u"Quelltext der Seite anzeigen"_s),
             qPrintable(texts.join(u", ")));
    for (const QString &text : std::as_const(texts))
        QVERIFY2(!text.contains(u"Save"_s) && !text.contains(u"Reload"_s), qPrintable(text));
}

// Places in pixels, 15 twips each.
void TestForm3::positions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");

    QTest::newRow("Frame2") << u"Frame2"_s << QRect(8, 8, 129, 105);
    QTest::newRow("Frame3") << u"Frame3"_s << QRect(8, 120, 129, 73);
    QTest::newRow("Frame4") << u"Frame4"_s << QRect(8, 200, 129, 89);
    QTest::newRow("Image9") << u"Image9"_s << QRect(24, 304, 88, 31);
    QTest::newRow("AdBrw") << u"AdBrw"_s << QRect(2, 349, 633, 105);
    QTest::newRow("Shape1") << u"Shape1"_s << QRect(0, 0, 145, 345);
    QTest::newRow("BrwWort") << u"BrwWort"_s << QRect(8, 16, 465, 313);
    QTest::newRow("brwLinks") << u"brwLinks"_s << QRect(8, 16, 465, 313);
}

void TestForm3::positions()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    auto *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), place);
}

void TestForm3::linkTable_data()
{
    QTest::addColumn<int>("link");
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("first"); // the control Enter on the link puts the focus in

    QTest::newRow("Benzin") << 1 << 1 << u"txtGalPrice"_s;
    QTest::newRow("Weitere Umrechnungen") << 2 << 3 << u"txtCelsius"_s;
    QTest::newRow("Zoll & Freigrenzen") << 3 << 4 << u"txtR"_s;
    QTest::newRow("Übersetzen") << 4 << 5 << u"txtTrans"_s;
    QTest::newRow("Nützliche Weblinks") << 5 << 6 << u"brwLinks"_s;
    QTest::newRow("Bus & Zugverbindungen") << 9 << 10 << u"Label40"_s;
    QTest::newRow("Wortschatz") << 11 << 12 << u"BrwWort"_s;
    QTest::newRow("Trinkgeldrechner") << 12 << 11 << u"scrTrinkgeld"_s;
    QTest::newRow("Währungsumrechnung") << 0 << 0 << u"txtEur"_s;
    QTest::newRow("same link again") << 0 << 0 << u"txtEur"_s;
}

void TestForm3::linkTable()
{
    QFETCH(int, link);
    QFETCH(int, panel);
    QFETCH(QString, first);
    m_opened.clear();
    QTest::mouseClick(this->link(link), Qt::LeftButton);
    QCOMPARE(WindowStart::frontPanel(m_window.get()), panel);
    QVERIFY(m_window->findChild<QWidget *>(u"Frame1_%1"_s.arg(panel))->isVisible());
    QVERIFY(m_opened.isEmpty());
    // Opened with the keyboard, the focus goes along, into a web panel's page.
    this->link(link)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(this->link(link), Qt::Key_Return);
    QWidget *owner = FitCheck::focusOwner();
    QCOMPARE(owner ? owner->objectName() : QString(), first);
    // Where the style marks no focus (slider, link, page), a ring shows it.
    if (!qobject_cast<QLineEdit *>(owner) && !qobject_cast<QPlainTextEdit *>(owner))
        QTRY_VERIFY(FitCheck::focusRingDrawn(owner));
}

void TestForm3::portalLinksKeepPanel_data()
{
    QTest::addColumn<int>("link");
    QTest::addColumn<QString>("address");

    QTest::newRow("Mietwagen") << 6 << u"http://portal.test/mietwagen?s=t"_s;
    QTest::newRow("Flüge") << 7 << u"http://portal.test/flug-preisvergleich?s=t"_s;
    QTest::newRow("Unterkunft") << 8 << u"http://portal.test/hotels?s=t"_s;
}

void TestForm3::portalLinksKeepPanel()
{
    QFETCH(int, link);
    QFETCH(QString, address);
    QTest::mouseClick(this->link(1), Qt::LeftButton);
    m_opened.clear();
    QTest::mouseClick(this->link(link), Qt::LeftButton);
    QCOMPARE(m_opened, QStringList{address});
    QCOMPARE(WindowStart::frontPanel(m_window.get()), 1);
}

void TestForm3::logoOpensSiteRoot()
{
    m_opened.clear();
    QTest::mouseClick(m_window->findChild<QWidget *>(u"Image9"_s), Qt::LeftButton);
    QCOMPARE(m_opened, QStringList{u"http://"_s + m_site->hostAndPort()});
}

void TestForm3::hoverUnderline()
{
    auto underlined = [this] {
        QList<int> on;
        for (int index = 0; index < Navigation::linkCount; ++index) {
            if (link(index) && link(index)->isUnderlined())
                on.append(index);
        }
        return on;
    };
    QTest::mouseMove(link(1), QPoint(5, 5));
    QTRY_COMPARE(underlined(), QList<int>{1});
    QTest::mouseMove(link(3), QPoint(5, 5));
    QTRY_COMPARE(underlined(), QList<int>{3});
    // Onto the empty part of the "Offline-Tools" group.
    auto *frame2 = m_window->findChild<QWidget *>(u"Frame2"_s);
    QTest::mouseMove(frame2, QPoint(frame2->width() - 5, frame2->height() - 5));
    QTRY_COMPARE(underlined(), QList<int>{});
    QTest::mouseMove(link(11), QPoint(5, 5));
    QTRY_COMPARE(underlined(), QList<int>{11});
    // Onto the window's own background, between the column and the banner.
    QTest::mouseMove(m_window.get(), QPoint(Twips::toPixels(2200), Twips::toPixels(5200)));
    QTRY_COMPARE(underlined(), QList<int>{});
}

// The three pages share a renderer process; when it is killed, all three
// are loaded again.
void TestForm3::pagesComeBackAfterRendererDies()
{
    QList<QWebEngineView *> views;
    QList<std::shared_ptr<QSignalSpy>> loads;
    QSet<qint64> renderers;
    for (const QString &name : {u"BrwWort"_s, u"brwLinks"_s, u"AdBrw"_s}) {
        views << m_window->findChild<QWebEngineView *>(name);
        loads << std::make_shared<QSignalSpy>(views.last(), &QWebEngineView::loadFinished);
        QTRY_VERIFY(views.last()->page()->renderProcessPid() > 0);
        renderers << views.last()->page()->renderProcessPid();
    }
    m_site->clearRequests();
    for (const qint64 pid : std::as_const(renderers))
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    for (int i = 0; i < views.size(); ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(!loads[i]->isEmpty() && loads[i]->last().constFirst().toBool(), 10000);
        QVERIFY(!renderers.contains(views[i]->page()->renderProcessPid()));
    }
    for (const QString &path : {u"/_tools/wortschatz"_s, u"/_tools/links"_s, u"/_tools"_s})
        QCOMPARE(m_site->requestCount(path), 1);
}

void TestForm3::fixedSize()
{
    const QSize fixed = m_window->size();
    m_window->resize(900, 700);
    QCOMPARE(m_window->size(), fixed);
    m_window->showMinimized();
    QTRY_VERIFY(m_window->isMinimized());
    m_window->showNormal();
    QTRY_VERIFY(!m_window->isMinimized());
    QCOMPARE(m_window->size(), fixed);
    // Every control of the layout fits inside the client area.
    for (const QWidget *child : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        QVERIFY2(m_window->rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
}

int main(int argc, char *argv[])
{
    TestEnv::isolate();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    GermanTexts::install(app); // as the program does
    TestForm3 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_web_form3.moc"
