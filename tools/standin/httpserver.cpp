#include "standin/httpserver.h"

#include <QTcpSocket>
#include <QTimer>

namespace StandIn {

namespace {

// A request head larger than this is no request of a browser: dropped.
constexpr qsizetype maxRequestBytes = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

HttpServer::HttpServer(QObject *parent, quint16 port)
    : QTcpServer(parent)
{
    connect(this, &QTcpServer::newConnection, this, &HttpServer::onNewConnection);
    listen(QHostAddress::LocalHost, port);
}

QString HttpServer::hostAndPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(serverPort());
}

void HttpServer::setReply(const QString &target, const Reply &reply)
{
    m_replies.insert(target, reply);
}

void HttpServer::setSilent(const QString &target)
{
    m_replies.insert(target, Reply{.delivery = Delivery::Silent});
}

void HttpServer::onNewConnection()
{
    while (QTcpSocket *socket = nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->setProperty("request", QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    }
}

void HttpServer::onReadyRead(QTcpSocket *socket)
{
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    if (socket->property("answered").toBool())
        return;
    if (!request.contains("\r\n\r\n")) {
        if (request.size() > maxRequestBytes)
            socket->abort();
        else
            socket->setProperty("request", request);
        return;
    }
    socket->setProperty("answered", true);
    socket->setProperty("request", QByteArray());
    const QList<QByteArray> firstLine = request.left(request.indexOf("\r\n")).split(' ');
    const QByteArray method = firstLine.value(0);
    const QString target = firstLine.size() >= 2 ? QString::fromLatin1(firstLine[1]) : QString();
    m_requests.append(target);
    const auto listed = m_replies.constFind(target);
    Reply reply = listed != m_replies.cend() ? *listed
                  : m_handler                ? m_handler(target)
                                             : Reply{404, QByteArrayLiteral("not found")};
    if (method == "HEAD" && reply.delivery != Delivery::Silent) {
        // The head as for GET, length included, and no body.
        reply.headers += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        reply = Reply{reply.status, {}, reply.contentType, Delivery::Whole, false, reply.headers};
    }
    emit answering(method, target, reply.delivery == Delivery::Silent ? 0 : reply.status);
    if (reply.delivery == Delivery::Silent)
        return;
    QByteArray answer = "HTTP/1.0 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    answer += "Content-Type: " + reply.contentType + "\r\n";
    if (reply.declareLength)
        answer += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    answer += reply.headers + "Connection: close\r\n\r\n";
    switch (reply.delivery) {
    case Delivery::Dribble:
        socket->write(answer);
        startDribble(socket, reply.body);
        return;
    case Delivery::Cut:
        // Closed a moment later, as a server that dies mid-reply would.
        socket->write(answer + reply.body.left(reply.body.size() / 2));
        QTimer::singleShot(50, socket, &QTcpSocket::disconnectFromHost);
        return;
    case Delivery::Late:
        answer += reply.body;
        QTimer::singleShot(lateMs, socket, [socket, answer] {
            socket->write(answer);
            socket->disconnectFromHost();
        });
        return;
    default:
        answer += reply.body;
        break;
    }
    socket->write(answer);
    // Closing at once can make the client send the request again before it
    // has read the answer; a real server is rarely that quick.
    QTimer::singleShot(50, socket, &QTcpSocket::disconnectFromHost);
}

void HttpServer::startDribble(QTcpSocket *socket, const QByteArray &body)
{
    socket->setProperty("dribbled", body);
    socket->setProperty("sent", 0);
    // Dies with the socket, so a client that gives up ends the dribble.
    auto *timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, this, [this, socket] { dribble(socket); });
    timer->start(m_dribbleIntervalMs);
}

void HttpServer::dribble(QTcpSocket *socket)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray body = socket->property("dribbled").toByteArray();
    const int sent = socket->property("sent").toInt();
    if (sent >= body.size()) {
        socket->disconnectFromHost();
        return;
    }
    socket->write(body.mid(sent, 1));
    socket->setProperty("sent", sent + 1);
}

} // namespace StandIn
