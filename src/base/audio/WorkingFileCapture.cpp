#include "base/audio/WorkingFileCapture.h"

#include "base/audio/InputHub.h"
#include "base/files/SafeSaveFile.h"
#include "base/wav/Resampler.h"
#include "base/wav/Wav8Header.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace kestrova {

namespace {

constexpr int kDefaultRate = 11025;
// Two and a half writes a second: what a crash can cost, against the wake-ups and
// writes of days of recording; a multiple of the level meter's wake-up spacing.
constexpr int kWriteIntervalMs = 400;
// Kept in memory while the disk refuses to take more, then the oldest go.
constexpr std::size_t kPendingSeconds = 600;

bool isCaptureRate(int rate) {
    return rate == 8000 || rate == 11025 || rate == 22050 || rate == 44100;
}

} // namespace

WorkingFileCapture::WorkingFileCapture(InputHub& hub, std::function<int()> selectedDevice,
                                       QString workingFolder)
    : hub_(hub), selectedDevice_(std::move(selectedDevice)), folder_(std::move(workingFolder)) {
    writer_.setInterval(kWriteIntervalMs);
    QObject::connect(&writer_, &QTimer::timeout, &writer_, [this] { pump(); });
}

WorkingFileCapture::~WorkingFileCapture() {
    // An unsaved working file stays on disk, as after a crash: nothing is lost.
    if (state_ != State::Closed) {
        hub_.removeSink(sinkId_);
        writePending();
    }
}

QString WorkingFileCapture::workingFilePath() const {
    return QDir(folder_).filePath(QString::fromLatin1(kWorkingFileName));
}

std::optional<WavFormat> WorkingFileCapture::recoverWorkingFile(const QString& path) {
    return Wav8WorkingFile::recover(path);
}

bool WorkingFileCapture::pumpIfOpen() {
    pump();
    return state_ != State::Closed;
}

CaptureResult WorkingFileCapture::open() {
    pump();
    if (state_ != State::Closed) {
        return CaptureResult::WrongState;
    }
    sampleRate_ = kDefaultRate;
    savedSamples_ = 0;
    // A program folder removed while the program runs is made again rather than
    // losing every later transmission.
    if (!QDir(folder_).exists()) {
        QDir().mkpath(folder_);
    }
    if (!file_.create(workingFilePath(), sampleRate_)) {
        return CaptureResult::FileError;
    }
    sinkId_ = hub_.addSink([this](std::span<const std::uint8_t> samples, int rate) {
        if (state_ == State::Recording) {
            receive(samples, rate);
        }
    });
    state_ = State::Idle;
    writer_.start();
    return CaptureResult::Ok;
}

CaptureResult WorkingFileCapture::setFormat(int bitsPerSample, int samplesPerSecond, int channels) {
    // Closed, or with a recording running or paused.
    if (!pumpIfOpen() || state_ != State::Idle) {
        return CaptureResult::WrongState;
    }
    if (bitsPerSample != 8 || channels != 1 || !isCaptureRate(samplesPerSecond)) {
        return CaptureResult::BadFormat;
    }
    if (samplesPerSecond == sampleRate_) {
        return CaptureResult::Ok;
    }
    // What is already recorded cannot change its rate.
    if (!file_.setSampleRate(samplesPerSecond)) {
        return CaptureResult::WrongState;
    }
    sampleRate_ = samplesPerSecond;
    resampler_.reset();
    return CaptureResult::Ok;
}

CaptureResult WorkingFileCapture::record() {
    if (!pumpIfOpen() || state_ == State::Recording) {
        return CaptureResult::WrongState;
    }
    return startRecording();
}

CaptureResult WorkingFileCapture::resume() {
    if (!pumpIfOpen() || state_ != State::Paused) {
        return CaptureResult::WrongState;
    }
    return startRecording();
}

CaptureResult WorkingFileCapture::pause() {
    if (!pumpIfOpen() || state_ != State::Recording) {
        return CaptureResult::WrongState;
    }
    stopRecording();
    state_ = State::Paused;
    return CaptureResult::Ok;
}

CaptureResult WorkingFileCapture::stop() {
    if (!pumpIfOpen()) {
        return CaptureResult::WrongState;
    }
    if (state_ == State::Recording) {
        stopRecording();
    }
    state_ = State::Idle;
    return CaptureResult::Ok;
}

CaptureResult WorkingFileCapture::startRecording() {
    if (!hub_.isOpen() && !hub_.open(selectedDevice_(), sampleRate_)) {
        return CaptureResult::NoInput;
    }
    receive(hub_.since(preRollStart()), hub_.sampleRate());
    state_ = State::Recording;
    return CaptureResult::Ok;
}

// Keeps the first syllable: half a second before the sample whose level started
// the recording (before now when no level did), but nothing that a file holds
// already, so the recordings of a long transmission follow on without a seam.
std::uint64_t WorkingFileCapture::preRollStart() const {
    const std::uint64_t heard = hub_.signalAt().value_or(hub_.received());
    const std::uint64_t preRoll = hub_.preRollSamples();
    const std::uint64_t start = heard > preRoll ? heard - preRoll : 0;
    return stoppedAt_ ? std::max(start, *stoppedAt_) : start;
}

void WorkingFileCapture::stopRecording() {
    if (resampler_) {
        resampler_->processAll(std::span<const std::uint8_t>(), pending_, true);
    }
    stoppedAt_ = hub_.received();
    writePending();
}

// The copy is made from the open working file and from what the disk has not
// taken yet, so a full or vanished working folder still gives a whole recording
// wherever the name points.
CaptureResult WorkingFileCapture::saveAs(const QString& path) {
    if (!pumpIfOpen()) {
        return CaptureResult::WrongState;
    }
    writePending();
    if (heldSamples() == 0) {
        return CaptureResult::NothingRecorded;
    }
    const QString target = QFileInfo(path).isAbsolute() ? path : QDir(folder_).filePath(path);
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(file_.path()).absoluteFilePath()) {
        return CaptureResult::FileError;
    }
    // Written aside and renamed once verified: never a cut-short file under the name.
    SafeSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        return CaptureResult::FileError;
    }
    if (!writeCopy(out) || !out.commit()) {
        return CaptureResult::FileError;
    }
    savedSamples_ = heldSamples();
    return CaptureResult::Ok;
}

bool WorkingFileCapture::writeCopy(QIODevice& out) {
    const std::uint64_t total = std::min<std::uint64_t>(heldSamples(), kWav8MaxSamples);
    const auto header = wav8Header(static_cast<std::uint32_t>(total), sampleRate_);
    if (out.write(reinterpret_cast<const char*>(header.data()), kWav8HeaderSize) !=
        static_cast<qint64>(kWav8HeaderSize)) {
        return false;
    }
    const std::uint32_t onDisk = file_.samples();
    for (std::uint32_t done = 0; done < onDisk;) {
        const QByteArray chunk = file_.read(done, 1U << 16);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            return false;
        }
        done += static_cast<std::uint32_t>(chunk.size());
    }
    const auto inMemory = static_cast<qint64>(total - onDisk);
    return out.write(reinterpret_cast<const char*>(pending_.data()), inMemory) == inMemory;
}

CaptureResult WorkingFileCapture::close() {
    if (!pumpIfOpen()) {
        return CaptureResult::WrongState;
    }
    closeWorkingFile();
    return CaptureResult::Ok;
}

void WorkingFileCapture::closeWorkingFile() {
    writer_.stop();
    hub_.removeSink(sinkId_);
    if (heldSamples() > savedSamples_) {
        // Not saved anywhere: the working file is kept for the next start to file.
        writePending();
        const QString path = file_.path();
        file_.release();
        setAside(path);
    } else {
        file_.discard();
    }
    pending_.clear();
    resampler_.reset();
    state_ = State::Closed;
}

QString WorkingFileCapture::setAside(const QString& path) {
    const QFileInfo working(path);
    const QDir folder = working.dir();
    for (int n = 1; n < 1000; ++n) {
        const QString target = folder.filePath(QString::fromLatin1(kSetAsidePrefix) + QString::number(n) +
                                               QStringLiteral(".wav"));
        if (!QFileInfo::exists(target)) {
            return QFile::rename(path, target) ? target : QString();
        }
    }
    return {};
}

void WorkingFileCapture::pump() {
    // The meter's owner may have closed the input; a running recording takes it back.
    if (state_ == State::Recording && !hub_.isOpen()) {
        hub_.open(selectedDevice_(), sampleRate_);
    }
    hub_.pump();
    writePending();
}

void WorkingFileCapture::receive(std::span<const std::uint8_t> samples, int sampleRate) {
    if (!resampler_ || resampler_->fromRate() != sampleRate || resampler_->toRate() != sampleRate_) {
        if (resampler_) {
            resampler_->processAll(std::span<const std::uint8_t>(), pending_, true);
        }
        resampler_ = std::make_unique<Resampler>(sampleRate, sampleRate_);
    }
    resampler_->processAll(samples, pending_);
}

void WorkingFileCapture::writePending() {
    if (pending_.empty() || state_ == State::Closed) {
        return;
    }
    const std::size_t written = file_.append(pending_);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(written));
    const std::size_t limit = static_cast<std::size_t>(sampleRate_) * kPendingSeconds;
    if (pending_.size() > limit) {
        pending_.erase(pending_.begin(), pending_.end() - static_cast<std::ptrdiff_t>(limit));
    }
}

} // namespace kestrova
