#include "BulletinServer.h"

#include "Workspace.h"

#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

BulletinServer::BulletinServer()
{
    m_server.listen(QHostAddress::LocalHost);
    m_port = m_server.serverPort();
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

BulletinServer::~BulletinServer() = default;

QString BulletinServer::base() const
{
    return u"http://127.0.0.1:%1/kurlar/"_s.arg(m_port);
}

void BulletinServer::put(const QString &path, const Answer &answer)
{
    m_answers.insert(u"/kurlar/"_s + path, answer);
}

void BulletinServer::putFile(const QString &path, const QString &file)
{
    put(path, {200, testData(u"exchange/data/bulletins/"_s + file)});
}

void BulletinServer::stop()
{
    m_server.close();
}

void BulletinServer::serve(QTcpSocket *socket)
{
    if (!socket->canReadLine() || socket->property("served").toBool())
        return;
    socket->setProperty("served", true);
    const QList<QByteArray> request = socket->readLine().split(' ');
    const QString path = request.size() > 1 ? QString::fromLatin1(request.at(1)) : QString();
    asked << path.mid(QStringLiteral("/kurlar/").size());
    const Answer answer =
        m_answers.value(path, {404, "<!DOCTYPE html><html><head><title>404</title></head><body>Yok</body></html>"});
    const auto reply = [socket, answer] {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " X\r\n";
        head += "Content-Type: " + QByteArray(answer.body.startsWith("<?xml") ? "text/xml" : "text/html") + "\r\n";
        if (!answer.location.isEmpty())
            head += "Location: " + answer.location + "\r\n";
        head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n";
        socket->write(head + answer.body);
        socket->disconnectFromHost();
    };
    if (answer.delayMs > 0)
        QTimer::singleShot(answer.delayMs, socket, reply);
    else
        reply();
}
