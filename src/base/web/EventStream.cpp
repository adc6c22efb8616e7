#include "base/web/EventStream.h"

#include "base/web/Microhttpd.h"

#include <cstring>

namespace kestrova {

bool EventStream::push(const QByteArray& bytes) {
    const std::lock_guard lock(mutex_);
    if (closed_) {
        return false;
    }
    if (pending_.size() + bytes.size() > mostUnsent_) {
        closed_ = true;
        failed_ = true;
    } else {
        pending_ += bytes;
    }
    wake();
    return !failed_;
}

void EventStream::close() {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    wake();
}

// Resuming is safe from any thread, and only a suspended connection may be resumed;
// both sides decide under the same lock.
void EventStream::wake() {
    if (resting_) {
        resting_ = false;
        library_->functions()->resumeConnection(connection_);
    }
}

qint64 EventStream::read(char* buffer, std::size_t most) {
    const std::lock_guard lock(mutex_);
    if (failed_) {
        return MHD_CONTENT_READER_END_WITH_ERROR;
    }
    if (closed_) {
        return MHD_CONTENT_READER_END_OF_STREAM;
    }
    if (pending_.isEmpty()) {
        resting_ = true;
        library_->functions()->suspendConnection(connection_);
        return 0;
    }
    const auto count = std::min<qsizetype>(pending_.size(), static_cast<qsizetype>(most));
    std::memcpy(buffer, pending_.constData(), static_cast<std::size_t>(count));
    pending_.remove(0, count);
    return count;
}

} // namespace kestrova
