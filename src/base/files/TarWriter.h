#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>

class QIODevice;
struct archive;

namespace kestrova {

// Writes an uncompressed POSIX tar (pax where a name needs it) onto a device:
// any tar or file manager unpacks it. WAV data does not compress, so none is tried.
class TarWriter {
public:
    explicit TarWriter(QIODevice& target);
    ~TarWriter();
    TarWriter(const TarWriter&) = delete;
    TarWriter& operator=(const TarWriter&) = delete;

    // Adds a file of `size` bytes read from source; false when the source gives
    // fewer bytes or the target cannot be written.
    bool addFile(const QString& name, QIODevice& source, qint64 size, const QDateTime& modified);
    bool addBytes(const QString& name, const QByteArray& bytes, const QDateTime& modified);
    // Writes the end of the tar; false when anything before or now failed.
    bool finish();
    // What went wrong; empty while all is well.
    QString error() const { return error_; }

private:
    bool beginEntry(const QString& name, qint64 size, const QDateTime& modified);
    bool fail();

    struct ArchiveFree {
        void operator()(archive* handle) const;
    };
    std::unique_ptr<archive, ArchiveFree> archive_;
    QIODevice& target_;
    QString error_;
};

} // namespace kestrova
