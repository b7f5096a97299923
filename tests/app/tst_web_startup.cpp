#include "app/firstactivation.h"
#include "app/form2.h"
#include "app/form3.h"
#include "helpers/fitcheck.h"
#include "helpers/testenv.h"
#include "helpers/windowstart.h"
#include "widgets/linklabel.h"
#include "standin/httpserver.h"
#include "standin/site.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// Start-up against a loopback site and rate service: the three pages and the
// wait for the banner, what an empty store starts with, the focus and the
// please-wait window's place.
class TestStartup final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void shownOnceBannerIsServed_data();
    void shownOnceBannerIsServed();
    void firstRunWithEmptyStore_data();
    void firstRunWithEmptyStore();
    void firstTabReachesFirstLink();
    void pleaseWaitCentredOnPlacedWindow();

private:
    QString text(const QString &box) const { return m_window->findChild<QLineEdit *>(box)->text(); }
    QString caption(const QString &label) const { return m_window->findChild<QLabel *>(label)->text(); }

    StandIn::HttpServer *m_server = nullptr;
    std::unique_ptr<Form3> m_window;
};

void TestStartup::initTestCase()
{
    m_server = new StandIn::HttpServer(this);
    WindowStart::pointHostsAt(*m_server);
    m_server->setReply(u"/kartavio/_tools/eur.cgi"_s, {200, "1.2345|05.12.2026|", "text/plain"});
    m_server->setReply(u"/kartavio/_tools/eurchart.gif"_s, {200, TestEnv::onePixelGif(), "image/gif"});
}

void TestStartup::init()
{
    m_window.reset();
    TestEnv::clearSettings();
    QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).removeRecursively();
    m_server->clearRequests();
}

void TestStartup::shownOnceBannerIsServed_data()
{
    QTest::addColumn<StandIn::HttpServer::Delivery>("banner");
    QTest::addColumn<int>("earliestMs");

    QTest::newRow("banner served late") << StandIn::HttpServer::Delivery::Late << StandIn::HttpServer::lateMs;
    // The wait has a bound: a banner that never comes does not keep the window away.
    QTest::newRow("banner never served") << StandIn::HttpServer::Delivery::Silent << 5000;
}

// All three pages are asked for before the window shows, and it shows only
// when the banner view has stopped loading.
void TestStartup::shownOnceBannerIsServed()
{
    QFETCH(StandIn::HttpServer::Delivery, banner);
    QFETCH(int, earliestMs);
    const QByteArray page = "<!doctype html><meta charset=utf-8><p>Banner</p>";
    m_server->setReply(u"/_tools"_s, {200, page, "text/html; charset=utf-8", banner});

    QElapsedTimer clock;
    clock.start();
    m_window = std::make_unique<Form3>();
    QStringList requestsAtShow;
    qint64 msAtShow = -1;
    connect(m_window.get(), &Form3::readyToShow, this, [&] {
        requestsAtShow = m_server->requests();
        msAtShow = clock.elapsed();
        m_window->show();
    });
    QSignalSpy done(m_window->findChild<FirstActivation *>(), &FirstActivation::done);
    const bool shown = QTest::qWaitFor([&] { return msAtShow >= 0; }, 15000);
    WindowStart::pointHostsAt(*m_server); // the prompt banner again for the other tests
    QVERIFY(shown);
    // In this order: vocabulary, links, banner.
    const QStringList pages = requestsAtShow.filter(QRegularExpression(u"^/_tools"_s));
    QCOMPARE(pages, (QStringList{u"/_tools/wortschatz"_s, u"/_tools/links"_s, u"/_tools"_s}));
    QVERIFY2(msAtShow >= earliestMs, qPrintable(QString::number(msAtShow)));
    QVERIFY(done.wait(20000));
    QVERIFY(m_window->isEnabled());
}

void TestStartup::firstRunWithEmptyStore_data()
{
    QTest::addColumn<bool>("reference"); // no service host: the public reference rates
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("rateLine");
    QTest::addColumn<QString>("dollars");
    QTest::newRow("service host") << false << QByteArray("1.2345|05.12.2026|")
                                  << u"1 EUR = 1,2345 $, 1$ = 0,8100 EUR"_s << u"1,23"_s;
    QTest::newRow("public reference rates") << true << QByteArray("1.0850|04.12.2026|")
                                            << u"1 EUR = 1,085 $, 1$ = 0,9216 EUR"_s << u"1,09"_s;
}

void TestStartup::firstRunWithEmptyStore()
{
    QFETCH(bool, reference);
    QFETCH(QByteArray, reply);
    const auto restoreHosts = qScopeGuard([this] { WindowStart::pointHostsAt(*m_server); });
    if (reference) {
        qputenv("KARTAVIO_SERVICE_HOST", "daten.kartavio.example");
        qputenv("KARTAVIO_REFERENCE_HOST", m_server->hostAndPort().toUtf8());
        const StandIn::Service files = StandIn::goodService(reply, {});
        m_server->setReply(StandIn::dailyPath, files.daily);
        m_server->setReply(StandIn::historyPath, files.history);
    }
    m_window = WindowStart::startAndActivate();
    QVERIFY(m_window);
    QVERIFY(m_window->isEnabled());
    QCOMPARE(WindowStart::frontPanel(m_window.get()), 0);
    QCOMPARE(m_server->requestCount(u"/kartavio/_tools/eur.cgi"_s), reference ? 0 : 1);
    QCOMPARE(m_server->requestCount(u"/kartavio/_tools/eurchart.gif"_s), reference ? 0 : 1);
    QCOMPARE(m_server->requestCount(StandIn::historyPath), reference ? 1 : 0);
    QCOMPARE(m_window->eurKurs(), reply.split('|').constFirst().toDouble());
    QCOMPARE(caption(u"Label3"_s), u"Stand: "_s + QString::fromLatin1(reply.split('|').value(1)));
    QTEST(caption(u"Label4"_s), "rateLine");
    QCOMPARE(text(u"txtEur"_s), u"1,00"_s);
    QTEST(text(u"txtDollar"_s), "dollars");
    // The chart: the service's picture, or the course drawn on white at the box's size.
    const QImage chart = m_window->findChild<QLabel *>(u"Image1"_s)->pixmap().toImage();
    QCOMPARE(chart.size(), reference ? QSize(465, 249) : QSize(1, 1));
    QImage blank(chart.size(), chart.format());
    blank.fill(Qt::white);
    QVERIFY(!reference || (chart.pixelColor(0, 248) == Qt::white && chart != blank));

    // The defaults themselves are the first activation's own test; here the
    // boxes they feed in the whole window.
    QCOMPARE(text(u"txtFT"_s), u"32,81"_s);
    QCOMPARE(text(u"txtOZ"_s), u"35,27"_s);
    QCOMPARE(text(u"txtGalPrice2"_s), u"1,99"_s);
    QCOMPARE(text(u"txtPLZ"_s), u"33064"_s);
    QCOMPARE(caption(u"lblFahrtPreis"_s), u"Fahrtkosten: 9,05 $"_s);

    auto *states = m_window->findChild<QComboBox *>(u"lstStates"_s);
    QCOMPARE(states->count(), 51);
    QCOMPARE(m_window->stateCodes().size(), 51);
    QCOMPARE(states->currentIndex(), -1);

    // What start-up itself stored: the recomputed source boxes, never their targets.
    const auto ours = TestEnv::readIni(TestEnv::contents(TestEnv::settingsFile()), u"Kartavio"_s);
    QStringList stored;
    for (const QString &key : {u"txtCelsius"_s, u"txtR"_s, u"txtTrinkgeld"_s, u"txtFahrenheit"_s, u"txtPLZ"_s})
        stored << ours.value(key, u"<none>"_s).toString();
    QCOMPARE(stored, (QStringList{u"30"_s, u"3"_s, u"60,00"_s, u"<none>"_s, u"<none>"_s}));

    // The cache was written with today's date.
    QCOMPARE(TestEnv::contents(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/eurkurs.txt"_s),
             reply + "***" + QDate::currentDate().toString(u"dd.MM.yyyy"_s).toLatin1() + "***\r\n");
}

// The first activation ends with the focus on the first link; Tab then runs
// down the navigation column, through the panel in front, and reaches the
// banner last. Where the style marks nothing (links, logo, banner), a dotted
// ring is drawn around the control with the focus, and only around it.
void TestStartup::firstTabReachesFirstLink()
{
    m_window = WindowStart::startAndActivate();
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const QStringList expected = {u"Label5_0"_s, u"Label5_1"_s, u"Label5_2"_s, u"Label5_3"_s, u"Label5_12"_s,
                                  u"Label5_6"_s, u"Label5_7"_s, u"Label5_8"_s, u"Label5_4"_s, u"Label5_5"_s,
                                  u"Label5_9"_s, u"Label5_11"_s, u"Image9"_s, u"txtEur"_s, u"txtDollar"_s,
                                  u"Command1"_s, u"AdBrw"_s};
    QStringList reached;
    QWidget *previous = nullptr;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget *owner = FitCheck::focusOwner();
        QVERIFY(owner);
        reached << owner->objectName();
        if (qobject_cast<LinkLabel *>(owner) || owner->objectName() == u"AdBrw")
            QTRY_VERIFY2(FitCheck::focusRingDrawn(owner), qPrintable(owner->objectName()));
        if (qobject_cast<LinkLabel *>(previous)) // and gone once the focus moved on
            QTRY_VERIFY2(!FitCheck::focusRingDrawn(previous), qPrintable(previous->objectName()));
        previous = owner;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(reached, expected);
}

// The window manager places the window after it is shown; the please-wait
// window stands centred on the frame the window really got.
void TestStartup::pleaseWaitCentredOnPlacedWindow()
{
    m_server->setReply(u"/kartavio/_tools/eur.cgi"_s,
                       {200, "1.2345|05.12.2026|", "text/plain", StandIn::HttpServer::Delivery::Late});
    m_window = std::make_unique<Form3>();
    connect(m_window.get(), &Form3::readyToShow, m_window.get(), &QWidget::show);
    QSignalSpy done(m_window->findChild<FirstActivation *>(), &FirstActivation::done);
    const Form2 *wait = nullptr; // made when first shown
    const bool waitShown = QTest::qWaitFor([&] { return (wait = WindowStart::waitWindow()) && wait->isVisible(); }, 15000);
    m_server->setReply(u"/kartavio/_tools/eur.cgi"_s, {200, "1.2345|05.12.2026|", "text/plain"});
    QVERIFY(waitShown);
    QPoint offset;
    const bool centred = QTest::qWaitFor([&] {
        offset = wait->frameGeometry().center() - WindowStart::xFrame(m_window->winId()).center();
        return offset.manhattanLength() <= 3;
    }, 1000);
    QVERIFY2(centred, qPrintable(u"%1,%2"_s.arg(offset.x()).arg(offset.y())));
    // Where the X server has it, too.
    QCOMPARE(WindowStart::xFrame(wait->winId()).center(), wait->frameGeometry().center());
    QVERIFY(done.wait(20000));
}

int main(int argc, char *argv[])
{
    TestEnv::isolate();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_web_startup.moc"
