#include "standin/hostilebytes.h"
#include "helpers/testenv.h"
#include "standin/httpserver.h"
#include "core/boundedget.h"
#include "core/rateretrieval.h"
#include "standin/faults.h"
#include "standin/site.h"

#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>

namespace {

const QDate today(2026, 12, 6);
const QByteArray todaysCache("1.2345|05.12.2026|***06.12.2026***\r\n");
const QByteArray staleCache("1.1|04.12.2026|***05.12.2026***\r\n");
const QString ratePath = QStringLiteral("/kartavio/_tools/eur.cgi");
const QString chartPath = QStringLiteral("/kartavio/_tools/eurchart.gif");
constexpr int timeoutMs = 300;

// A 1 x 1 GIF; the second differs in its first palette colour.
const QByteArray oldGif = TestEnv::onePixelGif();
const QByteArray newGif = TestEnv::onePixelGif(Qt::red);

enum class Chart { None, Old, New };

// An answer: status, body and how it goes out (whole, dribbled, cut, never).
using Answer = StandIn::HttpServer::Reply;

// A service at the two addresses of the rate service. Dribbled bodies come
// one byte per 100 ms, so that no pause lasts as long as the transfer timeout.
struct Service
{
    Service(const Answer &rate, const Answer &chart)
    {
        server.setReply(ratePath, rate);
        server.setReply(chartPath, chart);
        server.setDribbleInterval(100);
    }
    StandIn::HttpServer server;
};

// A port on which nothing listens.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

// Qt's HTTP client asks again, a bounded number of times, when a connection
// ends before the declared length has arrived; -1 expects that.
bool requestsAsExpected(int actual, int expected)
{
    return expected < 0 ? actual >= 1 && actual <= 3 : actual == expected;
}

// The service's answers under a fault of the stand-in site, by its name.
StandIn::Service faulty(QStringView fault)
{
    return StandIn::faulty(fault, StandIn::goodService("1.3|06.12.2026|", newGif));
}

using TestEnv::contents;

} // namespace

Q_DECLARE_METATYPE(Chart)
Q_DECLARE_METATYPE(Answer)
Q_DECLARE_METATYPE(StandIn::Service)

class TestRateRetrieval final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnv::isolate();
        qRegisterMetaType<RateResult>();
    }

    void run_data();
    void run();
    void fromReferenceRates_data();
    void fromReferenceRates();
    void onceADay();
    void linksReplacedNotFollowed();
    void writeFailsHalfWay_data();
    void writeFailsHalfWay();
    void downloadWithoutDeadline();
};

void TestRateRetrieval::run_data()
{
    QTest::addColumn<QByteArray>("cache"); // null: no cache file
    QTest::addColumn<QByteArray>("chartBefore"); // null: no chart file
    QTest::addColumn<Answer>("rateAnswer"); // status 0: host unreachable
    QTest::addColumn<Answer>("chartAnswer");
    QTest::addColumn<double>("currentRate");
    QTest::addColumn<int>("rateRequests"); // -1: one, or a few after a cut connection
    QTest::addColumn<int>("chartRequests"); // -1: as above
    QTest::addColumn<double>("rate"); // 0: none
    QTest::addColumn<QString>("stand");
    QTest::addColumn<bool>("online");
    QTest::addColumn<QByteArray>("cacheAfter"); // null: as before
    QTest::addColumn<Chart>("chartAfter");

    const Answer reply{200, "1.3|06.12.2026|"};
    const Answer chart{200, newGif};
    const QByteArray unchanged;
    const QByteArray fresh("1.3|06.12.2026|***06.12.2026***\r\n");
    const Answer unreachable{0, {}};
    // The rate line fails: the cache's values, no chart asked for, no file changed.
    const auto rateFails = [&](const QByteArray &name, const Answer &answer, int requests = 1) {
        QTest::newRow(name.constData()) << staleCache << oldGif << answer << chart << 0.0
                            << requests << 0 << 1.1 << u"04.12.2026"_qs << false << unchanged << Chart::Old;
    };
    // The chart fails: the reply's rate and stand stay, but no file changes.
    const auto chartFails = [&](const QByteArray &name, const Answer &answer, int requests = 1) {
        QTest::newRow(name.constData()) << staleCache << oldGif << reply << answer << 0.0
                            << 1 << requests << 1.3 << u"06.12.2026"_qs << false << unchanged << Chart::Old;
    };

    QTest::newRow("today's cache: no request")
        << todaysCache << oldGif << reply << chart << 0.0
        << 0 << 0 << 1.2345 << u"05.12.2026"_qs << false << unchanged << Chart::Old;
    QTest::newRow("yesterday's cache: both fetched, line rewritten")
        << staleCache << oldGif << reply << chart << 0.0
        << 1 << 1 << 1.3 << u"06.12.2026"_qs << true << fresh << Chart::New;
    QTest::newRow("no cache: file created")
        << QByteArray() << QByteArray() << Answer{200, "1.3|05.12.2026|"} << chart << 0.0
        << 1 << 1 << 1.3 << u"05.12.2026"_qs << true
        << QByteArray("1.3|05.12.2026|***06.12.2026***\r\n") << Chart::New;
    QTest::newRow("reply with CR LF: one cache line")
        << staleCache << oldGif << Answer{200, "1.3|06.12.2026|\r\n"} << chart << 0.0
        << 1 << 1 << 1.3 << u"06.12.2026"_qs << true << fresh << Chart::New;
    QTest::newRow("today's cache, chart missing: one download")
        << todaysCache << QByteArray() << reply << chart << 0.0
        << 1 << 1 << 1.3 << u"06.12.2026"_qs << true << fresh << Chart::New;
    QTest::newRow("today's cache, chart unreadable: one download")
        << todaysCache << QByteArray("GIF89a kaputt") << reply << chart << 0.0
        << 1 << 1 << 1.3 << u"06.12.2026"_qs << true << fresh << Chart::New;
    // Only a GIF is decoded, and only one of a size the panel can show: a
    // progressive JPEG that takes minutes to decode never reaches a decoder.
    QTest::newRow("today's cache, chart a JPEG bomb: one download")
        << todaysCache << StandIn::HostileBytes::jpegBomb() << reply << chart << 0.0
        << 1 << 1 << 1.3 << u"06.12.2026"_qs << true << fresh << Chart::New;
    chartFails("chart a JPEG bomb", faulty(u"jpegbomb").chart);
    chartFails("chart declares a huge screen", Answer{200, StandIn::HostileBytes::gifDeclaring(30000, 20)});
    QTest::newRow("today's cache, rate 0: one download")
        << QByteArray("0|05.12.2026|***06.12.2026***\r\n") << oldGif << reply << chart << 0.0
        << 1 << 1 << 1.3 << u"06.12.2026"_qs << true << fresh << Chart::New;
    QTest::newRow("today's cache, rate 0, unreachable: cached stand shown")
        << QByteArray("0|05.12.2026|***06.12.2026***\r\n") << oldGif << unreachable << chart << 0.0
        << 0 << 0 << 0.0 << u"05.12.2026"_qs << false << unchanged << Chart::Old;
    QTest::newRow("reply without pipe: rate taken, cached stand kept")
        << staleCache << oldGif << Answer{200, "1.2345"} << chart << 0.0
        << 1 << 0 << 1.2345 << u"04.12.2026"_qs << false << unchanged << Chart::Old;
    rateFails("reply rate not a number", Answer{200, "abc|06.12.2026|"});
    rateFails("host unreachable", unreachable, 0);
    rateFails("host never answers", faulty(u"silent").rate);
    const QByteArray huge = "1.3|06.12.2026|" + QByteArray(5000, 'x');
    rateFails("reply oversized", Answer{200, huge});
    rateFails("reply oversized, no length", Answer{.body = huge, .declareLength = false});
    QTest::newRow("reply at the size limit")
        << staleCache << oldGif << Answer{200, "1.3|06.12.2026|" + QByteArray(4096 - 15, 'x')}
        << chart << 0.0 << 1 << 1 << 1.3 << u"06.12.2026"_qs << true
        << QByteArray("1.3|06.12.2026|" + QByteArray(4096 - 15, 'x') + "***06.12.2026***\r\n")
        << Chart::New;
    // A host that sends a byte now and then is given up at the deadline.
    rateFails("reply dribbles", faulty(u"slow").rate);
    rateFails("reply cut short", faulty(u"cut").rate, -1);
    // Only the status tells these apart from the service's answer.
    for (const Answer &answer : {Answer{404, "1.3|06.12.2026|"}, faulty(u"500").rate, Answer{203, "1.3|06.12.2026|"}})
        rateFails("reply " + QByteArray::number(answer.status), answer);
    // A rate of 0 or below is still a number: the stand after it is read, not used.
    for (const Answer &answer : {faulty(u"rate0").rate, faulty(u"rate-1").rate, faulty(u"ratenan").rate,
                                 faulty(u"rate1e400").rate, Answer{200, "inf|06.12.2026|"},
                                 Answer{200, "1e300|06.12.2026|"}, Answer{200, "0.0000000000000001|06.12.2026|"},
                                 Answer{200, "100.01|06.12.2026|"}, Answer{200, "0.0099|06.12.2026|"}})
        rateFails("reply rate " + answer.body.left(answer.body.indexOf('|')), answer);
    chartFails("chart dribbles", faulty(u"slow").chart);
    chartFails("chart cut short", faulty(u"cut").chart, -1);
    chartFails("chart 500", faulty(u"500").chart);
    chartFails("chart not an image", faulty(u"notgif").chart);
    chartFails("chart oversized", Answer{200, newGif + QByteArray(2 * 1024 * 1024, '\0')});
    chartFails("chart never answers", faulty(u"silent").chart);
    QTest::newRow("no cache, unreachable: earlier rate kept")
        << QByteArray() << QByteArray() << unreachable << chart << 1.05
        << 0 << 0 << 1.05 << QString() << false << unchanged << Chart::None;
    QTest::newRow("no cache, unreachable, no rate at all")
        << QByteArray() << QByteArray() << unreachable << chart << 0.0
        << 0 << 0 << 0.0 << QString() << false << unchanged << Chart::None;
    QTest::newRow("cache unreadable, reply without stand: rate from reply")
        << QByteArray("kaputt\r\n") << QByteArray() << Answer{200, "1.3"} << chart << 1.05
        << 1 << 0 << 1.3 << QString() << false << unchanged << Chart::None;
}

void TestRateRetrieval::run()
{
    QFETCH(QByteArray, cache);
    QFETCH(QByteArray, chartBefore);
    QFETCH(Answer, rateAnswer);
    QFETCH(Answer, chartAnswer);
    QFETCH(double, currentRate);

    QTemporaryDir root;
    const QString cacheDir = root.path() + u"/cache/dir"; // made when first written
    Service service(rateAnswer, chartAnswer);
    QVERIFY(service.server.isListening());

    RateRetrieval retrieval(cacheDir);
    retrieval.setClock([] { return today; });
    retrieval.setTransferTimeout(timeoutMs);
    retrieval.setServiceHost(rateAnswer.status == 0 ? u"127.0.0.1:" % QString::number(closedPort())
                                                    : service.server.hostAndPort());
    if (!cache.isNull())
        QVERIFY(TestEnv::write(retrieval.cacheFile(), cache));
    if (!chartBefore.isNull())
        QVERIFY(TestEnv::write(retrieval.chartFile(), chartBefore));

    QSignalSpy spy(&retrieval, &RateRetrieval::finished);
    QElapsedTimer clock;
    clock.start();
    retrieval.start(currentRate);
    QVERIFY(retrieval.isRunning());
    QCOMPARE(spy.count(), 0); // never from inside start()
    QVERIFY(spy.wait(5000));
    // However the host behaves, the run ends soon after the timeout.
    QVERIFY2(clock.elapsed() < timeoutMs + 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(spy.count(), 1);
    QVERIFY(!retrieval.isRunning());
    const auto result = spy.at(0).at(0).value<RateResult>();

    QFETCH(int, rateRequests);
    QFETCH(int, chartRequests);
    QFETCH(double, rate);
    QFETCH(QString, stand);
    QFETCH(bool, online);
    QFETCH(QByteArray, cacheAfter);
    QFETCH(Chart, chartAfter);

    QVERIFY2(requestsAsExpected(service.server.requestCount(ratePath), rateRequests),
             qPrintable(QString::number(service.server.requestCount(ratePath))));
    QVERIFY2(requestsAsExpected(service.server.requestCount(chartPath), chartRequests),
             qPrintable(QString::number(service.server.requestCount(chartPath))));
    QCOMPARE(result.rate, rate > 0 ? std::optional(rate) : std::nullopt);
    QCOMPARE(result.stand, stand);
    QCOMPARE(result.online, online);
    QCOMPARE(service.server.requestCount(StandIn::dailyPath), 0); // a service host is configured
    const QByteArray expectedCache = cacheAfter.isNull() ? cache : cacheAfter;
    QCOMPARE(QFile::exists(retrieval.cacheFile()), !expectedCache.isNull());
    QCOMPARE(contents(retrieval.cacheFile()), expectedCache);
    if (chartAfter == Chart::None) {
        QVERIFY(result.chart.isNull());
        return;
    }
    const bool isNew = chartAfter == Chart::New;
    QCOMPARE(contents(retrieval.chartFile()), isNew ? newGif : oldGif);
    QCOMPARE(result.chart.size(), QSize(1, 1));
    QCOMPARE(QColor(result.chart.pixel(0, 0)), QColor(isNew ? Qt::red : Qt::white));
}

// Without a configured service host the public reference rates stand in:
// the daily file's newest USD rate as the reply line, the 90-day file as the
// series, kept beside the cache; eurchart.gif is never touched.
void TestRateRetrieval::fromReferenceRates_data()
{
    QTest::addColumn<QByteArray>("cache");
    QTest::addColumn<StandIn::Service>("files");
    QTest::addColumn<int>("dailyRequests");
    QTest::addColumn<int>("historyRequests");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("stand");
    QTest::addColumn<bool>("online"); // and the cache line and series rewritten

    const StandIn::Service good = StandIn::goodService("1.0850|04.12.2026|", newGif);
    const auto fails = [&](const QByteArray &name, const StandIn::Service &files, int historyRequests = 0) {
        QTest::newRow(name.constData()) << staleCache << files << 1 << historyRequests << 1.1 << u"04.12.2026"_qs
                                        << false;
    };
    QTest::newRow("stale cache: both files, newest USD") << staleCache << good << 1 << 1 << 1.085
                                                         << u"04.12.2026"_qs << true;
    QTest::newRow("today's cache and series: no request") << todaysCache << good << 0 << 0 << 1.2345
                                                          << u"05.12.2026"_qs << false;
    for (const char *fault : {"xmlnousd", "xmlbaddate", "xmlempty", "xmlhuge", "xmlendless", "xmlentity", "500"})
        fails(fault, faulty(QString::fromLatin1(fault)));
    StandIn::Service noHistory = good;
    noHistory.history = faulty(u"xmlnousd").history;
    QTest::newRow("90-day file without USD: daily rate shown, nothing written")
        << staleCache << noHistory << 1 << 1 << 1.085 << u"04.12.2026"_qs << false;
    for (const QByteArray rate : {"1000", "0.001"})
        fails("daily rate " + rate, StandIn::goodService(rate + "|04.12.2026|", newGif));
}

void TestRateRetrieval::fromReferenceRates()
{
    QFETCH(QByteArray, cache);
    QFETCH(StandIn::Service, files);

    QTemporaryDir root;
    StandIn::HttpServer server;
    StandIn::serveSite(server, files);
    server.setDribbleInterval(100);
    RateRetrieval retrieval(root.path());
    retrieval.setClock([] { return today; });
    retrieval.setTransferTimeout(timeoutMs);
    retrieval.setServiceHost(u"daten.kartavio.example"_qs);
    retrieval.setReferenceHost(server.hostAndPort());
    const QByteArray oldSeries("2026-12-03 1.2\n2026-12-04 1.1\n");
    if (!cache.isNull())
        QVERIFY(TestEnv::write(retrieval.cacheFile(), cache));
    QVERIFY(TestEnv::write(retrieval.seriesFile(), oldSeries));

    QSignalSpy spy(&retrieval, &RateRetrieval::finished);
    retrieval.start(0.0);
    QVERIFY(spy.wait(5000));
    const auto result = spy.at(0).at(0).value<RateResult>();

    QFETCH(double, rate);
    QFETCH(bool, online);
    QTEST(server.requestCount(StandIn::dailyPath), "dailyRequests");
    QTEST(server.requestCount(StandIn::historyPath), "historyRequests");
    QCOMPARE(server.requestCount(ratePath) + server.requestCount(chartPath), 0);
    QCOMPARE(result.rate, std::optional(rate));
    QTEST(result.stand, "stand");
    QCOMPARE(result.online, online);
    QVERIFY(!QFile::exists(retrieval.chartFile()));
    QCOMPARE(contents(retrieval.cacheFile()), online ? QByteArray("1.0850|04.12.2026|***06.12.2026***\r\n") : cache);
    QCOMPARE(contents(retrieval.seriesFile()).size() > oldSeries.size(), online);
    QCOMPARE(result.series.constLast(), (ReferenceRates::Point{QDate(2026, 12, 4), online ? 1.085 : 1.1}));
    QVERIFY(result.series.size() > (online ? 50 : 1));
}

// A second run on the same day, and a run while one is going, fetch nothing.
void TestRateRetrieval::onceADay()
{
    QTemporaryDir root;
    Service service(Answer{200, "1.3|05.12.2026|"}, Answer{200, newGif});
    qputenv("KARTAVIO_SERVICE_HOST", service.server.hostAndPort().toLatin1());

    RateRetrieval retrieval(root.path());
    retrieval.setClock([] { return today; });
    QSignalSpy spy(&retrieval, &RateRetrieval::finished);
    retrieval.start(0.0);
    retrieval.start(0.0);
    QVERIFY(spy.wait(5000));
    QCOMPARE(service.server.requestCount(ratePath), 1);
    QCOMPARE(service.server.requestCount(chartPath), 1);

    retrieval.start(1.3);
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(service.server.requestCount(ratePath), 1);
    QCOMPARE(service.server.requestCount(chartPath), 1);
    const auto second = spy.at(1).at(0).value<RateResult>();
    QCOMPARE(second.rate, std::optional(1.3));
    QCOMPARE(second.stand, u"05.12.2026"_qs);
    QVERIFY(!second.online);
    QVERIFY(!second.chart.isNull());

    // The next day fetches again.
    retrieval.setClock([] { return today.addDays(1); });
    retrieval.start(1.3);
    QVERIFY(spy.wait(5000));
    QCOMPARE(service.server.requestCount(ratePath), 2);
    QCOMPARE(contents(retrieval.cacheFile()), QByteArray("1.3|05.12.2026|***07.12.2026***\r\n"));
    qunsetenv("KARTAVIO_SERVICE_HOST");
}

// Cache files that are links are neither read nor written through.
void TestRateRetrieval::linksReplacedNotFollowed()
{
    QTemporaryDir root;
    Service service(Answer{200, "1.3|06.12.2026|"}, Answer{200, newGif});
    RateRetrieval retrieval(root.path());
    retrieval.setClock([] { return today; });
    retrieval.setServiceHost(service.server.hostAndPort());
    const QString cacheTarget = root.filePath(u"elsewhere.txt"_qs);
    const QString chartTarget = root.filePath(u"elsewhere.gif"_qs);
    QVERIFY(TestEnv::write(cacheTarget, todaysCache));
    QVERIFY(TestEnv::write(chartTarget, oldGif));
    QVERIFY(QFile::link(cacheTarget, retrieval.cacheFile()));
    QVERIFY(QFile::link(chartTarget, retrieval.chartFile()));

    QSignalSpy spy(&retrieval, &RateRetrieval::finished);
    retrieval.start(0.0);
    QVERIFY(spy.wait(5000));
    QVERIFY(spy.at(0).at(0).value<RateResult>().online); // today's cache behind a link is not read
    QCOMPARE(contents(cacheTarget), todaysCache);
    QCOMPARE(contents(chartTarget), oldGif);
    QVERIFY(!QFileInfo(retrieval.cacheFile()).isSymLink());
    QVERIFY(!QFileInfo(retrieval.chartFile()).isSymLink());
    QCOMPARE(contents(retrieval.cacheFile()), QByteArray("1.3|06.12.2026|***06.12.2026***\r\n"));
    QCOMPARE(contents(retrieval.chartFile()), newGif);
}

// A write that fails part-way (the file-size limit cuts it, as a full disk
// would) or cannot start leaves the old files byte for byte, no stray file,
// and a run that counts as offline.
void TestRateRetrieval::writeFailsHalfWay_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<qint64>("sizeLimit"); // 0: none
    QTest::addColumn<bool>("folderBlocked");
    QTest::addColumn<Chart>("chartAfter");

    // The cache line is the reply plus 16 bytes; the chart is 43 bytes.
    const QByteArray longReply = "1.3|06.12.2026|" + QByteArray(100, 'x');
    QTest::newRow("chart cut") << QByteArray("1.3|06.12.2026|") << qint64(20) << false << Chart::Old;
    QTest::newRow("chart written, cache line cut") << longReply << qint64(80) << false << Chart::New;
    QTest::newRow("folder cannot be made") << QByteArray("1.3|06.12.2026|") << qint64(0) << true << Chart::Old;
}

void TestRateRetrieval::writeFailsHalfWay()
{
    QFETCH(QByteArray, reply);
    QFETCH(qint64, sizeLimit);
    QFETCH(bool, folderBlocked);
    QFETCH(Chart, chartAfter);

    QTemporaryDir root;
    Service service(Answer{200, reply}, Answer{200, newGif});
    // A file where a folder of the cache path should be.
    const QString cacheDir = folderBlocked ? root.filePath(u"file/cache"_qs) : root.path();
    RateRetrieval retrieval(cacheDir);
    retrieval.setClock([] { return today; });
    retrieval.setServiceHost(service.server.hostAndPort());
    if (folderBlocked)
        QVERIFY(TestEnv::write(root.filePath(u"file"_qs), "not a folder"));
    else {
        QVERIFY(TestEnv::write(retrieval.cacheFile(), staleCache));
        QVERIFY(TestEnv::write(retrieval.chartFile(), oldGif));
    }
    const QStringList filesBefore = QDir(root.path()).entryList(QDir::Files);

    QSignalSpy spy(&retrieval, &RateRetrieval::finished);
    rlimit before{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (sizeLimit > 0) {
        rlimit limited = before;
        limited.rlim_cur = rlim_t(sizeLimit);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    }
    retrieval.start(0.0);
    const bool ended = spy.wait(5000);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(ended);

    const auto result = spy.at(0).at(0).value<RateResult>();
    QVERIFY(!result.online);
    QCOMPARE(result.rate, std::optional(1.3)); // the reply's rate is still shown
    QCOMPARE(QDir(root.path()).entryList(QDir::Files), filesBefore);
    if (!folderBlocked) {
        QCOMPARE(contents(retrieval.cacheFile()), staleCache);
        QCOMPARE(contents(retrieval.chartFile()), chartAfter == Chart::New ? newGif : oldGif);
    }
}

// A download given no deadline is bounded by its pause limit and size only.
void TestRateRetrieval::downloadWithoutDeadline()
{
    Service service({200, "1.3|06.12.2026|"}, {});
    QNetworkAccessManager network;
    BoundedGet get(&network, nullptr);
    std::optional<DownloadResult> result;
    connect(&get, &BoundedGet::finished, this, [&result](const DownloadResult &r) { result = r; });
    get.start(QUrl(u"http://" % service.server.hostAndPort() % ratePath), 100, timeoutMs, QDeadlineTimer::Forever);
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 1000);
    QCOMPARE(result->error, QString());
    QCOMPARE(result->body, QByteArray("1.3|06.12.2026|"));
}

QTEST_MAIN(TestRateRetrieval)
#include "tst_rateretrieval.moc"
