#include "base/archive/RecordingLength.h"

#include "base/files/RegularFile.h"

#include <QByteArrayView>
#include <QFile>
#include <algorithm>
#include <optional>

namespace kestrova {

namespace {

// Little-endian unsigned field; nullopt when the file ended before it.
std::optional<quint32> unsignedAt(QByteArrayView bytes, qsizetype offset, int width) {
    if (offset + width > bytes.size()) {
        return std::nullopt;
    }
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<quint8>(bytes[offset + i]);
    }
    return value;
}

// The offset of the data length after a format chunk of 16 or 18 bytes; 0 for
// any other layout.
qsizetype dataLengthOffset(QByteArrayView bytes) {
    const std::optional<quint32> formatLength = unsignedAt(bytes, 16, 4);
    if (formatLength == 16u) {
        return 40;
    }
    return formatLength == 18u ? 42 : 0;
}

QString numberField(const QByteArray& bytes, qsizetype offset, int width) {
    const std::optional<quint32> value = unsignedAt(bytes, offset, width);
    return value ? QString::number(*value) : QString();
}

QString textField(const QByteArray& bytes, qsizetype offset) {
    return offset + 4 <= bytes.size() ? QString::fromLatin1(bytes.mid(offset, 4)) : QString();
}

// The first bytes of the file; none for anything but a plain file, since a pipe or
// device in the folder would block the read.
QByteArray headerOf(const QString& path) {
    const RegularFileOpen opened = openRegularFile(path);
    return opened.file ? opened.file->read(kRecordingHeaderBytes) : QByteArray();
}

} // namespace

double recordingLength(const QString& path) {
    const QByteArray bytes = headerOf(path);
    return recordingLengthOf(bytes.constData(), bytes.size());
}

double readRecordingLength(const QString& path, QStringList& headerFields) {
    headerFields = QStringList(kHeaderFieldCount);
    const QByteArray bytes = headerOf(path);

    headerFields[0] = textField(bytes, 0);
    headerFields[1] = numberField(bytes, 4, 4);
    headerFields[2] = textField(bytes, 8);
    headerFields[3] = textField(bytes, 12);
    headerFields[4] = numberField(bytes, 16, 4);
    headerFields[5] = numberField(bytes, 20, 2);
    headerFields[6] = numberField(bytes, 22, 2);
    headerFields[7] = numberField(bytes, 24, 4);
    headerFields[8] = numberField(bytes, 28, 4);
    headerFields[9] = numberField(bytes, 32, 2);
    headerFields[10] = numberField(bytes, 34, 2);

    const qsizetype dataOffset = dataLengthOffset(bytes);
    if (dataOffset == 0) {
        return 0;
    }
    headerFields[11] = textField(bytes, dataOffset - 4);
    headerFields[12] = numberField(bytes, dataOffset, 4);
    return recordingLengthOf(bytes.constData(), bytes.size());
}

double recordingLengthOf(const char* header, qsizetype size) {
    const QByteArrayView bytes(header, std::min<qsizetype>(size, kRecordingHeaderBytes));
    const qsizetype dataOffset = dataLengthOffset(bytes);
    if (dataOffset == 0) {
        return 0;
    }
    const std::optional<quint32> rate = unsignedAt(bytes, 24, 4);
    const std::optional<quint32> blockAlign = unsignedAt(bytes, 32, 2);
    const std::optional<quint32> dataLength = unsignedAt(bytes, dataOffset, 4);
    if (!rate || !blockAlign || !dataLength || *rate == 0 || *blockAlign == 0) {
        return 0;
    }
    return static_cast<double>(*dataLength) / *blockAlign / *rate;
}

} // namespace kestrova
