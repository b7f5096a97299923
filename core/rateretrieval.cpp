#include "core/rateretrieval.h"

#include "core/hosts.h"
#include "core/number.h"
#include "core/ratereply.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>
#include <utility>

namespace {

const QString cacheName = QStringLiteral("eurkurs.txt");
const QString chartName = QStringLiteral("eurchart.gif");

// The cache holds one short line; anything beyond this is not read.
constexpr qint64 cacheReadLimit = 64 * 1024;

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
{
    // The transfer timeout only catches a pause; a host that sends one byte
    // now and then would otherwise keep the run (and the window) waiting.
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, &RateRetrieval::deadlinePassed);
}

QString RateRetrieval::cacheFile() const
{
    return QDir(m_cacheDir).filePath(cacheName);
}

QString RateRetrieval::chartFile() const
{
    return QDir(m_cacheDir).filePath(chartName);
}

void RateRetrieval::start(double currentRate)
{
    if (m_running)
        return;
    m_running = true;
    m_chartFileRead = false;
    m_currentRate = currentRate;
    m_host = m_serviceHost.isEmpty() ? Hosts::service() : m_serviceHost;
    m_reply.clear();
    m_cacheRate.reset();
    m_cacheStand.reset();
    m_replyRate.reset();
    m_replyStand.reset();
    m_result = {};
    readCache();
}

// Cache phase: today's cache with a usable rate and a readable chart is shown
// as it is; anything else goes on to the download phase.
void RateRetrieval::readCache()
{
    const std::optional<QByteArray> line = readFile(cacheFile(), cacheReadLimit);
    if (!line) {
        download();
        return;
    }
    const RateReply::Fields cached = RateReply::parse(QString::fromLatin1(*line));
    m_cacheRate = cached.rate;
    m_cacheStand = cached.stand;
    // A cached rate of 0 or below cannot be shown: fetch as for a stale cache.
    if (!cached.rate || cached.fetchDate != RateReply::dateText(m_today())) {
        download();
        return;
    }
    m_result.chart = cachedChart();
    if (m_result.chart.isNull()) {
        download();
        return;
    }
    finish(false);
}

void RateRetrieval::download()
{
    m_deadline->start(m_timeoutMs);
    fetch(QStringLiteral("/kartavio/_tools/eur.cgi"), Step::Rate);
}

void RateRetrieval::fetch(const QString &path, Step step)
{
    m_step = step;
    m_body.clear();
    m_tooLarge = false;
    QNetworkRequest request(QUrl(u"http://" % m_host % path));
    request.setTransferTimeout(m_timeoutMs);
    m_transfer = m_network->get(request);
    connect(m_transfer, &QNetworkReply::readyRead, this, &RateRetrieval::onReadyRead);
    connect(m_transfer, &QNetworkReply::downloadProgress, this, &RateRetrieval::onProgress);
    connect(m_transfer, &QNetworkReply::finished, this, &RateRetrieval::onReplyFinished);
}

qint64 RateRetrieval::limit() const
{
    return m_step == Step::Chart ? maxChartBytes : maxReplyBytes;
}

void RateRetrieval::abortTooLarge()
{
    m_tooLarge = true;
    m_transfer->abort(); // finishes the reply at once
}

void RateRetrieval::deadlinePassed()
{
    if (m_transfer)
        m_transfer->abort(); // finishes the reply at once, as a failure
}

void RateRetrieval::onReadyRead()
{
    if (!m_transfer || m_tooLarge)
        return;
    m_body += m_transfer->read(limit() + 1 - m_body.size());
    if (m_body.size() > limit() || m_transfer->bytesAvailable() > 0)
        abortTooLarge();
}

// A declared length beyond the limit fails before the body arrives.
void RateRetrieval::onProgress(qint64 received, qint64 total)
{
    if (m_transfer && !m_tooLarge && (total > limit() || received > limit()))
        abortTooLarge();
}

void RateRetrieval::onReplyFinished()
{
    QNetworkReply *reply = m_transfer;
    if (!reply)
        return;
    m_transfer = nullptr;
    reply->deleteLater();

    std::optional<QByteArray> body;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!m_tooLarge && reply->error() == QNetworkReply::NoError && status == 200) {
        m_body += reply->read(limit() + 1 - m_body.size());
        // Qt may report a connection closed halfway through the body as a
        // success (after asking again); the declared length tells.
        const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
        const bool whole = !declared.isValid() || declared.toLongLong() == m_body.size();
        if (whole && m_body.size() <= limit() && reply->bytesAvailable() == 0)
            body = m_body;
    }
    m_body.clear();

    const Step step = m_step;
    m_step = Step::Idle;
    if (step == Step::Rate)
        rateArrived(body);
    else if (step == Step::Chart)
        chartArrived(body);
}

// Download phase, step one: the reply's rate first, then its stand text.
void RateRetrieval::rateArrived(const std::optional<QByteArray> &body)
{
    if (!body) {
        finish(false);
        return;
    }
    m_reply = QString::fromLatin1(*body);
    const RateReply::Fields fields = RateReply::parse(m_reply);
    m_replyRate = fields.rate;
    // A reply without a usable rate is not used at all, its stand text neither.
    m_replyStand = m_replyRate ? fields.stand : std::nullopt;
    if (!m_replyRate || !m_replyStand) {
        finish(false);
        return;
    }
    fetch(QStringLiteral("/kartavio/_tools/eurchart.gif"), Step::Chart);
}

// Download phase, step two: a complete, readable chart replaces the old one,
// and only then is the cache line rewritten with today's date.
void RateRetrieval::chartArrived(const std::optional<QByteArray> &body)
{
    const std::optional<QImage> chart = body ? chartFrom(*body) : std::nullopt;
    if (!chart) {
        finish(false);
        return;
    }
    if (!QDir().mkpath(m_cacheDir) || !writeFile(chartFile(), *body)
        || !writeFile(cacheFile(), RateReply::cacheLine(m_reply, m_today()))) {
        finish(false);
        return;
    }
    m_result.chart = *chart;
    finish(true);
}

// Replaces `path` by a new file with `bytes` (written beside it, then
// renamed over it). A link in its place is replaced, not followed.
bool RateRetrieval::writeFile(const QString &path, const QByteArray &bytes)
{
    QTemporaryFile file(path + u".XXXXXX");
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
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
    if (m_chartFileRead)
        return {};
    m_chartFileRead = true;
    const std::optional<QByteArray> bytes = readFile(chartFile(), maxChartBytes);
    if (!bytes || bytes->size() > maxChartBytes)
        return {};
    return chartFrom(*bytes).value_or(QImage());
}

// Display phase preparation: the reply's values first, then the cache's,
// then the rate the caller already had.
void RateRetrieval::finish(bool online)
{
    m_deadline->stop();
    m_result.online = online;
    if (m_replyRate)
        m_result.rate = m_replyRate;
    else if (m_cacheRate)
        m_result.rate = m_cacheRate;
    else if (Number::finite(m_currentRate) && m_currentRate > 0)
        m_result.rate = m_currentRate;
    m_result.stand = m_replyStand.value_or(m_cacheStand.value_or(QString()));
    if (m_result.chart.isNull())
        m_result.chart = cachedChart();
    // Always after start() has returned, never from inside a reply's signal.
    QMetaObject::invokeMethod(this, &RateRetrieval::deliver, Qt::QueuedConnection);
}

void RateRetrieval::deliver()
{
    m_running = false;
    const RateResult result = std::exchange(m_result, {});
    emit finished(result);
}
