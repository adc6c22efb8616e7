#pragma once

#include <QByteArray>
#include <atomic>
#include <cstddef>
#include <mutex>

struct MHD_Connection;

namespace kestrova {

class Microhttpd;

// An answer that never ends: bytes pushed from another thread go out as the client
// takes them. While nothing is waiting, the connection rests with the server (no
// polling), and a client that reads nothing is dropped rather than buffered
// without end.
class EventStream {
public:
    static constexpr qsizetype kMostUnsent = 256 * 1024;

    // `mostUnsent`: how far the client may lag, in bytes, before it is dropped.
    explicit EventStream(QByteArray first, qsizetype mostUnsent = kMostUnsent)
        : pending_(std::move(first)), mostUnsent_(mostUnsent) {}

    // False when the client lags too far behind; the stream then ends.
    bool push(const QByteArray& bytes);
    // Ends the stream at once (the server stops).
    void close();
    // The client has gone and the server has let go of the stream.
    bool isGone() const { return gone_; }

    // On the server's thread: the connection it answers and the library that serves
    // it, before the first read.
    void attach(MHD_Connection* connection, const Microhttpd& library) {
        connection_ = connection;
        library_ = &library;
    }
    // The server's content reader: bytes copied, or the server's end markers.
    qint64 read(char* buffer, std::size_t most);
    void markGone() { gone_ = true; }

private:
    void wake();

    std::mutex mutex_;
    QByteArray pending_;
    const qsizetype mostUnsent_;
    bool resting_ = false; // the connection is suspended until there is more
    bool closed_ = false;
    bool failed_ = false;
    std::atomic<bool> gone_{false};
    MHD_Connection* connection_ = nullptr;
    const Microhttpd* library_ = nullptr;
};

} // namespace kestrova
