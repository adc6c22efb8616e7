// The program without a desktop: its forms are never put on a screen, the
// recorder starts by itself, and what happens is written to the event log.
#include "archive/RecordingFiles.h"
#include "base/recorder/Recorder.h"
#include "base/transmit/Transmitter.h"
#include "gui/ui/InfoForm.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QWindow>

namespace kestrova::test {
namespace {

class HeadlessTest : public ProgramFixture {
protected:
    // The program folder's settings with the given lines changed; automatic start
    // stays off, as in a new settings file.
    Program& startHeadless(const QList<QPair<int, QString>>& changes = {}) {
        writeIni(defaultIni(changes));
        program = std::make_unique<Program>(fakes.platform(), ProgramOptions{dir.path(), true});
        program->main();
        return *program;
    }
    void writeRecording(const QString& name, int seconds) const {
        QDir(dir.path()).mkpath(QStringLiteral("W"));
        QFile file(dir.filePath(QStringLiteral("W/") + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(recordingOfSeconds(seconds));
    }
};

bool isOnAScreen(const QWidget* form) {
    return form->windowHandle() != nullptr && form->windowHandle()->isVisible();
}

TEST_F(HeadlessTest, StartsTheRecorderWithoutPuttingAFormOnAScreen) {
    Program& p = startHeadless({{23, QStringLiteral("1")}});
    EXPECT_TRUE(p.recorder().isSwitchedOn());
    // Shown as far as the program knows, so every step runs as in the window.
    EXPECT_TRUE(p.frm_DoKu->isVisible());
    for (const QWidget* form :
         std::initializer_list<const QWidget*>{p.frm_DoKu, p.frm_Einstellungen, p.frm_Info, p.frm_Oszi}) {
        EXPECT_FALSE(isOnAScreen(form)) << form->objectName().toStdString();
    }
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Recorder eingeschaltet")).size(), 1);
    // The windowed program starts only as its settings say.
    program.reset();
    fakes.events.lines.clear();
    startProgram();
    EXPECT_FALSE(program->recorder().isSwitchedOn());
    EXPECT_TRUE(fakes.events.lines.isEmpty());
}

TEST_F(HeadlessTest, LogsRetentionKeyingAndPortFailure) {
    writeRecording(QStringLiteral("1_08-10-2012_10-00-00.wav"), 30);
    writeRecording(QStringLiteral("1_08-17-2012_10-00-00.wav"), 30);
    Program& p = startHeadless({{20, QStringLiteral("1")}});
    EXPECT_EQ(
        fakes.events.containing(QStringLiteral("gelöscht")),
        QStringList{QStringLiteral("Alte oder zu kurze Aufnahme gelöscht: ") +
                    QDir::toNativeSeparators(dir.filePath(QStringLiteral("W/1_08-10-2012_10-00-00.wav")))});

    p.transmitter().transmitterOn();
    p.transmitter().transmitterOff();
    // A stop that finds the transmitter un-keyed says nothing.
    p.transmitter().transmitterOff();
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Sender")),
              QStringList({QStringLiteral("Sender getastet"), QStringLiteral("Sender freigegeben")}));

    fakes.serial.openable = false;
    p.transmitter().openControlPort();
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Kein Anschluß")),
              QStringList{QStringLiteral("Kein Anschluß an /dev/ttyS1: Die Schnittstelle gibt es nicht.")});
}

TEST_F(HeadlessTest, TheEndOfTheProgramSavesTheRunningRecordingAndSaysSo) {
    Program& p = startHeadless();
    ASSERT_TRUE(p.recorder().isSwitchedOn());
    p.shutDown();
    const QStringList lines = fakes.events.lines;
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines.at(lines.size() - 3).startsWith(QStringLiteral("Aufnahme begonnen: 1_08-17-2012_")));
    EXPECT_TRUE(lines.at(lines.size() - 2).startsWith(QStringLiteral("Aufnahme ")))
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines.last(), QStringLiteral("Recorder ausgeschaltet"));
    EXPECT_TRUE(p.hasEnded());
}

} // namespace
} // namespace kestrova::test
