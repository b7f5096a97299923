#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace StandIn {

// A tiny HTTP/1.0 server on loopback: answers GET and HEAD requests from a
// table of request target -> reply, or from a handler for the rest, and
// records the targets asked for. A reply can also be delivered the way a
// broken or hostile host would.
class HttpServer final : public QTcpServer
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

    // The reply to a request target (path and query) not in the table.
    using Handler = std::function<Reply(const QString &target)>;

    static constexpr int defaultDribbleIntervalMs = 200;
    static constexpr int lateMs = 1500;

    // Listens on 127.0.0.1:`port` at once; 0 picks a free port.
    explicit HttpServer(QObject *parent = nullptr, quint16 port = 0);

    // "127.0.0.1:<port>", for the KARTAVIO_*_HOST variables.
    QString hostAndPort() const;
    void setReply(const QString &target, const Reply &reply);
    // The target is never answered (the connection stays open).
    void setSilent(const QString &target);
    // Without a handler, targets not in the table get a 404.
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // Milliseconds between two bytes of a dribbled body.
    void setDribbleInterval(int ms) { m_dribbleIntervalMs = ms; }

    QStringList requests() const { return m_requests; }
    int requestCount(const QString &target) const { return int(m_requests.count(target)); }
    void clearRequests() { m_requests.clear(); }

signals:
    // A request was read; `status` is what goes back, 0 when nothing does.
    void answering(const QByteArray &method, const QString &target, int status);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void startDribble(QTcpSocket *socket, const QByteArray &body);
    void dribble(QTcpSocket *socket);

    QHash<QString, Reply> m_replies;
    Handler m_handler;
    QStringList m_requests;
    int m_dribbleIntervalMs = defaultDribbleIntervalMs;
};

} // namespace StandIn
