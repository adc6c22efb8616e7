#pragma once

#include <QtGlobal>
#include <optional>
#include <vector>

class QIODevice;

namespace kestrova {

// Peak levels spread evenly through a file, looked up by the playback slider
// (millionths of the play length). Entry k (from 1) stands for the two bytes
// just before offset 1 + (k - 1) * step, read as an unsigned little-endian number
// and taken as the distance from 32,750; entry 0 reads 0.
class LevelTable {
public:
    static constexpr qint64 kSliderRange = 1'000'000;

    // No levels: every lookup reads 0.
    LevelTable() = default;

    // Reads the levels of a whole random-access source. Only the lookups the
    // slider can reach are kept, so the memory stays bounded whatever the size.
    static LevelTable build(QIODevice& source);

    // Bytes between two entries for a file of `length` bytes; 0 when the file
    // is too short for a table. Never below 4 bytes.
    static qint64 stepFor(qint64 length);
    // The entry that a slider value looks up.
    static qint64 entryIndex(qint64 levelCount, qint64 sliderValue);

    qint64 levelCount() const { return count_; }
    // The level shown at a slider value; nothing when the value lies off the slider.
    std::optional<int> levelAt(qint64 sliderValue) const;

private:
    // Either every entry (0 to count) or, for more entries than slider values,
    // one per slider value.
    bool perSliderValue() const { return count_ > kSliderRange; }
    qint64 entryOfSlot(qint64 slot) const { return perSliderValue() ? entryIndex(count_, slot) : slot; }

    qint64 count_ = 0;
    qint64 step_ = 0;
    std::vector<quint16> levels_;
};

// One tick of the peak bar: a higher level is taken without showing it yet,
// otherwise the held peak decays by 11 % and is shown. Returns the value for the
// bar, or nothing when the bar keeps its value.
std::optional<int> followPeak(double& meterPeak, int level);

} // namespace kestrova
