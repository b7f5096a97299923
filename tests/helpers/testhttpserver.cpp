#include "helpers/testhttpserver.h"

#include <QTcpSocket>

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
    m_silent.append(path);
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
    if (!request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> firstLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = firstLine.size() >= 2 ? QString::fromLatin1(firstLine[1]) : QString();
    m_requests.append(path);
    if (m_silent.contains(path))
        return;
    const Reply reply = m_replies.value(path, Reply{404, QByteArrayLiteral("not found")});
    QByteArray answer = "HTTP/1.0 " + QByteArray::number(reply.status) + " X\r\n";
    answer += "Content-Type: " + reply.contentType + "\r\n";
    answer += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    answer += "Connection: close\r\n\r\n";
    answer += reply.body;
    socket->write(answer);
    socket->disconnectFromHost();
}
