#pragma once

#include "gui/player/Player.h"
#include "support/ProgramFixture.h"
#include "support/WavBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova::test {

// A started program whose player device answers a length of 20,000 ms, with
// helpers to write files and to follow what the player plays.
class SoundWindowFixture : public ProgramFixture {
protected:
    using Plays = std::vector<FakePlaybackDevice::Play>;

    Player& player() {
        if (!program) {
            startProgram();
            fakes.player.lengthMs = 20000;
        }
        return program->player();
    }

    QString write(const QString& name, const QByteArray& bytes) const {
        const QString path = QDir(folder()).filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
            << path.toStdString();
        return path;
    }

    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Makes `path` the sound window's file as the dialog flows do.
    Player& load(const QString& path) {
        Player& p = player();
        p.setCurrentFile(path);
        p.loadCurrentFile();
        return p;
    }

    // What the player played since the last call.
    Plays played() { return fakes.player.takePlays(); }

    // A tick of tmrplaywave with the device at `ms`.
    void tickAt(int ms) {
        fakes.player.positionMs = ms;
        player().playback().tmrplaywave_Timer();
    }

    // 8-bit mono samples that differ from byte to byte, so a copy shows any misplaced byte.
    static QByteArray varied(int size) {
        QByteArray data(size, '\0');
        for (int i = 0; i < size; ++i) {
            data[i] = char((i * 13 + 5) & 0xFF);
        }
        return data;
    }
};

} // namespace kestrova::test
