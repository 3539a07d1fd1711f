#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>

#include <memory>

class QThread;

namespace testing {

class HttpWorker;

// A tiny HTTP server on 127.0.0.1 that answers from its own thread, so that a blocking fetch on the test's
// thread can be served. Paths map to canned answers; unknown paths get a 404 page with a body.
class LocalHttpServer
{
public:
    enum class Kind {
        Page,        // status line, Content-Length, the body, then close
        NeverAnswer, // reads the request and stays silent, connection open
        Stall,       // announces more than it sends, sends the body, then stays silent
    };

    struct Answer
    {
        Kind kind = Kind::Page;
        QByteArray body;
        QByteArray status = QByteArrayLiteral("200 OK");
        qint64 announcedLength = -1; // -1: the body's size
        QByteArray headers; // further header lines, each ending in CR LF
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer &) = delete;
    LocalHttpServer &operator=(const LocalHttpServer &) = delete;

    bool start();
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>", no trailing slash.
    QByteArray root() const;
    QByteArray address(const QByteArray &path) const { return root() + path; }

    void serve(const QByteArray &path, const QByteArray &body, const QByteArray &status = QByteArrayLiteral("200 OK"));
    void serve(const QByteArray &path, const Answer &answer);

    // Request heads received so far, in order, each up to its blank line.
    QList<QByteArray> requests() const;
    QList<QByteArray> requestedPaths() const;

    // A port on 127.0.0.1 where nobody listens, so a connection is refused at once.
    static quint16 refusingPort();

    // For the worker thread.
    Answer answerFor(const QByteArray &path) const;
    void record(const QByteArray &head);

private:
    mutable QMutex m_mutex;
    QHash<QByteArray, Answer> m_answers;
    QList<QByteArray> m_requests;
    quint16 m_port = 0;
    QThread *m_thread = nullptr;
    HttpWorker *m_worker = nullptr;
};

} // namespace testing
