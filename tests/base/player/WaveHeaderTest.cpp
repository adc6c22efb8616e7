// Reading the header of a file for the sound window, on bytes alone and through the loader.
#include "base/player/WaveHeader.h"

#include "base/player/LoadedFile.h"
#include "base/player/Playback.h"
#include "base/player/SoundFileLoader.h"
#include "base/player/SpeedLabels.h"
#include "base/settings/SettingsStore.h"
#include "base/transmit/Transmitter.h"
#include "support/FakePlatform.h"
#include "support/WavBytes.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

QByteArray wave(const QByteArray& chunksAfterFmt, const QByteArray& fmt = fmtBody(1, 11025, 8),
                const char* riff = "RIFF", const char* waveId = "WAVE", const char* fmtId = "fmt ") {
    QByteArray body(waveId, 4);
    QByteArray fmtChunk(fmtId, 4);
    putLe(fmtChunk, static_cast<std::uint32_t>(fmt.size()), 4);
    fmtChunk.append(fmt);
    body.append(fmtChunk);
    body.append(chunksAfterFmt);
    QByteArray out(riff, 4);
    putLe(out, static_cast<std::uint32_t>(body.size()), 4);
    out.append(body);
    return out;
}

QByteArray samples(int count) {
    return QByteArray(count, '\x80');
}

// Counts what is read, so a test can prove the samples are skipped, not read.
class CountingBuffer : public QBuffer {
public:
    using QBuffer::QBuffer;
    qint64 bytesRead = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 got = QBuffer::readData(data, maxSize);
        bytesRead += qMax<qint64>(got, 0);
        return got;
    }
};

struct Parsed {
    WaveHeaderVerdict verdict;
    WaveInfo info;
    qint64 bytesRead;
};

Parsed parse(QByteArray bytes) {
    CountingBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    Parsed p{};
    p.verdict = parseWaveHeader(buffer, p.info);
    p.bytesRead = buffer.bytesRead;
    return p;
}

TEST(WaveHeader, ACanonicalHeaderIsReadWithoutTouchingTheSamples) {
    const Parsed p = parse(wave(chunk("data", samples(100000))));
    ASSERT_EQ(p.verdict, WaveHeaderVerdict::Valid);
    EXPECT_EQ(p.info.dataStart, 44);
    EXPECT_EQ(p.info.dataLength, 100000);
    EXPECT_EQ(p.info.sampleRate, 11025);
    EXPECT_EQ(p.info.bytesPerSecond, 11025);
    EXPECT_EQ(p.info.bitsPerSample, 8);
    EXPECT_EQ(p.bytesRead, 44);
}

TEST(WaveHeader, IdsAreAcceptedInAnyLetterCase) {
    const Parsed p = parse(wave(chunk("Data", samples(10)), fmtBody(1, 8000, 8), "riff", "Wave", "FMT "));
    EXPECT_EQ(p.verdict, WaveHeaderVerdict::Valid);
    EXPECT_EQ(p.info.dataStart, 44);
}

TEST(WaveHeader, ALongerFormatChunkAndOddSizedChunksAreSkipped) {
    QByteArray fmt = fmtBody(1, 11025, 8);
    fmt.append(2, '\0'); // 18 bytes
    EXPECT_EQ(parse(wave(chunk("data", samples(10)), fmt)).info.dataStart, 46);

    // "LIST" of 3 bytes is padded to 4, "fact" of 4.
    const Parsed p =
        parse(wave(chunk("LIST", "abc") + chunk("fact", samples(4)) + chunk("data", samples(9))));
    ASSERT_EQ(p.verdict, WaveHeaderVerdict::Valid);
    EXPECT_EQ(p.info.dataStart, 44 + 12 + 12);
    EXPECT_EQ(p.info.dataLength, 10); // made even
}

TEST(WaveHeader, DataBeyondTheFileIsClippedAndAZeroByteRateCountsAsOne) {
    WaveInfo info = parse(wave(chunk("data", samples(100), 50000))).info;
    EXPECT_EQ(completeWaveInfo(info), QStringLiteral("0.01"));
    EXPECT_EQ(info.dataLength, 100);

    QByteArray fmt = fmtBody(1, 11025, 8);
    fmt[8] = fmt[9] = fmt[10] = fmt[11] = 0; // bytes per second 0
    info = parse(wave(chunk("data", samples(100)), fmt)).info;
    EXPECT_EQ(completeWaveInfo(info), QStringLiteral("100.00"));
    EXPECT_EQ(info.bytesPerSecond, 1);
}

TEST(WaveHeader, ShortFilesAndFilesEndingInAChunkHeaderAreRejected) {
    const QByteArray full = wave(chunk("data", samples(100)));
    EXPECT_EQ(parse(full.left(39)).verdict, WaveHeaderVerdict::TooShort);
    EXPECT_EQ(parse(full.left(40)).verdict, WaveHeaderVerdict::Unreadable);
    // Chunks ending exactly at the end without data run into the end of the file.
    EXPECT_EQ(parse(wave(chunk("LIST", samples(8)))).verdict, WaveHeaderVerdict::Unreadable);
    // A last chunk claiming more than remains stops the search without data.
    EXPECT_EQ(parse(wave(chunk("LIST", samples(8), 5000))).verdict, WaveHeaderVerdict::NoDataChunk);
}

TEST(WaveHeader, WrongIdsAreAnUnknownFormat) {
    EXPECT_EQ(parse(wave(chunk("data", samples(10)), fmtBody(1, 8000, 8), "RIFX")).verdict,
              WaveHeaderVerdict::UnknownFormat);
    EXPECT_EQ(parse(wave(chunk("data", samples(10)), fmtBody(1, 8000, 8), "RIFF", "AVI ")).verdict,
              WaveHeaderVerdict::UnknownFormat);
}

TEST(WaveHeader, NegativeChunkSizesAreTakenByTheirAmount) {
    const Parsed p = parse(wave(chunk("JUNK", samples(16), 0xFFFFFFF0u) + chunk("data", samples(4))));
    ASSERT_EQ(p.verdict, WaveHeaderVerdict::Valid);
    EXPECT_EQ(p.info.dataStart, 44 + 24);
}

TEST(WaveHeader, AnyNumberOfChunksBeforeTheDataIsWalkedReadingOnlyTheirHeaders) {
    constexpr int kChunks = 5000;
    QByteArray chunks;
    for (int i = 0; i < kChunks; ++i) {
        chunks += chunk("JUNK", QByteArray());
    }
    const Parsed p = parse(wave(chunks + chunk("data", samples(4))));
    ASSERT_EQ(p.verdict, WaveHeaderVerdict::Valid);
    EXPECT_EQ(p.info.dataStart, 44 + 8 * kChunks);
    EXPECT_EQ(p.bytesRead, 44 + 8 * kChunks);
    EXPECT_EQ(parse(wave(chunks)).verdict, WaveHeaderVerdict::Unreadable); // ends in the walk
}

// Any bytes at all: an answer, a data start inside the file, and only headers read.
TEST(WaveHeader, MutatedFilesNeverCrashOrReadPastTheEnd) {
    const QByteArray base =
        wave(chunk("LIST", "abc") + chunk("fact", samples(4)) + chunk("data", samples(100000)));
    QRandomGenerator random(20120817);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes = base;
        const int changes = 1 + random.bounded(8);
        for (int i = 0; i < changes; ++i) {
            bytes[random.bounded(qMin<int>(bytes.size(), 80))] = char(random.bounded(256));
        }
        if (random.bounded(4) == 0) {
            bytes.truncate(random.bounded(bytes.size() + 1));
        }
        const Parsed p = parse(bytes);
        if (p.verdict == WaveHeaderVerdict::Valid || p.verdict == WaveHeaderVerdict::NoDataChunk) {
            ASSERT_LE(p.info.dataStart, bytes.size()) << round;
            WaveInfo info = p.info;
            completeWaveInfo(info);
            ASSERT_GE(info.dataLength, 0) << round;
        }
        // The samples are never read, whatever the chunk sizes say.
        ASSERT_LT(p.bytesRead, 1000) << round;
    }
}

// The player's loader, on the transmitter and the playback it drives.
class WaveFileTest : public ::testing::Test {
protected:
    void SetUp() override { loader.setSpeedLabels(speeds); }

    QString folder() const { return dir.path(); }
    QString writeFile(const QString& name, const QByteArray& bytes) const {
        const QString path = folder() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    FakePlatform fakes;
    Platform platform = fakes.platform();
    SettingsStore settings{platform, QString()};
    Transmitter transmitter{platform, settings};
    LoadedFile file;
    Playback playback{platform, transmitter, file};
    SoundFileLoader loader{platform, file, playback};
    SpeedLabels speeds{playback, loader, file, dir.path()};
};

TEST_F(WaveFileTest, AValidFileBecomesTheLoadedFileWithItsPlayLength) {
    playback.setSlider(400000);
    const QString path = writeFile(QStringLiteral("a.wav"), wave(chunk("data", samples(22050))));
    loader.readWaveHeader(path);
    EXPECT_EQ(file.loaded(), path);
    EXPECT_EQ(file.playSecondsText(), QStringLiteral("2.00"));
    EXPECT_EQ(playback.sliderValue(), 0);
    EXPECT_TRUE(fakes.dialogs.messages.empty());
}

TEST_F(WaveFileTest, RejectedFilesLeaveTheLoadedFileAndSayWhyOnlyForWrongContents) {
    const QString good = writeFile(QStringLiteral("good.wav"), wave(chunk("data", samples(11025))));
    loader.readWaveHeader(good);

    loader.readWaveHeader(
        writeFile(QStringLiteral("rifx.wav"), wave(chunk("data", samples(10)), fmtBody(1, 8000, 8), "RIFX")));
    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages[0].text, QStringLiteral("Unknown Wave Format"));
    EXPECT_EQ(fakes.dialogs.messages[0].title, QStringLiteral("Error"));

    loader.readWaveHeader(writeFile(QStringLiteral("nodata.wav"), wave(chunk("LIST", samples(8), 5000))));
    ASSERT_EQ(fakes.dialogs.messages.size(), 2u);
    EXPECT_EQ(fakes.dialogs.messages[1].text, QStringLiteral("No Data Chunk found"));

    const QByteArray full = wave(chunk("data", samples(100)));
    loader.readWaveHeader(writeFile(QStringLiteral("39.wav"), full.left(39)));
    loader.readWaveHeader(writeFile(QStringLiteral("40.wav"), full.left(40)));
    loader.readWaveHeader(folder() + QStringLiteral("/missing.wav"));
    loader.readWaveHeader(folder());
    EXPECT_EQ(fakes.dialogs.messages.size(), 2u);
    EXPECT_EQ(file.loaded(), good);
    EXPECT_EQ(file.playSecondsText(), QStringLiteral("1.00"));
}

} // namespace
} // namespace kestrova::test
