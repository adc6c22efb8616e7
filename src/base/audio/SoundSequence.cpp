#include "base/audio/SoundSequence.h"

#include "base/audio/ChannelMix.h"
#include "base/audio/SoundFileProbe.h"
#include "base/wav/PcmWavFile.h"
#include "base/wav/Resampler.h"

#include <algorithm>

namespace kestrova {

namespace {
constexpr std::size_t kBlockFrames = 4096;
}

// A file (converted to the sequence's rate), or silence when there is none.
struct SoundSequence::Part {
    std::unique_ptr<PcmWavFile> file;
    std::unique_ptr<Resampler> resampler;
    std::uint64_t silence = 0;
    bool fileEnded = false;
};

std::unique_ptr<SoundSequence> SoundSequence::open(const QStringList& paths, int pauseMs) {
    std::vector<std::unique_ptr<PcmWavFile>> files;
    const PcmWavFile* leading = nullptr;
    for (const QString& path : paths) {
        // The probe refuses what would block or what cannot be decoded.
        std::unique_ptr<PcmWavFile> file =
            probeSoundFile(path).playable ? PcmWavFile::open(path).file : nullptr;
        if (leading == nullptr && file != nullptr) {
            leading = file.get();
        }
        files.push_back(std::move(file));
    }
    if (leading == nullptr) {
        return nullptr;
    }
    const int rate = leading->sampleRate();
    const int channels = leading->channels();
    const auto pauseFrames =
        static_cast<std::uint64_t>(std::max(pauseMs, 0)) * static_cast<std::uint64_t>(rate) / 1000;
    std::vector<Part> parts;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0 && pauseFrames > 0) {
            parts.push_back({nullptr, nullptr, pauseFrames});
        }
        if (files[i] != nullptr) {
            auto resampler = std::make_unique<Resampler>(files[i]->sampleRate(), rate, channels);
            if (resampler->ok()) {
                parts.push_back({std::move(files[i]), std::move(resampler), 0});
            }
        }
    }
    return std::unique_ptr<SoundSequence>(new SoundSequence(std::move(parts), rate, channels));
}

SoundSequence::SoundSequence(std::vector<Part> parts, int rate, int channels)
    : parts_(std::move(parts)), rate_(rate), channels_(channels) {}

SoundSequence::~SoundSequence() = default;

std::size_t SoundSequence::read(float* out, std::size_t maxFrames) {
    const auto channels = static_cast<std::size_t>(channels_);
    std::size_t done = 0;
    while (done < maxFrames && current_ < parts_.size()) {
        Part& part = parts_[current_];
        std::size_t got = 0;
        if (part.file) {
            got = readFile(part, out + done * channels, maxFrames - done);
        } else {
            got = static_cast<std::size_t>(std::min<std::uint64_t>(part.silence, maxFrames - done));
            std::fill_n(out + done * channels, got * channels, 0.0f);
            part.silence -= got;
        }
        if (got == 0) {
            ++current_;
            pending_.clear();
            pendingOffset_ = 0;
        }
        done += got;
    }
    position_ += done;
    return done;
}

std::size_t SoundSequence::readFile(Part& part, float* out, std::size_t maxFrames) {
    const auto channels = static_cast<std::size_t>(channels_);
    while (true) {
        if (pendingOffset_ * channels == pending_.size() && !part.fileEnded && !takeBlock(part)) {
            part.fileEnded = true;
        }
        const std::span<const float> in = std::span<const float>(pending_).subspan(pendingOffset_ * channels);
        const Resampler::Counts counts =
            part.resampler->process(in, std::span(out, maxFrames * channels), part.fileEnded);
        pendingOffset_ += counts.used;
        // Passing through, a file at its end has nothing more to give: the filter holds nothing.
        if (counts.made > 0 || part.fileEnded) {
            return counts.made;
        }
    }
}

bool SoundSequence::takeBlock(Part& part) {
    const auto channels = static_cast<std::size_t>(channels_);
    fileBlock_.resize(kBlockFrames * static_cast<std::size_t>(part.file->channels()));
    const std::size_t got = part.file->read(fileBlock_.data(), kBlockFrames);
    pending_.resize(got * channels);
    pendingOffset_ = 0;
    mixChannels(fileBlock_.data(), part.file->channels(), pending_.data(), channels_, got);
    return got > 0;
}

} // namespace kestrova
