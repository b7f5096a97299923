#include "core/boundedget.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <utility>

BoundedGet::BoundedGet(QNetworkAccessManager *network, QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_deadline(new QTimer(this))
{
    // The pause limit only catches a silence; a host that sends one byte now
    // and then would otherwise keep the transfer going.
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] { cut(QStringLiteral("deadline passed")); });
}

void BoundedGet::start(const QUrl &url, qint64 maxBytes, int pauseMs, QDeadlineTimer deadline)
{
    if (m_reply)
        return;
    m_body.clear();
    m_cutReason.clear();
    m_maxBytes = maxBytes;
    QNetworkRequest request(url);
    request.setTransferTimeout(pauseMs);
    // A deadline of Forever bounds nothing: only the pause limit and the size hold.
    if (deadline.isForever())
        m_deadline->stop();
    else
        m_deadline->start(std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime())));
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &BoundedGet::onReadyRead);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &BoundedGet::onProgress);
    connect(m_reply, &QNetworkReply::finished, this, &BoundedGet::onFinished);
}

// Ends the transfer at once; onFinished() reports `reason`.
void BoundedGet::cut(const QString &reason)
{
    if (!m_reply || !m_cutReason.isEmpty())
        return;
    m_cutReason = reason;
    m_reply->abort();
}

void BoundedGet::onReadyRead()
{
    if (!m_reply || !m_cutReason.isEmpty())
        return;
    m_body += m_reply->read(m_maxBytes + 1 - m_body.size());
    if (m_body.size() > m_maxBytes || m_reply->bytesAvailable() > 0)
        cut(QStringLiteral("body larger than %1 bytes").arg(m_maxBytes));
}

// A declared length beyond the limit fails before the body arrives.
void BoundedGet::onProgress(qint64 received, qint64 total)
{
    if (total > m_maxBytes || received > m_maxBytes)
        cut(QStringLiteral("body larger than %1 bytes").arg(m_maxBytes));
}

void BoundedGet::onFinished()
{
    QNetworkReply *reply = std::exchange(m_reply, nullptr);
    if (!reply)
        return;
    m_deadline->stop();
    reply->deleteLater();

    DownloadResult result;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!m_cutReason.isEmpty()) {
        result.error = m_cutReason;
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = reply->errorString();
    } else if (status != 200) {
        result.error = QStringLiteral("HTTP status %1").arg(status);
    } else {
        m_body += reply->read(m_maxBytes + 1 - m_body.size());
        // Qt may report a connection closed halfway through the body as a
        // success (after asking again); the declared length tells.
        const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
        if (m_body.size() > m_maxBytes || reply->bytesAvailable() > 0)
            result.error = QStringLiteral("body larger than %1 bytes").arg(m_maxBytes);
        else if (declared.isValid() && declared.toLongLong() != m_body.size())
            result.error = QStringLiteral("body cut short: %1 of %2 bytes").arg(m_body.size()).arg(declared.toLongLong());
        else
            result.body = m_body;
    }
    m_body.clear();
    emit finished(result);
}
