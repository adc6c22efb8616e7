// Plays a WAV file in the sound window as a click on the normal speed does, through
// the real output (PortAudio) and fakes for everything else, until it is ended:
// what playback in the sound window costs, measured from outside by
// bench/playback_cpu.py. With --once it ends when the file has played (the soak
// plays recordings so): exit 0 when it played to its end.
// Usage: play_in_sound_window FILE.wav PROGRAM_FOLDER [--once]
#include "base/audio/OutputGain.h"
#include "base/audio/PortAudioSession.h"
#include "base/audio/PortAudioSink.h"
#include "base/audio/StreamingPlayback.h"
#include "gui/app/Program.h"
#include "gui/player/Player.h"
#include "gui/ui/MainForm.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

using namespace kestrova;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool once = argc == 4 && QByteArray(argv[3]) == "--once";
    if (argc != 3 && !once) {
        std::fputs("usage: play_in_sound_window FILE.wav PROGRAM_FOLDER [--once]\n", stderr);
        return 2;
    }
    test::FakePlatform fakes;
    OutputGain gain;
    // Held as the program's input holds it: the sink takes PortAudio only while it plays.
    const PortAudioSession portAudio;
    PortAudioSink sink(gain);
    StreamingPlayback device(sink);
    fakes.realPlayer = &device;
    Program program(fakes.platform(), ProgramOptions{QString::fromLocal8Bit(argv[2])});
    program.main();
    Player& player = program.player();
    player.setCurrentFile(QString::fromLocal8Bit(argv[1]));
    player.loadPlayerFile();
    player.speedLabels().choose(SpeedLabels::kNormalSpeed);
    if (!player.playing()) {
        std::fputs("the sound window does not play the file\n", stderr);
        return 1;
    }
    std::puts("playing");
    std::fflush(stdout);
    QTimer end;
    if (once) {
        // The end of the file stops the player and leaves its position at the end.
        end.callOnTimeout([&player] {
            if (!player.playing()) {
                QApplication::exit(player.pos() == 1'000'000 ? 0 : 1);
            }
        });
        end.start(100);
    }
    return QApplication::exec();
}
