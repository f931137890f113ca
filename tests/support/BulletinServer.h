#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

// A small HTTP server on 127.0.0.1 standing in for the central bank's rates site: it answers
// each path with what the test put there, and 404 with an HTML page for any other. Never the internet.
class BulletinServer : public QObject
{
    Q_OBJECT
public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        int delayMs = 0;          // waits this long before answering (a slow site)
        QByteArray location = {}; // a redirect's target
    };

    BulletinServer(); // listening on a free port of 127.0.0.1
    ~BulletinServer() override;

    // The base the program's address setting points to: "http://127.0.0.1:<port>/kurlar/".
    QString base() const;
    // `path` under the base ("202512/05122025.xml", "today.xml").
    void put(const QString &path, const Answer &answer);
    // The test bulletin file tests/exchange/data/bulletins/<file> at `path`.
    void putFile(const QString &path, const QString &file);
    void stop(); // no longer listening: as without a network

    QStringList asked; // the paths asked, in order

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
    quint16 m_port = 0;
};
