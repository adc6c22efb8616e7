#include "base/files/DurableQueue.h"

#include "base/files/DurableAppend.h"
#include "base/files/RegularFile.h"
#include "base/files/SafeSaveFile.h"

#include <QFile>
#include <utility>

namespace kestrova {

namespace {

// Each line is "+" and the record in Base64 (a record may hold any byte), or "-"
// for the first record taken off.
constexpr char kAdded = '+';
constexpr char kTaken = '-';
// Below this many marks the file is not written anew.
constexpr qsizetype kMarksBeforeRewrite = 64;

QByteArray addedLine(const QByteArray& record) {
    return kAdded + record.toBase64() + '\n';
}

} // namespace

DurableQueue::DurableQueue(QString path, qsizetype capacity) : path_(std::move(path)), capacity_(capacity) {}

bool DurableQueue::load() {
    records_.clear();
    marks_ = 0;
    const RegularFileOpen opened = openRegularFile(path_);
    if (!opened.file) {
        return opened.trouble == RegularFileTrouble::Missing;
    }
    const QByteArray content = opened.file->readAll();
    qsizetype begin = 0;
    for (qsizetype end = content.indexOf('\n'); end >= 0;
         begin = end + 1, end = content.indexOf('\n', begin)) {
        const QByteArray line = content.mid(begin, end - begin);
        if (line.startsWith(kAdded)) {
            records_.append(QByteArray::fromBase64(line.mid(1)));
        } else if (line == QByteArray(1, kTaken) && !records_.isEmpty()) {
            records_.removeFirst();
            ++marks_;
        }
    }
    while (records_.size() > capacity_) {
        records_.removeFirst();
        ++dropped_;
    }
    // A torn last line must not run into the next append.
    if (begin < content.size()) {
        return rewrite();
    }
    return true;
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
    return appendDurably(path_, line);
}

bool DurableQueue::rewrite() {
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
