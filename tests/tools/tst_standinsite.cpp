// The local stand-in site: its rate reply, its chart picture and its pages,
// fetched over HTTP from a running copy of tools/standin_site.py.

#include "helpers/testenv.h"

#include <QBuffer>
#include <QDate>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Answer
{
    int status = 0;
    QByteArray contentType;
    QByteArray body;
};

// What came back on a bare connection within a wait, without any HTTP
// client in between to retry or time out on its own.
struct RawAnswer
{
    QByteArray bytes;
    bool closed = false; // the site closed the connection within the wait

    int status() const { return bytes.startsWith("HTTP/") ? bytes.mid(9, 3).toInt() : 0; }
    QByteArray head() const { return bytes.left(bytes.indexOf("\r\n\r\n")); }
    QByteArray body() const { return bytes.mid(bytes.indexOf("\r\n\r\n") + 4); }
    qsizetype declaredLength() const
    {
        const qsizetype at = head().indexOf("Content-Length: ");
        return at < 0 ? -1 : head().mid(at + 16).split('\r').constFirst().toLongLong();
    }
};

} // namespace

class TestStandInSite final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void rateReply();
    void chartIsReadableGif();
    void pages_data();
    void pages();
    void defaultStandIsToday();
    void requestsLogged();
    void faultsKeepQuiet_data();
    void faultsKeepQuiet();
    void faultAnswers_data();
    void faultAnswers();
    void faultsLeavePagesAlone();

private:
    // Starts the site on a free port and returns that port, or 0.
    int start(QProcess &process, const QStringList &options);
    Answer fetch(int port, const QString &path);
    // Whether the site's request log (its stderr) holds this line so far.
    bool logged(const QByteArray &line);
    // The port of a site started with --fault mode (started once, kept).
    int faultPort(const QString &mode);
    static RawAnswer rawFetch(int port, const QString &path, int waitMs);

    QNetworkAccessManager m_network;
    QProcess m_site;
    int m_port = 0;
    QByteArray m_log;
    QHash<QString, QProcess *> m_faultSites;
};

int TestStandInSite::start(QProcess &process, const QStringList &options)
{
    const QString python = QStandardPaths::findExecutable(u"python3"_s);
    if (python.isEmpty())
        return 0;
    process.start(python, QStringList{QStringLiteral(KARTAVIO_SOURCE_DIR "/tools/standin_site.py"),
                                      u"--port"_s, u"0"_s} + options);
    if (!process.waitForStarted(10000))
        return 0;
    QElapsedTimer waited;
    waited.start();
    while (!process.canReadLine() && waited.elapsed() < 20000 && process.state() == QProcess::Running)
        process.waitForReadyRead(200);
    const QByteArray line = process.readLine().trimmed();
    if (!line.startsWith("PORT "))
        return 0;
    return line.mid(5).toInt();
}

Answer TestStandInSite::fetch(int port, const QString &path)
{
    QNetworkRequest request(QUrl(u"http://127.0.0.1:%1%2"_s.arg(port).arg(path)));
    request.setTransferTimeout(10000);
    QNetworkReply *reply = m_network.get(request);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(15000);
    Answer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    answer.body = reply->readAll();
    reply->deleteLater();
    return answer;
}

void TestStandInSite::initTestCase()
{
    TestEnv::isolate();
    if (QStandardPaths::findExecutable(u"python3"_s).isEmpty())
        QSKIP("python3 is not installed");
    m_port = start(m_site, {u"--rate"_s, u"1.2345"_s, u"--stand"_s, u"05.12.2026"_s});
    QVERIFY2(m_port > 0, m_site.readAllStandardError().constData());
}

void TestStandInSite::cleanupTestCase()
{
    for (QProcess *site : std::as_const(m_faultSites)) {
        site->kill();
        site->waitForFinished(5000);
    }
    if (m_site.state() != QProcess::NotRunning) {
        m_site.kill();
        m_site.waitForFinished(5000);
    }
}

void TestStandInSite::rateReply()
{
    const Answer answer = fetch(m_port, u"/kartavio/_tools/eur.cgi"_s);
    QCOMPARE(answer.status, 200);
    QVERIFY(answer.contentType.startsWith("text/plain"));
    QCOMPARE(answer.body, QByteArray("1.2345|05.12.2026|"));
}

void TestStandInSite::chartIsReadableGif()
{
    const Answer answer = fetch(m_port, u"/kartavio/_tools/eurchart.gif"_s);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.contentType, QByteArray("image/gif"));
    QVERIFY(answer.body.startsWith("GIF89a"));

    QImage chart;
    QVERIFY(chart.loadFromData(answer.body, "GIF"));
    QCOMPARE(chart.size(), QSize(465, 249));

    // A light background with a line drawn on it, not an empty picture.
    const QColor corner = chart.pixelColor(0, 0);
    QVERIFY(corner.lightness() > 200);
    int dark = 0;
    for (int y = 0; y < chart.height(); ++y) {
        for (int x = 0; x < chart.width(); ++x)
            dark += chart.pixelColor(x, y).lightness() < 128 ? 1 : 0;
    }
    QVERIFY(dark > 500);
    QVERIFY(dark < chart.width() * chart.height() / 4);

    // The same picture every time.
    QCOMPARE(fetch(m_port, u"/kartavio/_tools/eurchart.gif"_s).body, answer.body);
}

void TestStandInSite::pages_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("contains");
    QTest::addColumn<QString>("absent");

    QTest::newRow("banner") << u"/_tools"_s << 200 << u"Kartavio"_s << QString();
    QTest::newRow("vocabulary") << u"/_tools/wortschatz"_s << 200 << u"Tankstelle"_s << QString();
    QTest::newRow("links") << u"/_tools/links"_s << 200 << u"https://www.amtrak.com"_s << QString();
    QTest::newRow("petrol station") << u"/_tools/tankstelle.cgi?33064"_s << 200 << u">33064<"_s << QString();
    QTest::newRow("translation")
        << u"/_tools/trans.cgi?dir=eng&txt=Gr%C3%BC%C3%9Fe%20%26%20%3Cb%3E%0AZeile"_s << 200
        << u"Grüße &amp; &lt;b&gt;\nZeile"_s << u"<b>"_s; // the user's text is never markup
    QTest::newRow("transport") << u"/_tools/ptrans.cgi?CA"_s << 200 << u">CA<"_s << QString();
    QTest::newRow("redirect") << u"/_tools/red.cgi?3"_s << 200 << u">3<"_s << QString();
    QTest::newRow("rental cars") << u"/mietwagen?s=t"_s << 200 << u"Mietwagen"_s << QString();
    QTest::newRow("flights") << u"/flug-preisvergleich?s=t"_s << 200 << u"Flug"_s << QString();
    QTest::newRow("hotels") << u"/hotels?s=t"_s << 200 << u"Hotel"_s << QString();
    QTest::newRow("unknown page") << u"/gibt-es-nicht"_s << 404 << u"nicht"_s << QString();
}

void TestStandInSite::pages()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QString, contains);
    QFETCH(QString, absent);

    const Answer answer = fetch(m_port, path);
    QCOMPARE(answer.status, status);
    QCOMPARE(answer.contentType, QByteArray("text/html; charset=utf-8"));
    const QString text = QString::fromUtf8(answer.body);
    QVERIFY(text.contains(u"<meta charset=\"utf-8\">"_s));
    QVERIFY2(text.contains(contains), qPrintable(text.right(300)));
    if (!absent.isEmpty())
        QVERIFY(!text.contains(absent));
}

void TestStandInSite::defaultStandIsToday()
{
    QProcess site;
    const int port = start(site, {});
    QVERIFY(port > 0);
    const Answer answer = fetch(port, u"/kartavio/_tools/eur.cgi"_s);
    site.kill();
    site.waitForFinished(5000);

    QCOMPARE(answer.status, 200);
    const QList<QByteArray> fields = answer.body.split('|');
    QCOMPARE(fields.size(), 3);
    bool number = false;
    QVERIFY(fields[0].toDouble(&number) > 0.0 && number);
    QCOMPARE(QString::fromLatin1(fields[1]), QDate::currentDate().toString(u"dd.MM.yyyy"_s));
}

bool TestStandInSite::logged(const QByteArray &line)
{
    m_log += m_site.readAllStandardError();
    return m_log.startsWith(line) || m_log.contains(QByteArray('\n' + line));
}

void TestStandInSite::requestsLogged()
{
    QTRY_VERIFY_WITH_TIMEOUT(logged("GET /kartavio/_tools/eur.cgi 200\n"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(logged("GET /_tools/ptrans.cgi?CA 200\n"), 5000);
    fetch(m_port, u"/nichts"_s);
    QTRY_VERIFY_WITH_TIMEOUT(logged("GET /nichts 404\n"), 5000);
}

int TestStandInSite::faultPort(const QString &mode)
{
    if (QProcess *running = m_faultSites.value(mode))
        return running->property("port").toInt();
    auto *site = new QProcess(this);
    m_faultSites.insert(mode, site);
    const int port = start(*site, {u"--rate"_s, u"1.2345"_s, u"--stand"_s, u"05.12.2026"_s, u"--fault"_s, mode});
    site->setProperty("port", port);
    return port;
}

RawAnswer TestStandInSite::rawFetch(int port, const QString &path, int waitMs)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("GET " + path.toLatin1() + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    QElapsedTimer clock;
    clock.start();
    RawAnswer answer;
    while (clock.elapsed() < waitMs && socket.state() == QAbstractSocket::ConnectedState) {
        socket.waitForReadyRead(int(qMax<qint64>(1, waitMs - clock.elapsed())));
        answer.bytes += socket.readAll();
    }
    answer.bytes += socket.readAll();
    answer.closed = socket.state() != QAbstractSocket::ConnectedState;
    return answer;
}

// The faults that hold the connection: nothing at all, or the head and then
// a byte of the body now and then.
void TestStandInSite::faultsKeepQuiet_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status"); // 0: not even a head
    QTest::addColumn<qsizetype>("declared");
    QTest::addColumn<QByteArray>("bodyStart");

    const QString rate = u"/kartavio/_tools/eur.cgi"_s;
    const QString chart = u"/kartavio/_tools/eurchart.gif"_s;
    QTest::newRow("silent rate") << u"silent"_s << rate << 0 << qsizetype(-1) << QByteArray();
    QTest::newRow("silent chart") << u"silent"_s << chart << 0 << qsizetype(-1) << QByteArray();
    // The rate line padded with blanks, so that it takes minutes.
    QTest::newRow("slow rate") << u"slow"_s << rate << 200 << qsizetype(18 + 1000)
                               << QByteArray("1.2345|05.12.2026|");
    QTest::newRow("slow chart") << u"slow"_s << chart << 200 << qsizetype(-1) << QByteArray("GIF89a");
}

void TestStandInSite::faultsKeepQuiet()
{
    QFETCH(QString, mode);
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(qsizetype, declared);
    QFETCH(QByteArray, bodyStart);

    const int port = faultPort(mode);
    QVERIFY(port > 0);
    const RawAnswer answer = rawFetch(port, path, 1500);
    QVERIFY(!answer.closed);
    QCOMPARE(answer.status(), status);
    if (status == 0) {
        QVERIFY(answer.bytes.isEmpty());
        return;
    }
    if (declared >= 0)
        QCOMPARE(answer.declaredLength(), declared);
    // About five bytes a second: a client's inactivity timeout never fires.
    const QByteArray body = answer.body();
    QVERIFY2(body.size() >= 3 && body.size() <= 12, body.constData());
    QCOMPARE(body.left(bodyStart.size()), bodyStart.left(body.size()));
}

// The faults that answer in full (or cut short) and close.
void TestStandInSite::faultAnswers_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<qsizetype>("declared"); // Content-Length
    QTest::addColumn<QByteArray>("body");    // null: not compared
    QTest::addColumn<qsizetype>("bodySize");
    QTest::addColumn<bool>("picture");       // the body is a readable picture

    const QString rate = u"/kartavio/_tools/eur.cgi"_s;
    const QString chart = u"/kartavio/_tools/eurchart.gif"_s;
    const QByteArray good("1.2345|05.12.2026|");

    QTest::newRow("cut rate") << u"cut"_s << rate << 200 << qsizetype(18) << QByteArray("1.2345|05")
                              << qsizetype(9) << false;
    QTest::newRow("500 rate") << u"500"_s << rate << 500 << qsizetype(18) << good << qsizetype(18) << false;
    QTest::newRow("500 chart") << u"500"_s << chart << 500 << qsizetype(-2) << QByteArray() << qsizetype(-2)
                               << true;
    QTest::newRow("garbage rate") << u"garbage"_s << rate << 200 << qsizetype(1 << 20) << QByteArray()
                                  << qsizetype(1 << 20) << false;
    QTest::newRow("rate0") << u"rate0"_s << rate << 200 << qsizetype(13) << QByteArray("0|05.12.2026|")
                           << qsizetype(13) << false;
    QTest::newRow("rate-1") << u"rate-1"_s << rate << 200 << qsizetype(14) << QByteArray("-1|05.12.2026|")
                            << qsizetype(14) << false;
    QTest::newRow("ratenan") << u"ratenan"_s << rate << 200 << qsizetype(15) << QByteArray("nan|05.12.2026|")
                             << qsizetype(15) << false;
    QTest::newRow("rate1e400") << u"rate1e400"_s << rate << 200 << qsizetype(17)
                               << QByteArray("1e400|05.12.2026|") << qsizetype(17) << false;
    QTest::newRow("rate0 chart stays good") << u"rate0"_s << chart << 200 << qsizetype(-2) << QByteArray()
                                            << qsizetype(-2) << true;
    QTest::newRow("notgif rate stays good") << u"notgif"_s << rate << 200 << qsizetype(18) << good
                                            << qsizetype(18) << false;
    QTest::newRow("notgif chart") << u"notgif"_s << chart << 200 << qsizetype(-2) << QByteArray()
                                  << qsizetype(-2) << false;
    QTest::newRow("richstand rate")
        << u"richstand"_s << rate << 200 << qsizetype(680)
        << QByteArray("1.2345|<img src=\"/dev/zero\"><span style=\"font-size:72pt;color:red\">Stand</span>"
                      + QByteArray("<table><tr><td>").repeated(40) + '|')
        << qsizetype(680) << false;
    QTest::newRow("richstand chart stays good") << u"richstand"_s << chart << 200 << qsizetype(-2) << QByteArray()
                                                << qsizetype(-2) << true;
    QTest::newRow("jpegbomb rate stays good") << u"jpegbomb"_s << rate << 200 << qsizetype(18) << good
                                              << qsizetype(18) << false;
    QTest::newRow("jpegbomb chart") << u"jpegbomb"_s << chart << 200 << qsizetype(435290) << QByteArray()
                                    << qsizetype(435290) << true;
}

void TestStandInSite::faultAnswers()
{
    QFETCH(QString, mode);
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(qsizetype, declared);
    QFETCH(QByteArray, body);
    QFETCH(qsizetype, bodySize);
    QFETCH(bool, picture);

    const int port = faultPort(mode);
    QVERIFY(port > 0);
    const RawAnswer answer = rawFetch(port, path, 20000);
    QVERIFY(answer.closed);
    QCOMPARE(answer.status(), status);
    // -2: whatever the body is, the declared length matches it.
    QCOMPARE(answer.declaredLength(), declared == -2 ? answer.body().size() : declared);
    QCOMPARE(answer.body().size(), bodySize == -2 ? answer.declaredLength() : bodySize);
    if (!body.isNull())
        QCOMPARE(answer.body(), body);
    // The bomb is only looked at: decoding it takes minutes.
    if (mode == u"jpegbomb" && path.endsWith(u"eurchart.gif")) {
        QBuffer buffer;
        buffer.setData(answer.body());
        QCOMPARE(QImageReader(&buffer, "jpeg").size(), QSize(5700, 5700));
        return;
    }
    QCOMPARE(!QImage::fromData(answer.body()).isNull(), picture);
}

// Only the rate service misbehaves; the pages are served as always.
void TestStandInSite::faultsLeavePagesAlone()
{
    for (const QString &mode : {u"silent"_s, u"garbage"_s}) {
        const int port = faultPort(mode);
        QVERIFY(port > 0);
        const RawAnswer answer = rawFetch(port, u"/_tools"_s, 10000);
        QVERIFY(answer.closed);
        QCOMPARE(answer.status(), 200);
        QVERIFY(answer.body().contains("Kartavio"));
    }
}

QTEST_MAIN(TestStandInSite)
#include "tst_standinsite.moc"
