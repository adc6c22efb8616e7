#pragma once

#include "base/common/ListedRecording.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <initializer_list>
#include <vector>

namespace kestrova {

// The entries of the recording list, in list order. An archive of real size lists
// a hundred thousand names, so they are kept as UTF-8 one after another in a
// single block instead of one string each: a third of the memory. Copies share
// the block until one of them changes, so a reader on another thread can take
// the whole list cheaply.
class ListedRecordings {
public:
    ListedRecordings() = default;
    ListedRecordings(std::initializer_list<ListedRecording> entries);

    std::size_t size() const { return static_cast<std::size_t>(slots_.size()); }
    bool empty() const { return slots_.isEmpty(); }
    // Entry `index`, which must exist.
    ListedRecording operator[](std::size_t index) const;
    QString nameAt(std::size_t index) const;
    double secondsAt(std::size_t index) const { return slotAt(index).seconds; }
    // The first entry listing `name`; -1 when none does.
    qsizetype indexOf(const QString& name) const;
    // The last entry listing `name`; -1 when none does.
    qsizetype lastIndexOf(const QString& name) const;
    bool contains(const QString& name) const { return lastIndexOf(name) >= 0; }

    void append(const ListedRecording& entry);
    // The same for a name already spelt in UTF-8.
    void appendUtf8(QByteArrayView name, double seconds);
    // Keeps only the entries at `indexes`, in that order, and gives back the room
    // kept for more. The names of the others stay in the block until it is rebuilt.
    void keepOnly(const std::vector<quint32>& indexes);
    bool operator==(const ListedRecordings& other) const;

private:
    struct Slot {
        quint32 offset = 0;
        quint32 length = 0;
        double seconds = 0;
    };
    const Slot& slotAt(std::size_t index) const { return slots_[static_cast<qsizetype>(index)]; }
    QByteArrayView nameBytesAt(std::size_t index) const;

    QByteArray names_;
    QList<Slot> slots_;
};

} // namespace kestrova
