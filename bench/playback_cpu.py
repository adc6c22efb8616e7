#!/usr/bin/env python3
"""CPU time of playback in the sound window, against aplay playing the same file.

Usage: bench/playback_cpu.py PLAY_IN_SOUND_WINDOW [seconds] [--pairs N]     (defaults: 30 s a run, 5 pairs)

PLAY_IN_SOUND_WINDOW is bench/play_in_sound_window.cpp built: a program whose
sound window plays a file through the real output, with fakes for everything
else, offscreen. A PulseAudio server of the benchmark's own has a null sink as
its default sink; ALSA knows only its PulseAudio plugin, so the program
(PortAudio) and `aplay` go through the same plugin. Both play the same 8-bit mono
11025 Hz file, longer than a run, in pairs: in each pair the program and `aplay`
play at once (the server mixes them into the null sink) and are measured over the
same seconds after a short settling. Measured one after the other, the two halves
of a pair differed by up to four times on a virtual machine whose wake-ups cost
more from one minute to the next (`aplay` alone took 0.17 to 0.70 % of a core in
one series). CPU time is the scheduler's per-thread figure, and the ratio is taken
in each pair.

Goal: the median of the ratios at most 2.5, and the program's audio threads (all
but the main thread) waking at most about 50 times a second each.
Exit 0: goal met, 1: goal missed or failed to measure, 77: skipped (no
PulseAudio or aplay on this machine).
"""
import math
import os
import shutil
import subprocess
import sys
import time

import audio_bench as ab

SETTLE = 3.0
GOAL = 2.5
# "About 50 a second": the plugin's and the callback's wake-ups at 50 ms blocks
# are 20 to 40; a little room for the scheduler's own count.
THREAD_WAKEUP_GOAL = 55.0


def write_music(path, seconds):
    """A file that sounds like something: two slowly beating tones at a middle level."""
    samples = bytes(int(128 + 40 * math.sin(2 * math.pi * 440 * i / ab.RATE)
                        + 30 * math.sin(2 * math.pi * 443 * i / ab.RATE)) for i in range(int(seconds * ab.RATE)))
    ab.write_wav_u8(path, samples)


def run_pair(server, driver, sound, seconds, run):
    """The sound window and aplay playing the same file, measured over the same seconds."""
    folder = ab.sound_window_folder(server, run)
    log_path = os.path.join(server.work, "play-%d.log" % run)
    with open(log_path, "w") as log:
        player = subprocess.Popen([driver, sound, folder], env=server.env, stdout=log, stderr=log)
    try:
        deadline = time.monotonic() + 30
        while "playing" not in open(log_path).read():
            if time.monotonic() > deadline or player.poll() is not None:
                raise RuntimeError("the sound window did not play:\n" + open(log_path).read())
            time.sleep(0.05)
        aplay = subprocess.Popen(["aplay", "-q", "-D", "default", sound], env=server.env,
                                 stderr=subprocess.DEVNULL)
        try:
            return ab.measure_together([player, aplay], seconds, SETTLE)
        finally:
            ab.stop(aplay)
    finally:
        ab.stop(player)
        shutil.rmtree(folder, ignore_errors=True)


def main():
    arguments = sys.argv[1:]
    pairs = ab.take_count(arguments, "--pairs", 5)
    if not arguments:
        print(__doc__)
        return 1
    driver = os.path.abspath(arguments[0])
    seconds = float(arguments[1]) if len(arguments) > 1 else 30.0
    missing = ab.missing_tools("pulseaudio", "pactl", "aplay")
    if missing:
        print("SKIP: %s is not installed (scripts/deps --test --bench)" % missing)
        return 77
    try:
        server = ab.playback_server()
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    programs, baselines, ratios = [], [], []
    try:
        sound = os.path.join(server.work, "music.wav")
        write_music(sound, seconds + SETTLE + 30)
        for run in range(pairs):
            program, baseline = run_pair(server, driver, sound, seconds, run)
            programs.append(program)
            baselines.append(baseline)
            ratios.append(programs[-1].share / baselines[-1].share if baselines[-1].share > 0 else float("inf"))
            print("  pair %d: program %.3f %%, aplay %.3f %%, ratio %.2f"
                  % (run + 1, 100 * programs[-1].share, 100 * baselines[-1].share, ratios[-1]))
            sys.stdout.flush()
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        server.close()

    print("playing an 8-bit mono 11025 Hz file, %d pairs of %.0f s, each pair at the same moments "
          "(min / median / max):" % (pairs, seconds))
    print(ab.with_load("  sound window: %s %% of one core, %s wake-ups/s"
                       % (ab.spread_text([u.share for u in programs], 100, 3),
                          ab.spread_text([u.wakeups for u in programs], 1, 1))))
    ab.show_threads(programs)
    print(ab.with_load("  aplay (same file, same plugin): %s %% of one core, %s wake-ups/s"
                       % (ab.spread_text([u.share for u in baselines], 100, 3),
                          ab.spread_text([u.wakeups for u in baselines], 1, 1))))
    ab.show_threads(baselines)
    audio_threads = {name for usage in programs for name in usage.threads if name != "main"}
    busiest = max((ab.spread([u.threads.get(name, (0.0, 0.0))[1] for u in programs])[1] for name in audio_threads),
                  default=0.0)
    ratio = ab.spread(ratios)[1]
    print(ab.with_load("ratio sound window / aplay: %s (goal: median at most %.1f)" % (ab.spread_text(ratios), GOAL)))
    print(ab.with_load("audio threads: the busiest wakes %.1f times a second (median; goal: about 50 at most)"
                       % busiest))
    met = ratio <= GOAL and busiest <= THREAD_WAKEUP_GOAL
    print("goal %s" % ("met" if met else "MISSED"))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
