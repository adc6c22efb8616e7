#include "base/files/TarWriter.h"

#include <QIODevice>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>

namespace kestrova {

namespace {
constexpr qint64 kCopyBlock = 1 << 16;
constexpr int kFilePermissions = 0644;

la_ssize_t writeToDevice(archive* /*handle*/, void* device, const void* data, size_t size) {
    const qint64 written =
        static_cast<QIODevice*>(device)->write(static_cast<const char*>(data), static_cast<qint64>(size));
    return written == static_cast<qint64>(size) ? static_cast<la_ssize_t>(written) : -1;
}

struct EntryFree {
    void operator()(archive_entry* entry) const { archive_entry_free(entry); }
};
} // namespace

void TarWriter::ArchiveFree::operator()(archive* handle) const {
    archive_write_free(handle);
}

TarWriter::TarWriter(QIODevice& target) : archive_(archive_write_new()), target_(target) {
    // No padding of the last block to 10 KiB: the file is as long as its records.
    if (archive_write_set_format_pax_restricted(archive_.get()) != ARCHIVE_OK ||
        archive_write_add_filter_none(archive_.get()) != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(archive_.get(), 1) != ARCHIVE_OK ||
        archive_write_open2(archive_.get(), &target_, nullptr, &writeToDevice, nullptr, nullptr) !=
            ARCHIVE_OK) {
        fail();
    }
}

TarWriter::~TarWriter() = default;

bool TarWriter::fail() {
    if (error_.isEmpty()) {
        const char* text = archive_error_string(archive_.get());
        error_ = text != nullptr ? QString::fromLocal8Bit(text) : QStringLiteral("Schreibfehler");
    }
    return false;
}

bool TarWriter::beginEntry(const QString& name, qint64 size, const QDateTime& modified) {
    if (!error_.isEmpty()) {
        return false;
    }
    const std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), kFilePermissions);
    archive_entry_set_size(entry.get(), size);
    archive_entry_set_mtime(entry.get(), modified.isValid() ? modified.toSecsSinceEpoch() : 0, 0);
    return archive_write_header(archive_.get(), entry.get()) == ARCHIVE_OK || fail();
}

bool TarWriter::addFile(const QString& name, QIODevice& source, qint64 size, const QDateTime& modified) {
    if (!beginEntry(name, size, modified)) {
        return false;
    }
    for (qint64 left = size; left > 0;) {
        const QByteArray block = source.read(std::min(left, kCopyBlock));
        if (block.isEmpty()) {
            error_ = QStringLiteral("%1 ist beim Lesen kürzer geworden").arg(name);
            return false;
        }
        if (archive_write_data(archive_.get(), block.constData(), static_cast<size_t>(block.size())) !=
            static_cast<la_ssize_t>(block.size())) {
            return fail();
        }
        left -= block.size();
    }
    return archive_write_finish_entry(archive_.get()) == ARCHIVE_OK || fail();
}

bool TarWriter::addBytes(const QString& name, const QByteArray& bytes, const QDateTime& modified) {
    if (!beginEntry(name, bytes.size(), modified)) {
        return false;
    }
    if (!bytes.isEmpty() && archive_write_data(archive_.get(), bytes.constData(),
                                               static_cast<size_t>(bytes.size())) != bytes.size()) {
        return fail();
    }
    return archive_write_finish_entry(archive_.get()) == ARCHIVE_OK || fail();
}

bool TarWriter::finish() {
    if (!error_.isEmpty()) {
        return false;
    }
    return archive_write_close(archive_.get()) == ARCHIVE_OK || fail();
}

} // namespace kestrova
