#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <utility>

class QTcpSocket;

// A tiny HTTP/1.1 server on 127.0.0.1 in the test thread, served by whatever event loop
// runs there: each path gets a status and a body; unknown paths get 404 with an error page.
class HttpServer
{
public:
    bool listen();
    QString base() const;
    void route(const QByteArray &path, int status, const QByteArray &body);
    // Status 200 and a body of `size` bytes with no length announced, written a block at
    // a time as the client takes it, until the client stops or it is all out.
    void routeStream(const QByteArray &path, qint64 size);
    // The bytes of streamed bodies written so far.
    qint64 streamed = 0;
    // The paths asked for, in order.
    QList<QByteArray> paths;

private:
    void answer(QTcpSocket *socket);
    void stream(QTcpSocket *socket, qint64 size);

    QTcpServer m_server;
    QHash<QByteArray, std::pair<int, QByteArray>> m_routes;
    QHash<QByteArray, qint64> m_streams;
    QHash<QTcpSocket *, QByteArray> m_pending;
};
