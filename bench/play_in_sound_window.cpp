// Plays a WAV file in the sound window as a click on the normal speed does, through
// the real output (PortAudio) and fakes for everything else, until it is ended:
// what playback in the sound window costs, measured from outside by
// bench/playback_cpu.py. With --once it ends when the file has played (the soak
// plays recordings so): exit 0 when it played to its end.
// With --clicks N it clicks the normal speed N times, each time seeking to three
// quarters of the file four seconds later and stopping after a further 1.5 s, and
// prints each click and seek with the monotonic clock's seconds ("click 123.456789")
// for bench/click_to_sound.py, which finds when each was heard.
// Usage: play_in_sound_window FILE.wav PROGRAM_FOLDER [--once | --clicks N]
#include "base/audio/OutputGain.h"
#include "base/audio/PortAudioSession.h"
#include "base/audio/PortAudioSink.h"
#include "base/audio/StreamingPlayback.h"
#include "base/desktop/SystemClock.h"
#include "gui/app/Program.h"
#include "gui/player/Player.h"
#include "gui/ui/MainForm.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>

using namespace kestrova;

namespace {

void waitMs(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// What the user did, on the clock that Python's time.monotonic() reads.
void note(const char* what) {
    const double now =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    std::printf("%s %.6f\n", what, now);
    std::fflush(stdout);
}

// Each round: a click on the normal speed plays from the start; four seconds on, a
// move of the slider seeks to three quarters of the file; 1.5 s later the stop.
int clickRounds(Player& player, int rounds) {
    waitMs(1000);
    for (int round = 0; round < rounds; ++round) {
        player.setStartPos(1'000'000);
        note("click");
        player.speedLabels().choose(SpeedLabels::kNormalSpeed);
        if (!player.playing()) {
            std::fputs("the sound window does not play the file\n", stderr);
            return 1;
        }
        waitMs(4000);
        note("seek");
        player.playback().seek(750'000);
        waitMs(1500);
        player.playback().stop();
        waitMs(1500);
    }
    std::puts("done");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // As the program does at its start: the window's timed actions read the local time.
    readLocalZoneOnce();
    QApplication app(argc, argv);
    const bool once = argc == 4 && QByteArray(argv[3]) == "--once";
    const int clicks = argc == 5 && QByteArray(argv[3]) == "--clicks" ? QByteArray(argv[4]).toInt() : 0;
    if (argc != 3 && !once && clicks < 1) {
        std::fputs("usage: play_in_sound_window FILE.wav PROGRAM_FOLDER [--once | --clicks N]\n", stderr);
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
    if (clicks > 0) {
        return clickRounds(player, clicks);
    }
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
