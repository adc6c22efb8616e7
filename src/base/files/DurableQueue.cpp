#include "base/files/DurableQueue.h"

#include "base/files/DurableAppend.h"
#include "base/files/RegularFile.h"
#include "base/files/SafeSaveFile.h"

#include <QFile>
#include <algorithm>
#include <utility>

namespace kestrova {

namespace {

// Each line is "+" and the record in Base64 (a record may hold any byte), or "-"
// for the first record taken off.
constexpr char kAdded = '+';
constexpr char kTaken = '-';
// Below this many marks the file is not written anew.
constexpr qsizetype kMarksBeforeRewrite = 64;
// The file holds at most about twice the capacity in lines (records and marks);
// a record of a recording takes well under a kilobyte. The reading of a larger
// file is bounded in time as well, since the start waits for it.
constexpr qint64 kBytesPerLine = 1024;
constexpr qint64 kLeastByteLimit = 1024 * 1024;
constexpr qint64 kMostByteLimit = 64 * 1024 * 1024;
constexpr qint64 kReadBlock = 64 * 1024;
constexpr qsizetype kLongestLine = 1024 * 1024;

qint64 defaultByteLimit(qsizetype capacity) {
    return std::clamp(2 * kBytesPerLine * qint64(capacity), kLeastByteLimit, kMostByteLimit);
}

QByteArray addedLine(const QByteArray& record) {
    return kAdded + record.toBase64() + '\n';
}

} // namespace

DurableQueue::DurableQueue(QString path, qsizetype capacity, qint64 byteLimit)
    : path_(std::move(path)), capacity_(capacity),
      byteLimit_(byteLimit < 0 ? defaultByteLimit(capacity) : byteLimit) {}

bool DurableQueue::load() {
    records_.clear();
    marks_ = 0;
    bool torn = false;
    if (!readTail(torn)) {
        inMemoryOnly_ = true;
        return false;
    }
    // A torn last line must not run into the next append, and a file of more than
    // fits is cut down.
    if (torn || dropped_ > 0) {
        return rewrite();
    }
    return true;
}

bool DurableQueue::readTail(bool& torn) {
    const RegularFileOpen opened = openRegularFile(path_);
    if (!opened.file) {
        return opened.trouble == RegularFileTrouble::Missing;
    }
    const qint64 skipped = std::max<qint64>(0, opened.file->size() - byteLimit_);
    if (!opened.file->seek(skipped)) {
        return false;
    }
    // The first line read may be the tail of one that was skipped.
    bool inLongLine = skipped > 0;
    QByteArray line;
    qsizetype givenWay = 0;
    for (qint64 left = byteLimit_; left > 0 && !opened.file->atEnd();) {
        const QByteArray block = opened.file->read(std::min(left, kReadBlock));
        if (block.isEmpty()) {
            break;
        }
        left -= block.size();
        qsizetype begin = 0;
        for (qsizetype end = block.indexOf('\n'); end >= 0;
             begin = end + 1, end = block.indexOf('\n', begin)) {
            if (!inLongLine) {
                line.append(block.constData() + begin, end - begin);
                takeLine(line, givenWay);
            }
            line.clear();
            inLongLine = false;
        }
        if (!inLongLine) {
            line.append(block.constData() + begin, block.size() - begin);
        }
        // A line no record could make is dropped, not gathered.
        if (line.size() > kLongestLine) {
            line.clear();
            inLongLine = true;
        }
    }
    torn = !line.isEmpty() || inLongLine;
    dropped_ += givenWay;
    return opened.file->error() == QFileDevice::NoError;
}

// The oldest give way while reading, so a long file never fills the memory; a mark
// then takes off one of those first, as it would have from the whole list.
void DurableQueue::takeLine(const QByteArray& line, qsizetype& givenWay) {
    if (line.startsWith(kAdded)) {
        records_.append(QByteArray::fromBase64(line.mid(1)));
        if (records_.size() > capacity_) {
            records_.removeFirst();
            ++givenWay;
        }
    } else if (line == QByteArray(1, kTaken)) {
        if (givenWay > 0) {
            --givenWay;
            ++marks_;
        } else if (!records_.isEmpty()) {
            records_.removeFirst();
            ++marks_;
        }
    }
}

bool DurableQueue::push(const QByteArray& record) {
    records_.append(record);
    bool written = append(addedLine(record));
    if (records_.size() > capacity_) {
        ++dropped_;
        written = popFront() && written;
    }
    return written;
}

bool DurableQueue::popFront() {
    if (records_.isEmpty()) {
        return true;
    }
    records_.removeFirst();
    ++marks_;
    // When the new file cannot be written the old one stands, and the mark goes there.
    if (marks_ >= kMarksBeforeRewrite && marks_ > records_.size() && rewrite()) {
        return true;
    }
    return append(QByteArray(1, kTaken) + '\n');
}

bool DurableQueue::append(const QByteArray& line) {
    return inMemoryOnly_ || appendDurably(path_, line);
}

bool DurableQueue::rewrite() {
    if (inMemoryOnly_) {
        marks_ = 0;
        return true;
    }
    SafeSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (const QByteArray& record : std::as_const(records_)) {
        file.write(addedLine(record));
    }
    if (!file.commit()) {
        return false;
    }
    marks_ = 0;
    return true;
}

} // namespace kestrova
