// The local stand-in site: its rate reply, its chart picture and its pages,
// fetched over HTTP from a running copy of tools/standin_site.py.

#include "helpers/testenv.h"

#include <QDate>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
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

private:
    // Starts the site on a free port and returns that port, or 0.
    int start(QProcess &process, const QStringList &options);
    Answer fetch(int port, const QString &path);
    // Whether the site's request log (its stderr) holds this line so far.
    bool logged(const QByteArray &line);

    QNetworkAccessManager m_network;
    QProcess m_site;
    int m_port = 0;
    QByteArray m_log;
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

QTEST_MAIN(TestStandInSite)
#include "tst_standinsite.moc"
