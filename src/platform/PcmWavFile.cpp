#include "platform/PcmWavFile.h"

#include <QFile>
#include <QIODevice>
#include <algorithm>
#include <array>
#include <cstring>

namespace kestrova {

namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatExtensible = 0xFFFE;
constexpr int maxSampleRate = 1'000'000;
constexpr std::size_t framesPerBlock = 4096;

// The PCM sub-format of WAVE_FORMAT_EXTENSIBLE (KSDATAFORMAT_SUBTYPE_PCM).
constexpr std::array<unsigned char, 16> pcmSubFormat = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                        0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool readExactly(QIODevice& device, std::int64_t offset, unsigned char* out, std::int64_t count) {
    if (!device.seek(offset)) {
        return false;
    }
    return device.read(reinterpret_cast<char*>(out), count) == count;
}

// Checks a format chunk and fills everything but the frame count; an error text otherwise.
QString parseFormat(const unsigned char* fmt, std::uint32_t size, PcmFormat& format) {
    if (size < 16) {
        return QStringLiteral("The format chunk is too short.");
    }
    const std::uint16_t tag = le16(fmt);
    if (tag == formatExtensible) {
        if (size < 40 || le16(fmt + 16) < 22) {
            return QStringLiteral("The extensible format chunk is too short.");
        }
        if (!std::equal(pcmSubFormat.begin(), pcmSubFormat.end(), fmt + 24)) {
            return QStringLiteral("The file is not PCM coded.");
        }
    } else if (tag != formatPcm) {
        return QStringLiteral("The file is not PCM coded (format %1).").arg(tag);
    }
    const int channels = le16(fmt + 2);
    const std::uint32_t rate = le32(fmt + 4);
    const int blockAlign = le16(fmt + 12);
    const int bits = le16(fmt + 14);
    if (channels != 1 && channels != 2) {
        return QStringLiteral("Only mono and stereo files can be played (%1 channels).").arg(channels);
    }
    if (rate == 0 || rate > maxSampleRate) {
        return QStringLiteral("The sample rate %1 cannot be played.").arg(rate);
    }
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return QStringLiteral("%1 bits per sample cannot be played.").arg(bits);
    }
    if (blockAlign != channels * bits / 8) {
        return QStringLiteral("The block alignment %1 does not fit the format.").arg(blockAlign);
    }
    format.sampleRate = static_cast<int>(rate);
    format.channels = channels;
    format.bitsPerSample = bits;
    format.bytesPerFrame = blockAlign;
    return {};
}

float sampleToFloat(const unsigned char* p, int bits) {
    switch (bits) {
    case 8:
        return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16:
        return static_cast<std::int16_t>(le16(p)) / 32768.0f;
    case 24: {
        // Placed in the top three bytes of 32 bits so the sign comes along.
        const auto raw = static_cast<std::int32_t>((static_cast<std::uint32_t>(p[0]) << 8) |
                                                   (static_cast<std::uint32_t>(p[1]) << 16) |
                                                   (static_cast<std::uint32_t>(p[2]) << 24));
        return static_cast<float>(raw / 2147483648.0);
    }
    default:
        return static_cast<float>(static_cast<std::int32_t>(le32(p)) / 2147483648.0);
    }
}

} // namespace

PcmWavOpenResult PcmWavFile::open(const QString& path) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        return {nullptr, QStringLiteral("The file %1 cannot be opened: %2").arg(path, file->errorString())};
    }
    return open(std::move(file));
}

PcmWavOpenResult PcmWavFile::open(std::unique_ptr<QIODevice> device) {
    if (!device || !device->isOpen() || device->isSequential()) {
        return {nullptr, QStringLiteral("The file cannot be read.")};
    }
    const std::int64_t fileSize = device->size();
    std::array<unsigned char, 12> riff{};
    if (!readExactly(*device, 0, riff.data(), 12) || std::memcmp(riff.data(), "RIFF", 4) != 0 ||
        std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
        return {nullptr, QStringLiteral("The file is not a WAV file.")};
    }
    // The RIFF size is often wrong in files from crashed recorders, so the walk goes by the file size.
    PcmFormat format;
    bool haveFormat = false;
    std::int64_t offset = 12;
    while (offset + 8 <= fileSize) {
        std::array<unsigned char, 8> header{};
        if (!readExactly(*device, offset, header.data(), 8)) {
            break;
        }
        const std::uint32_t size = le32(header.data() + 4);
        const std::int64_t body = offset + 8;
        if (std::memcmp(header.data(), "fmt ", 4) == 0) {
            std::array<unsigned char, 40> fmt{};
            const std::uint32_t wanted = std::min<std::uint32_t>(size, 40);
            if (body + wanted > fileSize || !readExactly(*device, body, fmt.data(), wanted)) {
                return {nullptr, QStringLiteral("The format chunk is cut off.")};
            }
            const QString error = parseFormat(fmt.data(), size, format);
            if (!error.isEmpty()) {
                return {nullptr, error};
            }
            haveFormat = true;
        } else if (std::memcmp(header.data(), "data", 4) == 0) {
            if (!haveFormat) {
                return {nullptr, QStringLiteral("The sound data comes before its format.")};
            }
            const std::int64_t available = std::min<std::int64_t>(size, fileSize - body);
            format.frameCount = static_cast<std::uint64_t>(available) / format.bytesPerFrame;
            return {std::unique_ptr<PcmWavFile>(new PcmWavFile(std::move(device), format, body)), {}};
        }
        offset = body + size + (size & 1);
    }
    return {nullptr, haveFormat ? QStringLiteral("The file holds no sound data.")
                                : QStringLiteral("The file has no format chunk.")};
}

PcmWavFile::PcmWavFile(std::unique_ptr<QIODevice> device, PcmFormat format, std::int64_t dataOffset)
    : device_(std::move(device)), format_(format), dataOffset_(dataOffset) {}

PcmWavFile::~PcmWavFile() = default;

bool PcmWavFile::seek(std::uint64_t frame) {
    position_ = std::min(frame, format_.frameCount);
    return device_->seek(dataOffset_ + static_cast<std::int64_t>(position_) * format_.bytesPerFrame);
}

std::size_t PcmWavFile::read(float* out, std::size_t maxFrames) {
    std::size_t done = 0;
    while (done < maxFrames && position_ < format_.frameCount) {
        const std::size_t frames = std::min(
            {maxFrames - done, framesPerBlock, static_cast<std::size_t>(format_.frameCount - position_)});
        bytes_.resize(frames * format_.bytesPerFrame);
        // Seeking every block keeps the reader right even if a short read left the device elsewhere.
        const std::int64_t at = dataOffset_ + static_cast<std::int64_t>(position_) * format_.bytesPerFrame;
        if (device_->pos() != at && !device_->seek(at)) {
            break;
        }
        const auto got =
            device_->read(reinterpret_cast<char*>(bytes_.data()), static_cast<qint64>(bytes_.size()));
        if (got <= 0) {
            break;
        }
        const std::size_t gotFrames = static_cast<std::size_t>(got) / format_.bytesPerFrame;
        const int bytesPerSample = format_.bitsPerSample / 8;
        const std::size_t samples = gotFrames * format_.channels;
        float* target = out + done * format_.channels;
        for (std::size_t i = 0; i < samples; ++i) {
            target[i] = sampleToFloat(bytes_.data() + i * bytesPerSample, format_.bitsPerSample);
        }
        done += gotFrames;
        position_ += gotFrames;
        if (gotFrames < frames) {
            break;
        }
    }
    return done;
}

} // namespace kestrova
