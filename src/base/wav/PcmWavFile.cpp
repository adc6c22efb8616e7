#include "base/wav/PcmWavFile.h"

#include "base/files/RegularFile.h"
#include "base/wav/WavIdView.h"

#include <QFile>
#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <sndfile.h>

namespace kestrova {

namespace {

constexpr int kMaxSampleRate = 1'000'000;
constexpr std::size_t kFramesPerBlock = 4096;

// libsndfile's virtual I/O over the id view; `user` is the view.
WavIdView& view(void* user) {
    return *static_cast<WavIdView*>(user);
}

sf_count_t viewLength(void* user) {
    return view(user).size();
}

sf_count_t viewSeek(sf_count_t offset, int whence, void* user) {
    WavIdView& v = view(user);
    const sf_count_t base = whence == SEEK_CUR ? v.position() : whence == SEEK_END ? v.size() : 0;
    return v.seek(base + offset) ? v.position() : -1;
}

sf_count_t viewRead(void* out, sf_count_t count, void* user) {
    return view(user).read(static_cast<unsigned char*>(out), count);
}

sf_count_t viewWrite(const void* /*in*/, sf_count_t /*count*/, void* /*user*/) {
    return 0; // opened for reading only
}

sf_count_t viewTell(void* user) {
    return view(user).position();
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

bool isWav(const SF_INFO& info) {
    const int major = info.format & SF_FORMAT_TYPEMASK;
    return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX;
}

// Float files may hold anything, even NaN; the card gets [-1, 1].
float tame(float sample) {
    return std::isfinite(sample) ? std::clamp(sample, -1.0f, 1.0f) : 0.0f;
}

} // namespace

struct PcmWavFile::Decoder {
    std::unique_ptr<QIODevice> device;
    WavIdView view;
    SF_VIRTUAL_IO io{viewLength, viewSeek, viewRead, viewWrite, viewTell};
    SndfileHandle sndfile;

    explicit Decoder(std::unique_ptr<QIODevice> d) : device(std::move(d)), view(*device) {}

    // A decoder of the device's sound from its start; null when the library refuses it.
    SndfileHandle openFromStart(SF_INFO& info) {
        view.seek(0);
        info = SF_INFO{};
        SndfileHandle opened(sf_open_virtual(&io, SFM_READ, &info, &view));
        if (opened) {
            // Integer codings come as [-1, 1) whatever their width; the library's default, set for clarity.
            sf_command(opened.get(), SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
        }
        return opened;
    }
};

PcmWavOpenResult PcmWavFile::open(const QString& path) {
    RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        return {nullptr, opened.error};
    }
    return open(std::move(opened.file));
}

PcmWavOpenResult PcmWavFile::open(std::unique_ptr<QIODevice> device) {
    if (!device || !device->isOpen() || device->isSequential()) {
        return {nullptr, QStringLiteral("Die Datei kann nicht gelesen werden.")};
    }
    auto decoder = std::make_unique<Decoder>(std::move(device));
    SF_INFO info{};
    decoder->sndfile = decoder->openFromStart(info);
    if (!decoder->sndfile || !isWav(info)) {
        return {nullptr, QStringLiteral("Die Datei ist keine WAV-Datei, deren Tonformat wiedergegeben "
                                        "werden kann.")};
    }
    if (info.channels < 1 || info.samplerate < 1 || info.samplerate > kMaxSampleRate || info.frames < 0) {
        return {nullptr, QStringLiteral("Die Abtastrate oder die Kanalzahl der Datei kann nicht "
                                        "wiedergegeben werden.")};
    }
    WavFormat format;
    format.sampleRate = info.samplerate;
    format.fileChannels = info.channels;
    format.channels = info.channels <= 2 ? info.channels : 1;
    format.frameCount = static_cast<std::uint64_t>(info.frames);
    return {std::unique_ptr<PcmWavFile>(new PcmWavFile(std::move(decoder), format)), {}};
}

PcmWavFile::PcmWavFile(std::unique_ptr<Decoder> decoder, WavFormat format)
    : decoder_(std::move(decoder)), format_(format) {}

PcmWavFile::~PcmWavFile() = default;

bool PcmWavFile::seek(std::uint64_t frame) {
    const std::uint64_t target = std::min(frame, format_.frameCount);
    const auto wanted = static_cast<sf_count_t>(target);
    const sf_count_t landed = sf_seek(decoder_->sndfile.get(), wanted, SEEK_SET);
    if (landed == wanted) {
        position_ = target;
        return true;
    }
    // Some codings cannot seek in the library at all, not even to the start (GSM 6.10
    // in WAV): their sound is decoded from the start up to the frame instead. A decoder
    // that refused stays where it was; one that landed elsewhere is where nobody knows.
    if ((landed >= 0 || target < position_) && !restartDecoder()) {
        return false;
    }
    return decodeForwardTo(target);
}

bool PcmWavFile::restartDecoder() {
    SF_INFO info{};
    SndfileHandle fresh = decoder_->openFromStart(info);
    // The same bytes give the same sound; a device that changed under the file is not followed.
    if (!fresh || info.channels != format_.fileChannels ||
        info.frames != static_cast<sf_count_t>(format_.frameCount)) {
        return false;
    }
    decoder_->sndfile = std::move(fresh);
    position_ = 0;
    return true;
}

bool PcmWavFile::decodeForwardTo(std::uint64_t target) {
    fileFrames_.resize(kFramesPerBlock * static_cast<std::size_t>(format_.fileChannels));
    while (position_ < target) {
        const auto block =
            static_cast<sf_count_t>(std::min<std::uint64_t>(target - position_, kFramesPerBlock));
        const sf_count_t got = sf_readf_float(decoder_->sndfile.get(), fileFrames_.data(), block);
        if (got <= 0) {
            return false;
        }
        position_ += static_cast<std::uint64_t>(got);
    }
    return true;
}

std::size_t PcmWavFile::read(float* out, std::size_t maxFrames) {
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::uint64_t>(maxFrames, format_.frameCount - std::min(position_, format_.frameCount)));
    if (wanted == 0) {
        return 0;
    }
    const std::size_t got =
        format_.fileChannels == format_.channels ? readDirect(out, wanted) : readMixed(out, wanted);
    position_ += got;
    return got;
}

std::size_t PcmWavFile::readDirect(float* out, std::size_t frames) {
    const sf_count_t got = sf_readf_float(decoder_->sndfile.get(), out, static_cast<sf_count_t>(frames));
    const std::size_t done = got > 0 ? static_cast<std::size_t>(got) : 0;
    std::transform(out, out + done * format_.channels, out, tame);
    return done;
}

// Many channels become one: the average, so that the sum cannot clip.
std::size_t PcmWavFile::readMixed(float* out, std::size_t frames) {
    const auto channels = static_cast<std::size_t>(format_.fileChannels);
    fileFrames_.resize(kFramesPerBlock * channels);
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t block = std::min(frames - done, kFramesPerBlock);
        const sf_count_t got =
            sf_readf_float(decoder_->sndfile.get(), fileFrames_.data(), static_cast<sf_count_t>(block));
        if (got <= 0) {
            break;
        }
        for (std::size_t frame = 0; frame < static_cast<std::size_t>(got); ++frame) {
            const float* first = fileFrames_.data() + frame * channels;
            float sum = 0.0f;
            std::for_each(first, first + channels, [&sum](float sample) { sum += tame(sample); });
            out[done + frame] = sum / static_cast<float>(channels);
        }
        done += static_cast<std::size_t>(got);
        if (static_cast<std::size_t>(got) < block) {
            break;
        }
    }
    return done;
}

} // namespace kestrova
