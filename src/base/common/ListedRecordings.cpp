#include "base/common/ListedRecordings.h"

#include <utility>

namespace kestrova {

ListedRecordings::ListedRecordings(std::initializer_list<ListedRecording> entries) {
    for (const ListedRecording& entry : entries) {
        append(entry);
    }
}

ListedRecording ListedRecordings::operator[](std::size_t index) const {
    return {nameAt(index), secondsAt(index)};
}

QString ListedRecordings::nameAt(std::size_t index) const {
    return QString::fromUtf8(nameBytesAt(index));
}

QByteArrayView ListedRecordings::nameBytesAt(std::size_t index) const {
    const Slot& slot = slotAt(index);
    return QByteArrayView(names_).sliced(slot.offset, slot.length);
}

qsizetype ListedRecordings::indexOf(const QString& name) const {
    const QByteArray wanted = name.toUtf8();
    for (std::size_t index = 0; index < size(); ++index) {
        if (nameBytesAt(index) == wanted) {
            return static_cast<qsizetype>(index);
        }
    }
    return -1;
}

qsizetype ListedRecordings::lastIndexOf(const QString& name) const {
    const QByteArray wanted = name.toUtf8();
    for (std::size_t index = size(); index > 0; --index) {
        if (nameBytesAt(index - 1) == wanted) {
            return static_cast<qsizetype>(index - 1);
        }
    }
    return -1;
}

void ListedRecordings::append(const ListedRecording& entry) {
    appendUtf8(entry.name.toUtf8(), entry.seconds);
}

void ListedRecordings::appendUtf8(QByteArrayView name, double seconds) {
    slots_.append({static_cast<quint32>(names_.size()), static_cast<quint32>(name.size()), seconds});
    names_.append(name);
}

void ListedRecordings::keepOnly(const std::vector<quint32>& indexes) {
    QList<Slot> kept;
    kept.reserve(static_cast<qsizetype>(indexes.size()));
    for (const quint32 index : indexes) {
        kept.append(slotAt(index));
    }
    slots_ = std::move(kept);
    names_.squeeze();
}

bool ListedRecordings::operator==(const ListedRecordings& other) const {
    if (size() != other.size()) {
        return false;
    }
    // Copies of one list share their blocks.
    if (names_.constData() == other.names_.constData() && slots_.constData() == other.slots_.constData()) {
        return true;
    }
    for (std::size_t index = 0; index < size(); ++index) {
        if (nameBytesAt(index) != other.nameBytesAt(index) || secondsAt(index) != other.secondsAt(index)) {
            return false;
        }
    }
    return true;
}

} // namespace kestrova
