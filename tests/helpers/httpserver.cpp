#include "helpers/httpserver.h"

#include <QTcpSocket>
#include <algorithm>
#include <memory>

bool HttpServer::listen()
{
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket] { answer(socket); });
        }
    });
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString HttpServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void HttpServer::route(const QByteArray &path, int status, const QByteArray &body)
{
    m_routes.insert(path, {status, body});
}

void HttpServer::routeStream(const QByteArray &path, qint64 size)
{
    m_streams.insert(path, size);
}

void HttpServer::stream(QTcpSocket *socket, qint64 size)
{
    socket->write("HTTP/1.1 200 X\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
    auto left = std::make_shared<qint64>(size);
    const auto more = [this, socket, left] {
        // A block more whenever the socket has handed the last one to the system.
        if (socket->bytesToWrite() > 0 || socket->state() != QAbstractSocket::ConnectedState)
            return;
        if (*left == 0) {
            socket->disconnectFromHost();
            return;
        }
        const qint64 block = std::min<qint64>(*left, 64 * 1024);
        socket->write(QByteArray(block, 'x'));
        *left -= block;
        streamed += block;
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

void HttpServer::answer(QTcpSocket *socket)
{
    QByteArray &pending = m_pending[socket];
    pending += socket->readAll();
    if (!pending.contains("\r\n\r\n"))
        return;
    const QByteArray path = pending.split(' ').value(1);
    m_pending.remove(socket);
    paths << path;
    if (m_streams.contains(path)) {
        stream(socket, m_streams.value(path));
        return;
    }
    const auto [status, body] = m_routes.value(path, {404, "<html>Not Found</html>"});
    socket->write("HTTP/1.1 " + QByteArray::number(status) +
                  " X\r\nContent-Type: text/html\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}
