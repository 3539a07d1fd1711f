#include "localhttpserver.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace testing {

class HttpWorker : public QObject
{
public:
    explicit HttpWorker(LocalHttpServer &owner)
        : m_owner(owner)
    {
    }

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        if (!m_server->listen(QHostAddress::LocalHost, 0))
            return 0;
        connect(m_server, &QTcpServer::newConnection, this, &HttpWorker::accept);
        return m_server->serverPort();
    }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            auto *head = new QByteArray;
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QObject::destroyed, socket, [head] { delete head; });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, head] { read(socket, *head); });
        }
    }

    void read(QTcpSocket *socket, QByteArray &head)
    {
        if (head.endsWith("\r\n\r\n")) {
            socket->readAll();
            return;
        }
        head += socket->readAll();
        const qsizetype end = head.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        head.truncate(end + 4);
        m_owner.record(head);
        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        answer(socket, m_owner.answerFor(requestLine.value(1)));
    }

    static void answer(QTcpSocket *socket, const LocalHttpServer::Answer &a)
    {
        if (a.kind == LocalHttpServer::Kind::NeverAnswer)
            return;
        const qint64 length = a.announcedLength >= 0 ? a.announcedLength : a.body.size();
        socket->write("HTTP/1.0 " + a.status + "\r\nContent-Type: text/html; charset=gbk\r\nContent-Length: "
            + QByteArray::number(length) + "\r\nConnection: close\r\n" + a.headers + "\r\n");
        socket->write(a.body);
        if (a.kind == LocalHttpServer::Kind::Page)
            socket->disconnectFromHost();
    }

    LocalHttpServer &m_owner;
    QTcpServer *m_server = nullptr;
};

LocalHttpServer::LocalHttpServer() = default;

LocalHttpServer::~LocalHttpServer()
{
    if (!m_thread)
        return;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

bool LocalHttpServer::start()
{
    m_thread = new QThread;
    m_thread->start();
    m_worker = new HttpWorker(*this);
    m_worker->moveToThread(m_thread);
    quint16 port = 0;
    QMetaObject::invokeMethod(m_worker, [this, &port] { port = m_worker->listen(); }, Qt::BlockingQueuedConnection);
    m_port = port;
    return m_port != 0;
}

QByteArray LocalHttpServer::root() const
{
    return "http://127.0.0.1:" + QByteArray::number(m_port);
}

void LocalHttpServer::serve(const QByteArray &path, const QByteArray &body, const QByteArray &status)
{
    Answer a;
    a.body = body;
    a.status = status;
    serve(path, a);
}

void LocalHttpServer::serve(const QByteArray &path, const Answer &answer)
{
    const QMutexLocker lock(&m_mutex);
    m_answers.insert(path, answer);
}

QList<QByteArray> LocalHttpServer::requests() const
{
    const QMutexLocker lock(&m_mutex);
    return m_requests;
}

QList<QByteArray> LocalHttpServer::requestedPaths() const
{
    QList<QByteArray> paths;
    for (const QByteArray &head : requests())
        paths.append(head.left(head.indexOf("\r\n")).split(' ').value(1));
    return paths;
}

LocalHttpServer::Answer LocalHttpServer::answerFor(const QByteArray &path) const
{
    const QMutexLocker lock(&m_mutex);
    const auto found = m_answers.constFind(path);
    if (found != m_answers.cend())
        return *found;
    Answer missing;
    missing.status = QByteArrayLiteral("404 Not Found");
    missing.body = QByteArrayLiteral("<html><body>404 page not found</body></html>");
    return missing;
}

void LocalHttpServer::record(const QByteArray &head)
{
    const QMutexLocker lock(&m_mutex);
    m_requests.append(head);
}

quint16 LocalHttpServer::refusingPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace testing
