#!/usr/bin/env python3
"""Click-to-sound time of the sound window while nothing is keyed, against aplay.

Usage: bench/click_to_sound.py PLAY_IN_SOUND_WINDOW [--runs N] [--clicks N]   (defaults: 3 runs of 3 clicks)

PLAY_IN_SOUND_WINDOW is bench/play_in_sound_window.cpp built. A PulseAudio server of
the benchmark's own has a null sink as its default sink, and ALSA knows only its
PulseAudio plugin, so the program and `aplay` go through the same plugin and server.
The sink's monitor is recorded the whole time (parec, 5 ms fragments), each block
stamped with the monotonic clock as it arrives, so every sample has a time on the
clock the program prints its clicks with.

Each run starts the program afresh; it clicks the normal speed (the file plays from
its start, a tone), seeks four seconds later into the tone at three quarters of the
file (the part before is silent) and stops, a few times over. The time from each
click and seek to the first loud sample on the monitor is its click-to-sound time;
the first click of a run is the first play after the start. `aplay` playing a tone
is timed the same way from the moment it is started.

Goal: every first play and the median of the later clicks and of the seeks at most
0.1 s. Exit 0: goal met, 1: goal missed or failed to measure, 77: skipped (no
PulseAudio, parec or aplay on this machine).
"""
import os
import subprocess
import sys
import time

import audio_bench as ab

GOAL = 0.1
LOUD = 40  # a sample this far from the 8-bit middle is sound
QUIET_BEFORE = 0.3  # the monitor must have been silent this long before a click
# The driver's file: a tone for 1 s, silence until 8 s, a tone to 12 s; it seeks to 9 s.
TONE_SECONDS, SILENT_UNTIL, FILE_SECONDS = 1.0, 8.0, 12.0


def run_program(server, monitor, driver, sound, clicks, run):
    folder = ab.sound_window_folder(server, run)
    result = subprocess.run([driver, sound, folder, "--clicks", str(clicks)], env=server.env,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=60 + 10 * clicks)
    if result.returncode != 0 or "done" not in result.stdout:
        raise RuntimeError("the sound window did not play:\n" + result.stdout + result.stderr)
    monitor.wait(0.5)
    events = [line.split() for line in result.stdout.splitlines() if line.startswith(("click ", "seek "))]
    heard = [(kind, monitor.onset_after(float(moment), 3.0)) for kind, moment in events]
    for (kind, moment), (_, onset) in zip(events, heard):
        if onset is None:
            raise RuntimeError("run %d: no sound after a quiet moment found for the %s; sound heard from %.3f s"
                               " before it: %s" % (run + 1, kind, 2.0,
                                                   monitor.loud_spans(float(moment) - 2.0, float(moment) + 3.0)))
    return heard


def run_aplay(server, monitor, sound):
    started = time.monotonic()
    subprocess.run(["aplay", "-q", "-D", "default", sound], env=server.env, stderr=subprocess.DEVNULL, timeout=20)
    monitor.wait(0.5)
    onset = monitor.onset_after(started, 3.0)
    if onset is None:
        raise RuntimeError("no sound found after aplay")
    return onset


def main():
    arguments = sys.argv[1:]
    runs = ab.take_count(arguments, "--runs", 3)
    clicks = ab.take_count(arguments, "--clicks", 3)
    if not arguments:
        print(__doc__)
        return 1
    driver = os.path.abspath(arguments[0])
    missing = ab.missing_tools("pulseaudio", "pactl", "parec", "aplay")
    if missing:
        print("SKIP: %s is not installed (scripts/deps --test --bench)" % missing)
        return 77
    try:
        server = ab.playback_server()
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    monitor = ab.MonitorRecorder(server, loud=LOUD, quiet_before=QUIET_BEFORE)
    monitor.start()
    firsts, later, seeks, aplays = [], [], [], []
    try:
        sound = os.path.join(server.work, "clicks.wav")
        ab.write_wav_u8(sound, ab.tone(TONE_SECONDS) + ab.silence(SILENT_UNTIL - TONE_SECONDS)
                        + ab.tone(FILE_SECONDS - SILENT_UNTIL))
        beep = os.path.join(server.work, "beep.wav")
        ab.write_wav_u8(beep, ab.tone(0.5))
        monitor.wait(1.0)
        for run in range(runs):
            heard = run_program(server, monitor, driver, sound, clicks, run)
            click_times = [onset for kind, onset in heard if kind == "click"]
            firsts.append(click_times[0])
            later.extend(click_times[1:])
            seeks.extend(onset for kind, onset in heard if kind == "seek")
            aplays.append(run_aplay(server, monitor, beep))
            print(ab.with_load("  run %d: first click %.3f s, later clicks %s s, seeks %s s, aplay %.3f s"
                               % (run + 1, firsts[-1], " ".join("%.3f" % t for t in click_times[1:]),
                                  " ".join("%.3f" % t for kind, t in heard if kind == "seek"), aplays[-1])))
            sys.stdout.flush()
    except (RuntimeError, subprocess.TimeoutExpired) as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        monitor.stop()
        server.close()

    print("click to sound, nothing keyed, %d runs of %d clicks (min / median / max, seconds):" % (runs, clicks))
    print(ab.with_load("  first play after the start: %s" % ab.spread_text(firsts, 1, 3)))
    if later:
        print(ab.with_load("  later clicks:               %s" % ab.spread_text(later, 1, 3)))
    print(ab.with_load("  seeks while playing:        %s" % ab.spread_text(seeks, 1, 3)))
    print(ab.with_load("  aplay (same server):        %s" % ab.spread_text(aplays, 1, 3)))
    met = max(firsts) <= GOAL and ab.spread(seeks)[1] <= GOAL and (not later or ab.spread(later)[1] <= GOAL)
    print("goal (every first play, the median of later clicks and of seeks at most %.1f s) %s"
          % (GOAL, "met" if met else "MISSED"))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
