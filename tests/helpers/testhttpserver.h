#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A tiny HTTP/1.0 server on loopback for tests: answers GET requests from a
// table of path -> (status, body), counts and records the paths asked for.
// A reply can also be delivered the way a broken or hostile host would.
class TestHttpServer final : public QTcpServer
{
    Q_OBJECT

public:
    enum class Delivery {
        Whole,   // the whole answer at once, then the connection closes
        Silent,  // the request is read, nothing is ever sent back
        Dribble, // the head at once, then one byte of the body per dribble interval
        Cut,     // full Content-Length declared, half the body sent, then closed
        Late,    // the whole answer, lateMs after the request
    };

    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/html; charset=utf-8";
        Delivery delivery = Delivery::Whole;
        bool declareLength = true; // false: the body ends when the connection closes
        QByteArray headers;        // more header lines, each ending in "\r\n"
    };

    static constexpr int defaultDribbleIntervalMs = 200;
    static constexpr int lateMs = 1500;

    explicit TestHttpServer(QObject *parent = nullptr);

    // "127.0.0.1:<port>", for the KARTAVIO_*_HOST variables.
    QString hostAndPort() const;
    void setReply(const QString &path, const Reply &reply);
    // The path is never answered (the connection stays open).
    void setSilent(const QString &path);
    // Milliseconds between two bytes of a dribbled body.
    void setDribbleInterval(int ms) { m_dribbleIntervalMs = ms; }

    QStringList requests() const { return m_requests; }
    int requestCount(const QString &path) const { return int(m_requests.count(path)); }
    void clearRequests() { m_requests.clear(); }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void startDribble(QTcpSocket *socket, const QByteArray &body);
    void dribble(QTcpSocket *socket);

    QHash<QString, Reply> m_replies;
    QStringList m_requests;
    int m_dribbleIntervalMs = defaultDribbleIntervalMs;
};
