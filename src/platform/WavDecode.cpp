#include "platform/WavDecode.h"

#include "platform/Pcm8.h"
#include "platform/Resampler.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>

namespace kestrova {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint32_t get32(const QByteArray& bytes, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

std::uint16_t get16(const QByteArray& bytes, qsizetype at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

struct PcmFormat {
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

std::vector<float> monoSamples(const QByteArray& bytes, qsizetype begin, qsizetype length,
                               const PcmFormat& format) {
    const qsizetype frameBytes = format.channels * format.bits / 8;
    const qsizetype frames = length / frameBytes;
    std::vector<float> mono(static_cast<std::size_t>(frames));
    for (qsizetype frame = 0; frame < frames; ++frame) {
        float sum = 0.0f;
        for (int channel = 0; channel < format.channels; ++channel) {
            const qsizetype at = begin + frame * frameBytes + channel * format.bits / 8;
            sum += format.bits == 8
                       ? pcm8ToFloat(static_cast<std::uint8_t>(bytes[at]))
                       : static_cast<float>(static_cast<std::int16_t>(get16(bytes, at))) / 32768.0f;
        }
        mono[static_cast<std::size_t>(frame)] = sum / static_cast<float>(format.channels);
    }
    return mono;
}

} // namespace

std::optional<std::vector<std::uint8_t>> decodeWavToPcm8Mono(const QString& path, int sampleRate) {
    QFile file(path);
    if (sampleRate <= 0 || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        return std::nullopt;
    }
    std::optional<PcmFormat> format;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = get32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            const std::uint16_t tag = get16(bytes, body);
            PcmFormat found{get16(bytes, body + 2), static_cast<int>(get32(bytes, body + 4)),
                            get16(bytes, body + 14)};
            const bool pcm = tag == kFormatPcm || tag == kFormatExtensible;
            const bool usable =
                (found.bits == 8 || found.bits == 16) && (found.channels == 1 || found.channels == 2);
            if (!pcm || !usable || found.rate <= 0) {
                return std::nullopt;
            }
            format = found;
        } else if (id == "data" && format) {
            const qsizetype length = std::min(size, bytes.size() - body);
            const std::vector<float> mono = monoSamples(bytes, body, length, *format);
            Resampler resampler(format->rate, sampleRate);
            if (!resampler.ok()) {
                return std::nullopt;
            }
            std::vector<float> converted;
            resampler.processAll(mono, converted, true);
            std::vector<std::uint8_t> out(converted.size());
            std::transform(converted.begin(), converted.end(), out.begin(), floatToPcm8);
            return out;
        }
        at = body + size + (size & 1); // chunks are padded to even sizes
    }
    return std::nullopt;
}

} // namespace kestrova
