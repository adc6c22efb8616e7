#pragma once

#include "archive/RecordingFiles.h"
#include "base/automation/AutoCq.h"
#include "base/transmit/Transmitter.h"
#include "gui/player/Player.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SoundForm.h"
#include "support/ProgramFixture.h"

#include <QTimer>

namespace kestrova::test {

// A started program in parrot mode with transmitter control on port 2, keying on
// DTR, the pause "6", and a player device that reports 4 s files.
class CqFixture : public ProgramFixture {
protected:
    void start(const QString& pins = QStringLiteral("46-0"), const QString& txControl = QStringLiteral("1")) {
        writeIni(defaultIni({{7, QStringLiteral("2")},
                             {8, pins},
                             {20, txControl},
                             {24, QStringLiteral("0")},
                             {25, QStringLiteral("1")},
                             {26, QStringLiteral("6")}}));
        startProgram();
        fakes.player.lengthMs = 4000;
    }
    // An 8-bit mono file of 8000 samples a second.
    QString writeSound(const QString& name, int seconds) const {
        const QString path = folder() + QLatin1Char('/') + name;
        EXPECT_TRUE(writeBytes(path, recordingBytes(8000, static_cast<std::uint32_t>(seconds) * 8000)));
        return path;
    }
    // The file the user picks in the sound window's file dialog.
    void chooseInDialog(const QString& path) {
        fakes.dialogs.fileAnswers.push_back(path);
        program->player().setCurrentFile(path);
    }
    // The first click chooses the 4 s file, the second starts the cycle.
    void startCycle() {
        chooseInDialog(writeSound(QStringLiteral("cq.wav"), 4));
        cq().toggleCycle();
        cq().toggleCycle();
    }
    // The player's poll finds the file at its end.
    void playToTheEnd() {
        fakes.player.positionMs = 4000;
        program->player().playback().tmrplaywave_Timer();
    }

    AutoCq& cq() { return program->autoCq(); }
    MainForm& main() { return *program->frm_DoKu; }
    LabelButton* lblCQ() { return program->frm_DoKu->lblCQ; }
    LabelButton* tx() { return program->frm_Oszi->lbl_TX; }
    bool keyed() const { return fakes.serial.dtr; }
    bool airTimer() { return program->autoCq().airTimer().isActive(); }
    bool pauseTimer() { return program->autoCq().cqPauseTimer().isActive(); }
    bool watchTimer() { return program->autoCq().squelchWatchTimer().isActive(); }
};

} // namespace kestrova::test
