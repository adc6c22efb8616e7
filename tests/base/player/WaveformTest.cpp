// The waveform's lines and the level table, computed from file contents alone.
#include "base/player/Waveform.h"

#include "base/player/LevelTable.h"
#include "support/WavBytes.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <random>

namespace kestrova::test {
namespace {

struct Parsed {
    QByteArray bytes;
    WaveInfo info;
};

Parsed parsed(const QByteArray& file) {
    Parsed result{file, {}};
    QBuffer buffer(&result.bytes);
    buffer.open(QIODevice::ReadOnly);
    if (parseWaveHeader(buffer, result.info) == WaveHeaderVerdict::Valid) {
        completeWaveInfo(result.info);
    }
    return result;
}

std::vector<WaveformLine> linesOf(Parsed& file) {
    QBuffer buffer(&file.bytes);
    buffer.open(QIODevice::ReadOnly);
    return waveformLines(file.info, &buffer);
}

int halfHeight(const WaveformLine& line) {
    return std::abs(line.to.y() - line.from.y()) / 2;
}

int centreOf(const WaveformLine& line) {
    return (line.from.y() + line.to.y()) / 2;
}

TEST(WaveformTest, AMonoFileOf29600BytesFills296ColumnsOfAtMost28PixelsEachSide) {
    QByteArray data(29'600, '\x80');
    data[0] = '\x00';      // loudest negative, first column
    data[100] = '\xFF';    // loudest positive, second column
    data[29'500] = '\x00'; // last column
    Parsed file = parsed(wav(1, 11025, 8, data));
    ASSERT_EQ(file.info.dataStart, 44);
    EXPECT_EQ(waveformLayout(file.info).step, 100);

    const std::vector<WaveformLine> lines = linesOf(file);
    ASSERT_EQ(lines.size(), 1u + 296u);
    EXPECT_EQ(lines[0].from, QPoint(0, 32));
    EXPECT_EQ(lines[0].to, QPoint(296, 32));
    int widest = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].from.x(), int(i));
        EXPECT_EQ(lines[i].to.x(), int(i));
        EXPECT_EQ(centreOf(lines[i]), 32);
        widest = std::max(widest, halfHeight(lines[i]));
    }
    EXPECT_EQ(widest, 28);
    EXPECT_EQ(halfHeight(lines[1]), 28);
    EXPECT_EQ(halfHeight(lines[2]), 28); // 127 * 65 / 300 = 27.52
    EXPECT_EQ(halfHeight(lines[3]), 0);
    EXPECT_EQ(halfHeight(lines[296]), 28);
}

TEST(WaveformTest, AStereoFileGivesTwoBandsAtHalfTheScale) {
    QByteArray data;
    for (int frame = 0; frame < 14'800; ++frame) {
        data.append(char(0x00)); // left: full scale
        data.append(char(0xC0)); // right: half scale
    }
    Parsed file = parsed(wav(2, 11025, 8, data));
    const std::vector<WaveformLine> lines = linesOf(file);
    ASSERT_EQ(lines.size(), 2u + 2u * 296u);
    EXPECT_EQ(lines[0].from.y(), 16);
    EXPECT_EQ(lines[1].from.y(), 49);
    EXPECT_EQ(centreOf(lines[2]), 16);
    EXPECT_EQ(halfHeight(lines[2]), 14); // 128 * 65 / 600 = 13.9
    EXPECT_EQ(centreOf(lines[3]), 49);
    EXPECT_EQ(halfHeight(lines[3]), 7); // 64 * 65 / 600 = 6.9
}

TEST(WaveformTest, SixteenBitSamplesUseTheirOwnScaleAndTwentyFourBitOnesTheEightBitScale) {
    QByteArray data;
    for (int i = 0; i < 14'800; ++i) {
        putLe(data, static_cast<std::uint16_t>(-32768), 2);
    }
    Parsed file = parsed(wav(1, 11025, 16, data));
    std::vector<WaveformLine> lines = linesOf(file);
    ASSERT_EQ(lines.size(), 1u + 296u);
    EXPECT_EQ(halfHeight(lines[1]), 33); // 32768 * 65 / 65535 = 32.5005
    file.info.bitsPerSample = 24;
    lines = linesOf(file);
    // Read as 16-bit with the 8-bit scale: far beyond the area, which clips it.
    EXPECT_EQ(halfHeight(lines[1]), 7100);
}

TEST(WaveformTest, DataTooShortForAStepDrawsOnlyTheCentreLines) {
    Parsed mono = parsed(wav(1, 11025, 8, QByteArray(1000, '\0')));
    EXPECT_EQ(waveformLayout(mono.info).step, 0);
    EXPECT_EQ(linesOf(mono).size(), 1u);
    Parsed stereo = parsed(wav(2, 11025, 8, QByteArray(1000, '\0')));
    EXPECT_EQ(linesOf(stereo).size(), 2u);
    // 1,036 bytes is the first length that gives a step (3.5 rounds to 4).
    Parsed shortest = parsed(wav(1, 11025, 8, QByteArray(1036, '\0')));
    EXPECT_EQ(waveformLayout(shortest.info).step, 4);
}

TEST(WaveformTest, ATruncatedFileEndsTheDrawingQuietly) {
    Parsed file = parsed(wav(1, 11025, 8, QByteArray(29'600, '\0')));
    file.bytes.truncate(44 + 5'000);
    const std::vector<WaveformLine> lines = linesOf(file);
    EXPECT_EQ(lines.size(), 1u + 50u);
    EXPECT_EQ(waveformLines(file.info, nullptr).size(), 1u);
}

// Whatever the header claims, the drawing stays within its columns and reads only what is there.
TEST(WaveformTest, ArbitraryHeaderValuesNeverLeadOutOfTheArea) {
    QByteArray bytes(3000, '\x10');
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        WaveInfo info;
        info.channels = qint16(random());
        info.bitsPerSample = qint16(random() % 3 == 0 ? 16 : random());
        info.dataStart = qint64(random() % 4000) - 100;
        info.dataLength = round % 2 ? qint64(random()) : qint64(random() % 5000) - 1000;
        info.fileLength = qint64(random()) - (1LL << 31);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        for (const WaveformLine& line : waveformLines(info, &buffer)) {
            EXPECT_GE(line.from.x(), 0);
            EXPECT_LE(line.from.x(), kWaveformWidth);
        }
    }
}

// --- level table ---------------------------------------------------------------------------

QByteArray patterned(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

// The level of entry k, straight from the definition.
int expectedLevel(const QByteArray& bytes, qint64 step, qint64 entry) {
    if (entry < 2) {
        return 0;
    }
    const qint64 high = (entry - 1) * step;
    const int w =
        static_cast<unsigned char>(bytes[high - 1]) | (static_cast<unsigned char>(bytes[high]) << 8);
    return std::abs(w - 32'750);
}

LevelTable tableOf(QByteArray& bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return LevelTable::build(buffer);
}

TEST(LevelTableTest, AFileOf100000BytesHas625EntriesAndHalfWayLooksUpEntry312) {
    QByteArray bytes = patterned(100'000);
    EXPECT_EQ(LevelTable::stepFor(100'000), 160);
    const LevelTable table = tableOf(bytes);
    EXPECT_EQ(table.levelCount(), 625);
    EXPECT_EQ(LevelTable::entryIndex(625, 500'000), 312);
    EXPECT_EQ(table.levelAt(500'000), expectedLevel(bytes, 160, 312));
    EXPECT_EQ(table.levelAt(1'000'000), expectedLevel(bytes, 160, 625));
    EXPECT_EQ(table.levelAt(0), 0);
    EXPECT_EQ(table.levelAt(1'000'001), std::nullopt);
}

TEST(LevelTableTest, AnEightBitSampleReadsAboutTwoHundredFiftySixTimesItsDistanceFromTheMidpoint) {
    QByteArray bytes = wav(1, 11025, 8, QByteArray(99'956, char(128 + 20)));
    const LevelTable table = tableOf(bytes);
    EXPECT_EQ(table.levelAt(500'000), std::abs(((128 + 20) << 8 | (128 + 20)) - 32'750));
}

TEST(LevelTableTest, FilesAboveFourMillionBytesGetASmallestStepOfFourBytes) {
    EXPECT_EQ(LevelTable::stepFor(4'000'003), 4);
    EXPECT_EQ(LevelTable::stepFor(4'000'004), 4);
    EXPECT_EQ(LevelTable::stepFor(40'000'000), 4);
    QByteArray bytes = patterned(6'000'001);
    const LevelTable table = tableOf(bytes);
    EXPECT_EQ(table.levelCount(), 1'500'001);
    for (qint64 slider : {0LL, 1LL, 333'333LL, 500'000LL, 999'999LL, 1'000'000LL}) {
        EXPECT_EQ(table.levelAt(slider), expectedLevel(bytes, 4, LevelTable::entryIndex(1'500'001, slider)))
            << slider;
    }
}

TEST(LevelTableTest, FilesTooShortForATableReadZeroEverywhere) {
    for (int size : {0, 1, 3}) {
        QByteArray bytes(size, '\xFF');
        const LevelTable table = tableOf(bytes);
        EXPECT_EQ(table.levelCount(), 0) << size;
        EXPECT_EQ(table.levelAt(700'000), 0) << size;
    }
    QByteArray four("\xFF\xFF\xFF\xFF", 4);
    EXPECT_EQ(tableOf(four).levelCount(), 1);
}

TEST(LevelTableTest, ThePeakIsTakenSilentlyAndThenDecaysByElevenPercentATick) {
    double peak = 0;
    EXPECT_EQ(followPeak(peak, 0), std::nullopt); // nothing to show yet
    EXPECT_EQ(followPeak(peak, 10'000), std::nullopt);
    EXPECT_EQ(peak, 10'000);
    EXPECT_EQ(followPeak(peak, 10'000), 8900);
    EXPECT_EQ(followPeak(peak, 2'000), 7921);
    EXPECT_EQ(followPeak(peak, 9'000), std::nullopt);
    EXPECT_EQ(peak, 9'000);
}

} // namespace
} // namespace kestrova::test
