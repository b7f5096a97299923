#include "core/rateretrieval.h"

#include "core/boundedget.h"
#include "core/hosts.h"
#include "core/number.h"
#include "core/ratereply.h"
#include "core/replacefile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QUrl>

#include <utility>

Q_LOGGING_CATEGORY(rateLog, "kartavio.rate", QtWarningMsg)

namespace {

const QString cacheName = QStringLiteral("eurkurs.txt");
const QString chartName = QStringLiteral("eurchart.gif");
const QString seriesName = QStringLiteral("eurverlauf.txt");
const QString dailyPath = QStringLiteral("/stats/eurofxref/eurofxref-daily.xml");
const QString historyPath = QStringLiteral("/stats/eurofxref/eurofxref-hist-90d.xml");

// The cache holds one short line; anything beyond this is not read.
constexpr qint64 cacheReadLimit = 64 * 1024;

// Cache files may be read by everyone, as files beside a program are.
const ReplaceOptions cacheFileOptions{.mode = 0644, .makeFolder = false, .beforeRename = {}};

// Memory the chart decoder may take (a chart of the largest size needs 16 MiB).
constexpr int chartAllocationLimitMiB = 32;

} // namespace

std::optional<QImage> RateRetrieval::chartFrom(const QByteArray &bytes)
{
    // The chart is a GIF; any other picture format, whatever the server
    // calls it, never reaches a decoder.
    if (!bytes.startsWith("GIF87a") && !bytes.startsWith("GIF89a"))
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(chartAllocationLimitMiB);
    // The declared sizes, before anything is decoded: the reader gives the
    // first image's, the header the screen's, which the decoder fills.
    const auto fits = [](QSize size) { return size.width() <= maxChartSide && size.height() <= maxChartSide; };
    const auto le16 = [&bytes](int at) { return int(uchar(bytes[at])) | int(uchar(bytes[at + 1])) << 8; };
    const QSize size = reader.size();
    if (bytes.size() < 10 || !size.isValid() || size.isEmpty() || !fits(size) || !fits({le16(6), le16(8)}))
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || !fits(image.size()))
        return std::nullopt;
    return image;
}

RateRetrieval::RateRetrieval(const QString &cacheDir, QObject *parent)
    : QObject(parent)
    , m_cacheDir(cacheDir)
    , m_network(new QNetworkAccessManager(this))
    , m_get(new BoundedGet(m_network, this))
{
    connect(m_get, &BoundedGet::finished, this, &RateRetrieval::arrived);
}

QString RateRetrieval::cacheFile() const
{
    return QDir(m_cacheDir).filePath(cacheName);
}

QString RateRetrieval::chartFile() const
{
    return QDir(m_cacheDir).filePath(chartName);
}

QString RateRetrieval::seriesFile() const
{
    return QDir(m_cacheDir).filePath(seriesName);
}

void RateRetrieval::start(double currentRate)
{
    if (m_running)
        return;
    m_running = true;
    m_run = {};
    m_run.currentRate = currentRate;
    m_run.host = m_serviceHost.isEmpty() ? Hosts::service() : m_serviceHost;
    m_run.reference = Hosts::isPlaceholderService(m_run.host);
    m_run.referenceBase = m_referenceHost.isEmpty() ? Hosts::referenceBase() : u"http://" % m_referenceHost;
    readCache();
}

// Cache phase: today's cache with a usable rate and a readable chart is shown
// as it is; anything else goes on to the download phase.
void RateRetrieval::readCache()
{
    const std::optional<QByteArray> line = readFile(cacheFile(), cacheReadLimit);
    if (!line) {
        download(QStringLiteral("no readable cache file"));
        return;
    }
    const RateReply::Fields cached = RateReply::parse(QString::fromLatin1(*line));
    m_run.cacheRate = cached.rate;
    m_run.cacheStand = cached.stand;
    // A cached rate of 0 or below cannot be shown: fetch as for a stale cache.
    if (!cached.rate) {
        download(QStringLiteral("no usable rate in the cache"));
        return;
    }
    if (cached.fetchDate != RateReply::dateText(m_today())) {
        download(QStringLiteral("cache not from today"));
        return;
    }
    if (!hasCachedPicture()) {
        download(QStringLiteral("no readable cached chart"));
        return;
    }
    finish(false);
}

void RateRetrieval::download(const QString &why)
{
    qCInfo(rateLog) << "fetching:" << why;
    m_run.deadline = QDeadlineTimer(m_timeoutMs);
    if (m_run.reference)
        fetch(dailyPath, Step::Daily);
    else
        fetch(QStringLiteral("/kartavio/_tools/eur.cgi"), Step::Rate);
}

void RateRetrieval::fetch(const QString &path, Step step)
{
    m_run.step = step;
    const qint64 maxBytes = step == Step::Chart ? maxChartBytes
        : step == Step::Daily                   ? ReferenceRates::maxDailyBytes
        : step == Step::History                 ? ReferenceRates::maxHistoryBytes
                                                : maxReplyBytes;
    const QString base = m_run.reference ? m_run.referenceBase : u"http://" % m_run.host;
    m_get->start(QUrl(base % path), maxBytes, m_timeoutMs, m_run.deadline);
}

void RateRetrieval::arrived(const DownloadResult &download)
{
    const Step step = std::exchange(m_run.step, Step::Idle);
    if (!download) {
        const QString what = step == Step::Chart ? QStringLiteral("chart: ")
            : step == Step::History              ? QStringLiteral("series: ")
                                                 : QStringLiteral("rate: ");
        offline(what + download.error);
        return;
    }
    switch (step) {
    case Step::Rate: rateArrived(*download.body); break;
    case Step::Chart: chartArrived(*download.body); break;
    case Step::Daily: dailyArrived(*download.body); break;
    case Step::History: historyArrived(*download.body); break;
    case Step::Idle: break;
    }
}

// The reply's rate first, then its stand text; false (and offline) when it
// has not both.
bool RateRetrieval::takeReply(const QString &reply)
{
    m_run.reply = reply;
    const RateReply::Fields fields = RateReply::parse(m_run.reply);
    m_run.replyRate = fields.rate;
    // A reply without a usable rate is not used at all, its stand text neither.
    m_run.replyStand = m_run.replyRate ? fields.stand : std::nullopt;
    if (!m_run.replyRate || !m_run.replyStand) {
        offline(QStringLiteral("rate reply without a rate and a stand text"));
        return false;
    }
    return true;
}

// Download phase, step one.
void RateRetrieval::rateArrived(const QByteArray &body)
{
    if (takeReply(QString::fromLatin1(body)))
        fetch(QStringLiteral("/kartavio/_tools/eurchart.gif"), Step::Chart);
}

// The public source's step one: the newest day's rate, made into the line
// the service would have sent.
void RateRetrieval::dailyArrived(const QByteArray &body)
{
    const auto newest = ReferenceRates::newest(body);
    if (!newest) {
        offline(QStringLiteral("daily reference rates unusable"));
        return;
    }
    if (takeReply(ReferenceRates::replyLine(*newest)))
        fetch(historyPath, Step::History);
}

// The public source's step two: the series replaces the cached one, and only
// then is the cache line rewritten.
void RateRetrieval::historyArrived(const QByteArray &body)
{
    const auto series = ReferenceRates::series(body);
    if (!series) {
        offline(QStringLiteral("90-day reference rates unusable"));
        return;
    }
    if (!writeCache(seriesFile(), seriesName, ReferenceRates::seriesFile(*series)))
        return;
    m_run.result.series = *series;
    finish(true);
}

// Replaces the picture's file (`name`: the chart or the series) by `bytes`,
// then the cache line with today's date; on a failure the run ends offline.
bool RateRetrieval::writeCache(const QString &file, const QString &name, const QByteArray &bytes)
{
    if (!QDir().mkpath(m_cacheDir)) {
        offline(u"cannot create " % m_cacheDir);
        return false;
    }
    if (const ReplaceResult written = replaceFile(file, {bytes}, cacheFileOptions); !written) {
        offline(name % u": " % written.error);
        return false;
    }
    const QByteArray line = RateReply::cacheLine(m_run.reply, m_today());
    if (const ReplaceResult written = replaceFile(cacheFile(), {line}, cacheFileOptions); !written) {
        offline(cacheName % u": " % written.error);
        return false;
    }
    return true;
}

// Download phase, step two: a complete, readable chart replaces the old one,
// and only then is the cache line rewritten with today's date.
void RateRetrieval::chartArrived(const QByteArray &body)
{
    const std::optional<QImage> chart = chartFrom(body);
    if (!chart) {
        offline(QStringLiteral("chart is no GIF of a sensible size"));
        return;
    }
    if (!writeCache(chartFile(), chartName, body))
        return;
    m_run.result.chart = *chart;
    finish(true);
}

// At most `limit` + 1 bytes of a plain file; nothing for a link, a folder, a
// device or a pipe, which could point anywhere or never end.
std::optional<QByteArray> RateRetrieval::readFile(const QString &path, qint64 limit)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(limit + 1);
}

// The cached chart, decoded at most once a run.
QImage RateRetrieval::cachedChart()
{
    if (std::exchange(m_run.chartFileRead, true))
        return {};
    const std::optional<QByteArray> bytes = readFile(chartFile(), maxChartBytes);
    if (!bytes || bytes->size() > maxChartBytes)
        return {};
    return chartFrom(*bytes).value_or(QImage());
}

// The cached series, read at most once a run; empty when unusable.
ReferenceRates::Series RateRetrieval::cachedSeries()
{
    if (std::exchange(m_run.chartFileRead, true))
        return {};
    const std::optional<QByteArray> bytes = readFile(seriesFile(), ReferenceRates::maxHistoryBytes);
    const auto series = bytes ? ReferenceRates::readSeriesFile(*bytes) : std::nullopt;
    return series.value_or(ReferenceRates::Series());
}

// Today's cache needs its picture: the chart, or the series to draw.
bool RateRetrieval::hasCachedPicture()
{
    if (m_run.reference)
        m_run.result.series = cachedSeries();
    else
        m_run.result.chart = cachedChart();
    return !m_run.result.chart.isNull() || !m_run.result.series.isEmpty();
}

// The download phase failed: the run shows what it has.
void RateRetrieval::offline(const QString &why)
{
    qCInfo(rateLog) << "offline:" << why;
    finish(false);
}

// Display phase preparation: the reply's values first, then the cache's,
// then the rate the caller already had.
void RateRetrieval::finish(bool online)
{
    RateResult &result = m_run.result;
    result.online = online;
    if (m_run.replyRate)
        result.rate = m_run.replyRate;
    else if (m_run.cacheRate)
        result.rate = m_run.cacheRate;
    else if (Number::finite(m_run.currentRate) && m_run.currentRate > 0)
        result.rate = m_run.currentRate;
    result.stand = m_run.replyStand.value_or(m_run.cacheStand.value_or(QString()));
    if (result.chart.isNull() && result.series.isEmpty())
        hasCachedPicture();
    // Always after start() has returned, never from inside a reply's signal.
    QMetaObject::invokeMethod(this, &RateRetrieval::deliver, Qt::QueuedConnection);
}

void RateRetrieval::deliver()
{
    m_running = false;
    const RateResult result = std::exchange(m_run.result, {});
    emit finished(result);
}
