#pragma once

#include <QByteArray>
#include <QFile>
#include <QHttpServerResponder>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <optional>
#include <utility>

namespace kestrova {

// The bytes a "Range: bytes=..." header asks for, first and last included.
struct ByteRange {
    qint64 first = 0;
    qint64 last = 0;
    qint64 size() const { return last - first + 1; }
};
// nullopt for a header that asks for nothing the file has (or for several ranges).
std::optional<ByteRange> parseByteRange(const QByteArray& header, qint64 fileSize);

// Sends a part of a file in chunks, the next one only once the socket has sent most
// of the last: a one-hour recording never sits in memory, and a slow client only
// slows itself. Deletes itself when done or when the client goes.
class FileSender : public QObject {
    Q_OBJECT
public:
    // Big enough that a download wakes the server's thread about twice a second at a
    // remote line's speed; two pieces in flight are 2 MB for each download.
    static constexpr qint64 kChunkBytes = 1024 * 1024;

    // The status line and headers are already written; the file is open.
    FileSender(QHttpServerResponder&& responder, std::unique_ptr<QFile> file, ByteRange range);

private:
    void sendMore();
    void finish();

    QHttpServerResponder responder_;
    QPointer<QTcpSocket> socket_;
    std::unique_ptr<QFile> file_;
    qint64 remaining_;
};

} // namespace kestrova
