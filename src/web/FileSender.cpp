#include "web/FileSender.h"

namespace kestrova {

std::optional<ByteRange> parseByteRange(const QByteArray& header, qint64 fileSize) {
    const QByteArray value = header.trimmed();
    if (!value.startsWith("bytes=") || value.contains(',') || fileSize <= 0) {
        return std::nullopt;
    }
    const QByteArray bounds = value.mid(6);
    const qsizetype dash = bounds.indexOf('-');
    if (dash < 0) {
        return std::nullopt;
    }
    bool firstOk = false;
    bool lastOk = false;
    const qint64 first = bounds.left(dash).toLongLong(&firstOk);
    const qint64 last = bounds.mid(dash + 1).toLongLong(&lastOk);
    if (dash == 0) { // the last N bytes
        if (!lastOk || last <= 0) {
            return std::nullopt;
        }
        return ByteRange{std::max<qint64>(0, fileSize - last), fileSize - 1};
    }
    if (!firstOk || first < 0 || first >= fileSize) {
        return std::nullopt;
    }
    if (dash + 1 == bounds.size()) {
        return ByteRange{first, fileSize - 1};
    }
    if (!lastOk || last < first) {
        return std::nullopt;
    }
    return ByteRange{first, std::min(last, fileSize - 1)};
}

FileSender::FileSender(QHttpServerResponder&& responder, std::unique_ptr<QFile> file, ByteRange range)
    : responder_(std::move(responder)), socket_(responder_.socket()), file_(std::move(file)),
      remaining_(range.size()) {
    if (!socket_ || !file_->seek(range.first)) {
        deleteLater();
        return;
    }
    connect(socket_, &QTcpSocket::bytesWritten, this, &FileSender::sendMore);
    connect(socket_, &QObject::destroyed, this, &FileSender::finish);
    connect(socket_, &QTcpSocket::disconnected, this, &FileSender::finish);
    sendMore();
}

void FileSender::sendMore() {
    // Two chunks in flight keep the line busy without holding the file in memory.
    while (socket_ && remaining_ > 0 && socket_->bytesToWrite() < kChunkBytes) {
        const QByteArray chunk = file_->read(std::min(remaining_, kChunkBytes));
        if (chunk.isEmpty()) {
            // The file shrank under us: the client sees a short answer, not a false one.
            socket_->disconnectFromHost();
            finish();
            return;
        }
        socket_->write(chunk);
        remaining_ -= chunk.size();
    }
    if (remaining_ == 0) {
        finish();
    }
}

void FileSender::finish() {
    if (socket_) {
        disconnect(socket_, nullptr, this, nullptr);
    }
    deleteLater();
}

} // namespace kestrova
