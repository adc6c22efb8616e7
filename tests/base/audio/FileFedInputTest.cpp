#include "base/audio/FileFedInput.h"

#include "support/FakeInput.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>

namespace kestrova {
namespace {

void put(QByteArray& bytes, quint32 value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.append(static_cast<char>(value >> (8 * i)));
    }
}

// A PCM WAV file with 16-bit stereo frames.
QByteArray stereo16Wav(const std::vector<std::pair<qint16, qint16>>& frames, int rate) {
    QByteArray data;
    for (const auto& [left, right] : frames) {
        put(data, static_cast<quint16>(left), 2);
        put(data, static_cast<quint16>(right), 2);
    }
    QByteArray wav("RIFF");
    put(wav, static_cast<quint32>(36 + data.size()), 4);
    wav.append("WAVEfmt ");
    put(wav, 16, 4);
    put(wav, 1, 2);
    put(wav, 2, 2);
    put(wav, static_cast<quint32>(rate), 4);
    put(wav, static_cast<quint32>(rate * 4), 4);
    put(wav, 4, 2);
    put(wav, 16, 2);
    wav.append("data");
    put(wav, static_cast<quint32>(data.size()), 4);
    return wav + data;
}

class FileFedInputTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    test::FakeInput real;
    qint64 now = 5000;
    QString path = folder.filePath("receiver.wav");

    void writeFile(const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    FileFedInput makeInput() {
        return FileFedInput(real, path, [this] { return now; });
    }
};

TEST_F(FileFedInputTest, ListsTheFileFirstAndShiftsTheRealDevices) {
    FileFedInput input = makeInput(); // no file: still listed
    const auto devices = input.devices();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].name, "receiver.wav");
    EXPECT_TRUE(devices[0].canRecordMono8Bit11025);
    EXPECT_EQ(devices[1].name, "Line In");
    EXPECT_EQ(input.open(0, 11025), nullptr) << "an unreadable file cannot be opened";

    EXPECT_NE(input.open(2, 8000), nullptr);
    EXPECT_EQ(real.lastPosition, 1);
    EXPECT_EQ(input.open(-1, 8000), nullptr) << "the default input is the file";
    EXPECT_EQ(real.lastPosition, 1);
}

TEST_F(FileFedInputTest, RejectsFilesThatAreNotPcmWav) {
    writeFile("RIFF\x10\0\0\0WAVEjunkjunk");
    EXPECT_EQ(makeInput().open(0, 11025), nullptr);
}

TEST_F(FileFedInputTest, DeliversInRealTimeThenSilence) {
    std::vector<std::pair<qint16, qint16>> frames(1000, {16384, 16384}); // half scale
    writeFile(stereo16Wav(frames, 8000));
    FileFedInput input = makeInput();
    auto stream = input.open(0, 8000);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->sampleRate(), 8000);

    std::vector<std::uint8_t> got;
    EXPECT_EQ(stream->read(got), 0u);
    now += 100;
    EXPECT_EQ(stream->read(got), 800u);
    now += 25;
    EXPECT_EQ(stream->read(got), 200u);
    EXPECT_EQ(got[500], 192);
    now += 50;
    got.clear();
    EXPECT_EQ(stream->read(got), 400u);
    EXPECT_EQ(got, std::vector<std::uint8_t>(400, 128));
}

TEST_F(FileFedInputTest, ConvertsSixteenBitStereoTo8BitMonoAtTheWantedRate) {
    // One second at 22050: a 200 Hz tone in the left channel, silence right.
    std::vector<std::pair<qint16, qint16>> frames(22050);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const double phase = 2.0 * M_PI * 200.0 * static_cast<double>(i) / 22050.0;
        frames[i] = {static_cast<qint16>(std::lround(20000.0 * std::sin(phase))), 0};
    }
    writeFile(stereo16Wav(frames, 22050));
    FileFedInput input = makeInput();
    auto stream = input.open(0, 11025);
    ASSERT_NE(stream, nullptr);
    now += 1000;
    std::vector<std::uint8_t> got;
    ASSERT_EQ(stream->read(got), 11025u);

    // Mono is the mean of both channels: peaks near 128 +- 128 * 20000/32768/2.
    const auto [low, high] = std::minmax_element(got.begin() + 100, got.end() - 100);
    EXPECT_NEAR(*high, 167, 3);
    EXPECT_NEAR(*low, 89, 3);
    const double mean = std::accumulate(got.begin(), got.end(), 0.0) / static_cast<double>(got.size());
    EXPECT_NEAR(mean, 128.0, 1.0);
    // 200 Hz at 11025: a peak every 55 samples.
    const auto firstPeak = std::max_element(got.begin() + 1000, got.begin() + 1055);
    EXPECT_GE(firstPeak[55], 163);
}

} // namespace
} // namespace kestrova
