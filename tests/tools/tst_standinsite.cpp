// The local stand-in site: its rate reply, chart and pages over HTTP, the
// rate service's faults as the site sends them, and the built program's
// start and request log.

#include "core/referencerates.h"
#include "helpers/testenv.h"
#include "standin/faults.h"
#include "standin/hostilebytes.h"
#include "standin/site.h"

#include <QDate>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
namespace {

const QByteArray good("1.2345|05.12.2026|");

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

// Sends `method path` on a bare connection and collects what comes back
// until the site closes it or `waitMs` have passed; the event loop runs.
RawAnswer rawFetch(quint16 port, const QByteArray &method, const QString &path, int waitMs)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000))
        return {};
    socket.write(method + ' ' + path.toLatin1() + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    RawAnswer answer;
    answer.closed = QTest::qWaitFor([&] { return socket.state() != QAbstractSocket::ConnectedState; }, waitMs);
    answer.bytes = socket.readAll();
    return answer;
}

} // namespace

class TestStandInSite final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void service();
    void pages_data();
    void pages();
    void faultsOnTheWire_data();
    void faultsOnTheWire();
    void programStartsAndLogs();
    void programRefusesBadOptions_data();
    void programRefusesBadOptions();

private:
    Answer fetch(quint16 port, const QString &path);

    QNetworkAccessManager m_network;
    StandIn::HttpServer m_site;
};

void TestStandInSite::initTestCase()
{
    TestEnv::isolate();
    QVERIFY(m_site.isListening());
    StandIn::serveSite(m_site, StandIn::goodService(StandIn::rateLine("1.2345", "05.12.2026"), StandIn::chartGif()));
}

Answer TestStandInSite::fetch(quint16 port, const QString &path)
{
    QNetworkRequest request(QUrl(u"http://127.0.0.1:%1%2"_s.arg(port).arg(path)));
    request.setTransferTimeout(10000);
    QNetworkReply *reply = m_network.get(request);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(15000);
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                  reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), reply->readAll()};
    reply->deleteLater();
    return answer;
}

void TestStandInSite::service()
{
    const Answer rate = fetch(m_site.serverPort(), StandIn::ratePath);
    QCOMPARE(rate.status, 200);
    QVERIFY(rate.contentType.startsWith("text/plain"));
    QCOMPARE(rate.body, good);

    const Answer answer = fetch(m_site.serverPort(), StandIn::chartPath);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.contentType, QByteArray("image/gif"));
    QVERIFY(answer.body.startsWith("GIF89a"));
    QImage chart;
    QVERIFY(chart.loadFromData(answer.body, "GIF"));
    QCOMPARE(chart.size(), QSize(465, 249));
    // A light background with a line drawn on it, not an empty picture.
    QVERIFY(chart.pixelColor(0, 0).lightness() > 200);
    int dark = 0;
    for (int y = 0; y < chart.height(); ++y) {
        for (int x = 0; x < chart.width(); ++x)
            dark += chart.pixelColor(x, y).lightness() < 128 ? 1 : 0;
    }
    QVERIFY(dark > 500);
    QVERIFY(dark < chart.width() * chart.height() / 4);

    // The reference files: the rate on the stand's day, and the working days before it.
    const Answer daily = fetch(m_site.serverPort(), StandIn::dailyPath);
    QCOMPARE(daily.contentType, QByteArray("text/xml"));
    const auto newest = ReferenceRates::newest(daily.body);
    QCOMPARE(newest ? ReferenceRates::replyLine(*newest) : QString(), QString::fromLatin1(good));
    const auto series = ReferenceRates::series(fetch(m_site.serverPort(), StandIn::historyPath).body);
    QCOMPARE(series ? series->size() : 0, 66); // the stand's Saturday and 65 working days
    QVERIFY(std::none_of(series->cbegin(), series->cend() - 1, [](const auto &point) { return point.day.dayOfWeek() > 5; }));
}

void TestStandInSite::pages_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("contains");
    QTest::addColumn<QString>("absent");

    QTest::newRow("banner") << u"/_tools"_s << 200 << u"Kartavio"_s << QString();
    QTest::newRow("vocabulary") << u"/_tools/wortschatz"_s << 200 << u"<td>Tankstelle</td><td>Gas station</td>"_s
                                << QString();
    QTest::newRow("links") << u"/_tools/links"_s << 200 << u"<a href=\"https://www.amtrak.com\">"_s << QString();
    QTest::newRow("petrol station") << u"/_tools/tankstelle.cgi?33064"_s << 200 << u">33064<"_s << QString();
    QTest::newRow("translation")
        << u"/_tools/trans.cgi?dir=eng&txt=Gr%C3%BC%C3%9Fe%20%26%20%3Cb%3E%0AZeile+'"_s << 200
        << u"Deutsch → Englisch</p><p>Text:</p><pre style=\"white-space:pre-wrap\">Grüße &amp; &lt;b&gt;\nZeile &#x27;<"_s
        << u"<b>"_s; // the user's text is never markup
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

    const Answer answer = fetch(m_site.serverPort(), path);
    QCOMPARE(answer.status, status);
    QCOMPARE(answer.contentType, QByteArray("text/html; charset=utf-8"));
    const QString text = QString::fromUtf8(answer.body);
    QVERIFY(text.contains(u"<meta charset=\"utf-8\">"_s));
    QVERIFY2(text.contains(contains), qPrintable(text.right(300)));
    if (!absent.isEmpty())
        QVERIFY(!text.contains(absent));
}

// The site sends a fault's answers on the rate service's addresses only, and
// the deliveries arrive as a broken host's would.
void TestStandInSite::faultsOnTheWire_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("closed");     // within 1.5 s
    QTest::addColumn<int>("status");      // 0: not even a head
    QTest::addColumn<qsizetype>("declared");
    QTest::addColumn<QByteArray>("bodyStart");
    QTest::addColumn<qsizetype>("minBody");
    QTest::addColumn<qsizetype>("maxBody");

    const QString rate = StandIn::ratePath;
    const QString chart = StandIn::chartPath;
    const QString banner = u"/_tools"_s;
    QTest::newRow("silent rate") << u"silent"_s << QByteArray("GET") << rate << false << 0 << qsizetype(-1)
                                 << QByteArray() << qsizetype(0) << qsizetype(0);
    QTest::newRow("silent, banner as always") << u"silent"_s << QByteArray("GET") << banner << true << 200
                                              << qsizetype(607) << QByteArray("<!DOCTYPE html>") << qsizetype(607)
                                              << qsizetype(607);
    // About five bytes a second: a client's inactivity timeout never fires.
    QTest::newRow("slow rate") << u"slow"_s << QByteArray("GET") << rate << false << 200 << qsizetype(1018) << good
                               << qsizetype(3) << qsizetype(12);
    QTest::newRow("cut chart") << u"cut"_s << QByteArray("GET") << chart << true << 200 << qsizetype(4236)
                               << QByteArray("GIF89a") << qsizetype(2118) << qsizetype(2118);
    QTest::newRow("500 rate") << u"500"_s << QByteArray("GET") << rate << true << 500 << qsizetype(18) << good
                              << qsizetype(18) << qsizetype(18);
    QTest::newRow("HEAD of the chart") << u"500"_s << QByteArray("HEAD") << chart << true << 500 << qsizetype(4236)
                                       << QByteArray() << qsizetype(0) << qsizetype(0);
}

void TestStandInSite::faultsOnTheWire()
{
    QFETCH(QString, fault);
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(bool, closed);
    QFETCH(int, status);
    QFETCH(qsizetype, declared);
    QFETCH(QByteArray, bodyStart);
    QFETCH(qsizetype, minBody);
    QFETCH(qsizetype, maxBody);

    StandIn::HttpServer site;
    StandIn::serveSite(site, StandIn::faulty(fault, StandIn::goodService(good, StandIn::chartGif())));
    const RawAnswer answer = rawFetch(site.serverPort(), method, path, 1500);
    QCOMPARE(answer.closed, closed);
    QCOMPARE(answer.status(), status);
    if (status == 0) {
        QVERIFY(answer.bytes.isEmpty());
        return;
    }
    QCOMPARE(answer.declaredLength(), declared);
    const QByteArray body = answer.body();
    QVERIFY2(body.size() >= minBody && body.size() <= maxBody, qPrintable(QString::number(body.size())));
    QCOMPARE(body.left(bodyStart.size()), bodyStart.left(body.size()));
}

// The built program: defaults, the fault asked for, its port on stdout, its
// address and a line per request on stderr.
void TestStandInSite::programStartsAndLogs()
{
    QProcess site;
    site.start(QStringLiteral(STANDIN_SITE), {u"--port"_s, u"0"_s, u"--fault"_s, u"notgif"_s});
    QVERIFY(site.waitForStarted(10000));
    const auto stop = qScopeGuard([&site] {
        site.kill();
        site.waitForFinished(5000);
    });
    QVERIFY(QTest::qWaitFor([&site] { return site.canReadLine() || site.state() != QProcess::Running; }, 10000));
    const QByteArray line = site.readLine();
    QVERIFY2(line.startsWith("PORT "), line.constData());
    const quint16 port = quint16(line.mid(5).trimmed().toUInt());

    const QByteArray today = QDate::currentDate().toString(u"dd.MM.yyyy"_s).toLatin1();
    QCOMPARE(fetch(port, StandIn::ratePath).body, "1.0850|" + today + '|');
    QVERIFY(QImage::fromData(fetch(port, StandIn::chartPath).body).isNull());
    QCOMPARE(fetch(port, u"/nichts?x"_s).status, 404);
    QByteArray log;
    const QByteArray expected = "Stand-in site listening on http://127.0.0.1:" + QByteArray::number(port)
        + "/\nGET /kartavio/_tools/eur.cgi 200\nGET /kartavio/_tools/eurchart.gif 200\nGET /nichts?x 404\n";
    QTRY_COMPARE_WITH_TIMEOUT(log += site.readAllStandardError(), expected, 5000);
}

void TestStandInSite::programRefusesBadOptions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("unknown fault") << QStringList{u"--fault"_s, u"leise"_s};
    QTest::newRow("rate not a number") << QStringList{u"--rate"_s, u"1,08"_s};
    QTest::newRow("stand with a bar") << QStringList{u"--stand"_s, u"05.12|2026"_s};
    QTest::newRow("stand with the cache's mark") << QStringList{u"--stand"_s, u"***"_s};
}

void TestStandInSite::programRefusesBadOptions()
{
    QFETCH(QStringList, options);
    QProcess site;
    site.start(QStringLiteral(STANDIN_SITE), QStringList{u"--port"_s, u"0"_s} + options);
    QVERIFY(site.waitForFinished(10000));
    QCOMPARE(site.exitCode(), 2);
    QCOMPARE(site.readAllStandardOutput(), QByteArray());
}

QTEST_MAIN(TestStandInSite)
#include "tst_standinsite.moc"
