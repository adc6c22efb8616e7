#include "base/audio/SoundFileProbe.h"

#include "support/WavBytes.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kestrova {
namespace {

using namespace kestrova::test;

TEST(SoundFileProbe, RefusesWhatCannotPlayWithoutEverWaiting) {
    QTemporaryDir dir;
    const auto write = [&dir](const char* name, const QByteArray& bytes) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    };
    const QByteArray good = wav(1, 11025, 8, QByteArray(2000, '\x80'));
    // No writer ever opens it: a blocking open would wait for ever.
    const QString fifo = dir.filePath(QStringLiteral("fifo.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const std::vector<std::pair<QString, bool>> cases = {
        {write("good.wav", good), true},
        {fifo, false},
        {QStringLiteral("/dev/null"), false},
        {dir.path(), false},
        {dir.filePath(QStringLiteral("missing.wav")), false},
        {write("header-cut.wav", good.left(30)), false},
        {write("text.wav", QByteArray("Dies ist keine Tondatei, nur Text.\n").repeated(4)), false},
        {write("unknown-coding.wav",
               riff(chunk("fmt ", fmtBody(1, 8000, 16, 0x7777)) + chunk("data", rampData(8)))),
         false},
    };
    for (const auto& [path, playable] : cases) {
        QElapsedTimer clock;
        clock.start();
        const SoundFileProbe probe = probeSoundFile(path);
        EXPECT_EQ(probe.playable, playable) << path.toStdString();
        EXPECT_EQ(probe.reason.isEmpty(), playable) << path.toStdString();
        EXPECT_LT(clock.elapsed(), 2000) << path.toStdString();
    }
}

// Sound data that breaks off after its first bytes, as on a failing disk.
class BreakingBuffer final : public QBuffer {
public:
    BreakingBuffer(const QByteArray& bytes, qint64 readableBytes) : readable_(readableBytes) {
        setData(bytes);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char* out, qint64 maxSize) override {
        return pos() < readable_ ? QBuffer::readData(out, std::min(maxSize, readable_ - pos())) : -1;
    }

private:
    qint64 readable_;
};

TEST(SoundFileProbe, DecodesTheFirstBlockAsPlayingDoesNotOnlyTheFirstFrame) {
    const QByteArray bytes = wav(1, 8000, 16, rampData(8000));
    const SoundFileProbe probe = probeSoundFile(std::make_unique<BreakingBuffer>(bytes, 44 + 200));
    EXPECT_FALSE(probe.playable);
    EXPECT_TRUE(probe.reason.contains(QStringLiteral("Datei"))) << probe.reason.toStdString();
}

} // namespace
} // namespace kestrova
