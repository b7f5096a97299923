#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// What one download ended with: the whole body, or why there is none.
struct DownloadResult
{
    std::optional<QByteArray> body;
    QString error; // empty when the body came whole
    explicit operator bool() const { return body.has_value(); }
};

// One HTTP GET with bounds a hostile or broken host cannot stretch: at most
// `maxBytes` of body (a longer declared length fails before the body comes),
// a pause limit, and a deadline for the whole transfer. Only status 200 with
// the whole declared body counts. finished() follows every start(), also
// when the transfer is cut; the reply is freed later, never in its own signal.
class BoundedGet final : public QObject
{
    Q_OBJECT

public:
    BoundedGet(QNetworkAccessManager *network, QObject *parent);

    // `pauseMs`: the longest pause in the transfer; `deadline`: when the whole
    // transfer must have ended (Forever: no such bound).
    void start(const QUrl &url, qint64 maxBytes, int pauseMs, QDeadlineTimer deadline);
    bool isRunning() const { return m_reply != nullptr; }

signals:
    void finished(const DownloadResult &result);

private:
    void onReadyRead();
    void onProgress(qint64 received, qint64 total);
    void onFinished();
    void cut(const QString &reason);

    QNetworkAccessManager *m_network = nullptr;
    QTimer *m_deadline = nullptr;
    QNetworkReply *m_reply = nullptr;
    QByteArray m_body;
    qint64 m_maxBytes = 0;
    QString m_cutReason; // set when the transfer was cut on purpose
};
