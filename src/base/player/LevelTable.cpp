#include "base/player/LevelTable.h"

#include "base/common/NumericValue.h"

#include <QIODevice>
#include <algorithm>
#include <cstdlib>

namespace kestrova {

namespace {

constexpr int kMidpoint = 32'750;
constexpr qint64 kWindow = 1 << 16;

// Serves byte pairs at rising offsets from a window that moves forward through the
// source, reading each stretch of the file at most once.
class PairReader {
public:
    explicit PairReader(QIODevice& source) : source_(source), window_(kWindow, '\0') {}

    std::optional<quint16> pairAt(qint64 offset) {
        if (offset < start_ || offset + 2 > start_ + filled_) {
            if (!fill(offset)) {
                return std::nullopt;
            }
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(window_.data() + (offset - start_));
        return quint16(bytes[0] | (bytes[1] << 8));
    }

private:
    bool fill(qint64 offset) {
        if (offset + 2 > source_.size() || !source_.seek(offset)) {
            return false;
        }
        start_ = offset;
        filled_ = 0;
        while (filled_ < kWindow) {
            const qint64 got = source_.read(window_.data() + filled_, kWindow - filled_);
            if (got <= 0) {
                break;
            }
            filled_ += got;
        }
        return filled_ >= 2;
    }

    QIODevice& source_;
    std::vector<char> window_;
    qint64 start_ = 0;
    qint64 filled_ = 0;
};

} // namespace

qint64 LevelTable::stepFor(qint64 length) {
    const qint64 n = length / 4;
    if (n <= 0) {
        return 0;
    }
    // Above 4,000,003 bytes the quotient is 0; four bytes is as fine as the table gets.
    return std::max<qint64>(kSliderRange / n, 1) * 4;
}

qint64 LevelTable::entryIndex(qint64 levelCount, qint64 sliderValue) {
    return wholePart(double(levelCount) * double(sliderValue) / double(kSliderRange));
}

LevelTable LevelTable::build(QIODevice& source) {
    LevelTable table;
    const qint64 length = source.size();
    table.step_ = stepFor(length);
    if (table.step_ == 0) {
        return table;
    }
    table.count_ = (length - 1) / table.step_ + 1;
    const qint64 slotCount = table.perSliderValue() ? kSliderRange + 1 : table.count_ + 1;
    table.levels_.assign(std::size_t(slotCount), 0);
    PairReader reader(source);
    // Entry 1 would need the byte before the file; it stands for the header and stays 0.
    for (qint64 slot = 0; slot < slotCount; ++slot) {
        const qint64 entry = table.entryOfSlot(slot);
        if (entry < 2) {
            continue;
        }
        const std::optional<quint16> w = reader.pairAt((entry - 1) * table.step_ - 1);
        if (!w) {
            break; // the source ended early: the rest reads 0
        }
        table.levels_[std::size_t(slot)] = quint16(std::abs(int(*w) - kMidpoint));
    }
    return table;
}

std::optional<int> LevelTable::levelAt(qint64 sliderValue) const {
    if (sliderValue < 0 || sliderValue > kSliderRange) {
        return std::nullopt;
    }
    if (levels_.empty()) {
        return 0;
    }
    const qint64 slot = perSliderValue() ? sliderValue : entryIndex(count_, sliderValue);
    if (slot >= qint64(levels_.size())) {
        return std::nullopt;
    }
    return levels_[std::size_t(slot)];
}

std::optional<int> followPeak(double& meterPeak, int level) {
    if (meterPeak < level) {
        meterPeak = level;
        return std::nullopt;
    }
    if (meterPeak > 0) {
        meterPeak *= 0.89;
        return int(roundToWhole(meterPeak));
    }
    return std::nullopt;
}

} // namespace kestrova
