#include "helpers/testhttpserver.h"

#include <QTcpSocket>
#include <QTimer>

TestHttpServer::TestHttpServer(QObject *parent)
    : QTcpServer(parent)
{
    connect(this, &QTcpServer::newConnection, this, &TestHttpServer::onNewConnection);
    listen(QHostAddress::LocalHost, 0);
}

QString TestHttpServer::hostAndPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(serverPort());
}

void TestHttpServer::setReply(const QString &path, const Reply &reply)
{
    m_replies.insert(path, reply);
}

void TestHttpServer::setSilent(const QString &path)
{
    m_replies.insert(path, Reply{.delivery = Delivery::Silent});
}

void TestHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->setProperty("request", QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    }
}

void TestHttpServer::onReadyRead(QTcpSocket *socket)
{
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> firstLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = firstLine.size() >= 2 ? QString::fromLatin1(firstLine[1]) : QString();
    m_requests.append(path);
    const Reply reply = m_replies.value(path, Reply{404, QByteArrayLiteral("not found")});
    if (reply.delivery == Delivery::Silent)
        return;
    QByteArray answer = "HTTP/1.0 " + QByteArray::number(reply.status) + " X\r\n";
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

void TestHttpServer::startDribble(QTcpSocket *socket, const QByteArray &body)
{
    socket->setProperty("dribbled", body);
    socket->setProperty("sent", 0);
    // Dies with the socket, so a client that gives up ends the dribble.
    auto *timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, this, [this, socket] { dribble(socket); });
    timer->start(m_dribbleIntervalMs);
}

void TestHttpServer::dribble(QTcpSocket *socket)
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
