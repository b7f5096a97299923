#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A tiny HTTP/1.0 server on loopback for tests: answers GET requests from a
// table of path -> (status, body), counts and records the paths asked for.
class TestHttpServer final : public QTcpServer
{
    Q_OBJECT

public:
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/html; charset=utf-8";
    };

    explicit TestHttpServer(QObject *parent = nullptr);

    // "127.0.0.1:<port>", for the KARTAVIO_*_HOST variables.
    QString hostAndPort() const;
    void setReply(const QString &path, const Reply &reply);
    // Paths without a reply are never answered (the connection stays open).
    void setSilent(const QString &path);

    QStringList requests() const { return m_requests; }
    int requestCount(const QString &path) const { return int(m_requests.count(path)); }
    void clearRequests() { m_requests.clear(); }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);

    QHash<QString, Reply> m_replies;
    QStringList m_silent;
    QStringList m_requests;
};
