#include "base/wav/PcmWavFile.h"

#include "support/WavBytes.h"

#include <QBuffer>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sndfile.h>

namespace kestrova {
namespace {

using namespace kestrova::test;

PcmWavOpenResult openBytes(const QByteArray& bytes) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return PcmWavFile::open(std::move(buffer));
}

// A GSM 6.10 WAV of a tone, written by the decoder's own library into memory.
QByteArray gsmWav(int frames) {
    struct Memory {
        QByteArray bytes;
        sf_count_t position = 0;
    };
    SF_VIRTUAL_IO io{
        [](void* user) -> sf_count_t { return static_cast<Memory*>(user)->bytes.size(); },
        [](sf_count_t offset, int whence, void* user) -> sf_count_t {
            auto* memory = static_cast<Memory*>(user);
            const sf_count_t base = whence == SEEK_CUR   ? memory->position
                                    : whence == SEEK_END ? memory->bytes.size()
                                                         : 0;
            memory->position = base + offset;
            return memory->position;
        },
        [](void* /*out*/, sf_count_t /*count*/, void* /*user*/) -> sf_count_t { return 0; },
        [](const void* in, sf_count_t count, void* user) -> sf_count_t {
            auto* memory = static_cast<Memory*>(user);
            const auto end = static_cast<qsizetype>(memory->position + count);
            if (end > memory->bytes.size()) {
                memory->bytes.resize(end);
            }
            std::memcpy(memory->bytes.data() + memory->position, in, static_cast<std::size_t>(count));
            memory->position = end;
            return count;
        },
        [](void* user) -> sf_count_t { return static_cast<Memory*>(user)->position; },
    };
    Memory memory;
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_GSM610;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<short> tone(static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<short>(10000 * std::sin(0.47 * static_cast<double>(i)));
    }
    sf_writef_short(file, tone.data(), frames);
    sf_close(file);
    return memory.bytes;
}

std::vector<float> readAll(PcmWavFile& file) {
    std::vector<float> out(file.format().frameCount * file.format().channels);
    const std::size_t frames = file.read(out.data(), file.format().frameCount);
    out.resize(frames * file.format().channels);
    return out;
}

TEST(PcmWavFileSamples, EightBitIsUnsignedAroundTheMiddle) {
    auto opened = openBytes(wav(1, 11025, 8, QByteArray::fromHex("0080ff")));
    ASSERT_TRUE(opened.file) << opened.error.toStdString();
    EXPECT_EQ(opened.file->format().sampleRate, 11025);
    EXPECT_EQ(readAll(*opened.file), (std::vector<float>{-1.0f, 0.0f, 127.0f / 128.0f}));
}

TEST(PcmWavFileSamples, SixteenBitStereoKeepsChannelOrder) {
    auto opened = openBytes(wav(2, 8000, 16, QByteArray::fromHex("0080ff7f00000100")));
    ASSERT_TRUE(opened.file);
    EXPECT_EQ(opened.file->format().frameCount, 2u);
    EXPECT_EQ(readAll(*opened.file), (std::vector<float>{-1.0f, 32767.0f / 32768.0f, 0.0f, 1.0f / 32768.0f}));
}

TEST(PcmWavFileSamples, TwentyFourBitExtendsTheSign) {
    auto opened = openBytes(wav(1, 48000, 24, QByteArray::fromHex("000080ffffffffff7f010000")));
    ASSERT_TRUE(opened.file);
    const auto samples = readAll(*opened.file);
    ASSERT_EQ(samples.size(), 4u);
    EXPECT_FLOAT_EQ(samples[0], -1.0f);
    EXPECT_FLOAT_EQ(samples[1], -1.0f / 8388608.0f);
    EXPECT_FLOAT_EQ(samples[2], 8388607.0f / 8388608.0f);
    EXPECT_FLOAT_EQ(samples[3], 1.0f / 8388608.0f);
}

TEST(PcmWavFileSamples, ThirtyTwoBitIsSigned) {
    auto opened = openBytes(wav(1, 44100, 32, QByteArray::fromHex("00000080ffffff7f")));
    ASSERT_TRUE(opened.file);
    const auto samples = readAll(*opened.file);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_FLOAT_EQ(samples[0], -1.0f);
    EXPECT_NEAR(samples[1], 1.0f, 1e-6);
}

TEST(PcmWavFileChunks, ExtensiblePcmAndFloatAreBothAccepted) {
    auto pcm = openBytes(riff(chunk("fmt ", extensibleFmtBody(2, 16000, 16)) +
                              chunk("data", QByteArray::fromHex("00400000"))));
    ASSERT_TRUE(pcm.file) << pcm.error.toStdString();
    EXPECT_EQ(readAll(*pcm.file), (std::vector<float>{0.5f, 0.0f}));

    auto floats = openBytes(riff(chunk("fmt ", extensibleFmtBody(2, 16000, 32, 3)) +
                                 chunk("data", QByteArray::fromHex("0000003f000080be"))));
    ASSERT_TRUE(floats.file) << floats.error.toStdString();
    EXPECT_EQ(readAll(*floats.file), (std::vector<float>{0.5f, -0.25f}));
}

TEST(PcmWavFileChunks, OddSizedChunksArePaddedOnTheWayToFormatAndDataInAnyLetterCase) {
    QByteArray bytes = riff(chunk("LIST", "abc") + chunk("Fmt ", fmtBody(1, 11025, 8)) + chunk("junk", "x") +
                            chunk("DATA", QByteArray::fromHex("ff00")));
    bytes.replace(0, 4, "riff").replace(8, 4, "Wave");
    auto opened = openBytes(bytes);
    ASSERT_TRUE(opened.file) << opened.error.toStdString();
    EXPECT_EQ(readAll(*opened.file), (std::vector<float>{127.0f / 128.0f, -1.0f}));
}

TEST(PcmWavFileChunks, DataClaimingMoreThanTheFileIsClippedToWholeFrames) {
    // A recorder that crashed leaves the sizes it wrote at the start.
    const QByteArray bytes =
        riff(chunk("fmt ", fmtBody(2, 8000, 16)) + chunk("data", rampData(5), 1'000'000));
    auto opened = openBytes(bytes);
    ASSERT_TRUE(opened.file);
    EXPECT_EQ(opened.file->format().frameCount, 2u); // 10 bytes hold two 4-byte frames
    EXPECT_EQ(readAll(*opened.file).size(), 4u);
}

TEST(PcmWavFileChunks, DataBeforeFormatIsRefused) {
    auto opened = openBytes(riff(chunk("data", "ab") + chunk("fmt ", fmtBody(1, 8000, 8))));
    EXPECT_FALSE(opened.file);
    EXPECT_FALSE(opened.error.isEmpty());
}

TEST(PcmWavFileChunks, AnEnormousUnknownChunkEndsTheWalkCleanly) {
    auto opened = openBytes(riff(chunk("fmt ", fmtBody(1, 8000, 8)) + chunk("junk", "abcd", 0xFFFFFFF0u)));
    EXPECT_FALSE(opened.file);
    EXPECT_FALSE(opened.error.isEmpty());
}

TEST(PcmWavFileRefusals, MalformedHeadersGiveAnErrorText) {
    const QByteArray data = rampData(4);
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"empty", {}},
        {"garbage", "this is not a wave file at all"},
        {"riff only", "RIFF"},
        {"not WAVE", QByteArray("RIFF\x04\0\0\0AVI ", 12)},
        {"no chunks", riff({})},
        {"unknown coding", riff(chunk("fmt ", fmtBody(1, 8000, 16, 0x7777)) + chunk("data", data))},
        {"zero channels", riff(chunk("fmt ", fmtBody(0, 8000, 16)) + chunk("data", data))},
        {"zero rate", riff(chunk("fmt ", fmtBody(1, 0, 16)) + chunk("data", data))},
        {"0 bits", riff(chunk("fmt ", fmtBody(1, 8000, 0)) + chunk("data", data))},
        {"short format", riff(chunk("fmt ", fmtBody(1, 8000, 16).left(14)) + chunk("data", data))},
        {"format cut off", riff(chunk("fmt ", fmtBody(1, 8000, 16)).left(20))},
        {"no data", riff(chunk("fmt ", fmtBody(1, 8000, 16)))},
    };
    for (const auto& [name, bytes] : cases) {
        auto opened = openBytes(bytes);
        EXPECT_FALSE(opened.file) << name;
        EXPECT_FALSE(opened.error.isEmpty()) << name;
    }
}

TEST(PcmWavFileChunks, ABlockAlignmentThatContradictsTheFormatIsOverruledByIt) {
    QByteArray fmt = fmtBody(2, 8000, 16);
    fmt[12] = 3;
    auto opened = openBytes(riff(chunk("fmt ", fmt) + chunk("data", rampData(4))));
    ASSERT_TRUE(opened.file);
    EXPECT_EQ(readAll(*opened.file), (std::vector<float>{0.0f, 1 / 32768.0f, 2 / 32768.0f, 3 / 32768.0f}));
}

TEST(PcmWavFileRefusals, AMissingFileIsAnError) {
    auto opened = PcmWavFile::open(QStringLiteral("/nonexistent/dir/file.wav"));
    EXPECT_FALSE(opened.file);
    EXPECT_FALSE(opened.error.isEmpty());
}

TEST(PcmWavFileStreaming, BlockwiseReadsAndSeeksMatchTheWholeFile) {
    const int frames = 10000; // more than one internal block
    auto opened = openBytes(wav(1, 8000, 16, rampData(frames)));
    ASSERT_TRUE(opened.file);
    PcmWavFile& file = *opened.file;
    std::vector<float> all;
    std::vector<float> block(3000);
    while (const std::size_t n = file.read(block.data(), 3000)) {
        all.insert(all.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
    }
    ASSERT_EQ(all.size(), static_cast<std::size_t>(frames));
    EXPECT_FLOAT_EQ(all[9999], 9999.0f / 32768.0f);

    ASSERT_TRUE(file.seek(9000));
    EXPECT_EQ(file.read(block.data(), 3000), 1000u);
    EXPECT_FLOAT_EQ(block[0], 9000.0f / 32768.0f);

    file.seek(50000);
    EXPECT_EQ(file.position(), static_cast<std::uint64_t>(frames));
    EXPECT_EQ(file.read(block.data(), 3000), 0u);
}

// The library refuses every seek in GSM 6.10 WAV files, even to the start.
TEST(PcmWavFileStreaming, AGsmFileSeeksToTheStartAndTheMiddleAsAStraightReadFindsThem) {
    auto opened = openBytes(gsmWav(8000));
    ASSERT_TRUE(opened.file) << opened.error.toStdString();
    PcmWavFile& file = *opened.file;
    const std::vector<float> straight = readAll(file);
    ASSERT_GT(straight.size(), 5000u);

    const std::size_t middle = straight.size() / 2 + 7;
    ASSERT_TRUE(file.seek(middle));
    EXPECT_EQ(file.position(), middle);
    EXPECT_EQ(readAll(file),
              std::vector<float>(straight.begin() + static_cast<std::ptrdiff_t>(middle), straight.end()));

    ASSERT_TRUE(file.seek(0));
    EXPECT_EQ(readAll(file), straight);
}

TEST(PcmWavFileFuzz, RandomMutationsNeverReadOutOfBounds) {
    const QByteArray valid = riff(chunk("LIST", "odd") + chunk("fmt ", extensibleFmtBody(2, 22050, 24)) +
                                  chunk("data", rampData(300)));
    std::mt19937 random(20120817);
    std::vector<float> out;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = valid;
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < flips; ++i) {
            // Mostly the header, where a flip changes sizes and formats.
            const auto at = static_cast<int>(random() % (i == 0 ? 80 : bytes.size()));
            bytes[at] = static_cast<char>(random());
        }
        if (random() % 4 == 0) {
            bytes.truncate(static_cast<int>(random() % bytes.size()));
        }
        auto opened = openBytes(bytes);
        if (!opened.file) {
            EXPECT_FALSE(opened.error.isEmpty());
            continue;
        }
        const auto& format = opened.file->format();
        // No coding packs a frame into less than a bit.
        ASSERT_LE(format.frameCount, static_cast<std::uint64_t>(bytes.size()) * 8);
        out.assign(4096 * 2, 0.0f);
        std::uint64_t total = 0;
        while (const std::size_t n = opened.file->read(out.data(), 4096)) {
            total += n;
        }
        EXPECT_EQ(total, format.frameCount);
    }
}

} // namespace
} // namespace kestrova
