#!/usr/bin/env python3
"""CPU time of the program listening (or recording), against arecord on the same source.

Usage: bench/listen_cpu.py PROGRAM [seconds] [--record] [--pairs N] [--perf] [--floor QT_TIMER_FLOOR]
       (defaults: 30 s a run, 7 pairs)

Starts a PulseAudio server of its own. Listening: its default source is a null
source (silence, 8-bit mono 11025 Hz), and `arecord` records it to /dev/null.
Recording (--record): the default source is a pipe source fed with a loud 1 kHz
tone in real time, so the program records a transmission the whole time and
writes it into its working file, and `arecord` writes a WAV file of it.

The program runs with the recorder switched on at start and the default 10 ms
meter interval. Each pair starts the program and arecord afresh on the same source
and, after a short settling, measures both over the same seconds: on a shared
machine whose load comes and goes within seconds, two halves measured one after the
other differed by up to three times, while the same moments load both alike. CPU
time is the scheduler's per-thread figure (/proc/PID/task/*/schedstat), and the
ratio is taken in each pair.

With --floor, the bare Qt program with a 10 ms timer (bench/qt_timer_floor.cpp)
is measured once too: what the meter's interval costs before the program does
anything. With --perf, `perf record` samples the program in its first run and the
report of where its time goes is printed (perf from linux-perf).

Goals (median of the pairs' ratios): listening at most 1.5 times arecord and under
2 % of one core; recording at most 2 times arecord writing a WAV file.
Exit 0: goal met, 1: goal missed or failed to measure, 77: skipped (no PulseAudio
or arecord on this machine).
"""
import os
import shutil
import subprocess
import sys
import tempfile

import audio_bench as ab

SETTLE = 5.0  # the recording that starts with the recorder ends after 1 s of silence
LISTEN_GOAL = 1.5
LISTEN_SHARE_GOAL = 0.02
RECORD_GOAL = 2.0


def start_arecord(server, recording):
    target = os.path.join(server.work, "arecord.wav") if recording else "/dev/null"
    return subprocess.Popen(["arecord", "-q", "-D", "default", "-f", "U8", "-c", "1", "-r", str(ab.RATE),
                             "-t", "wav" if recording else "raw", target], env=server.env,
                            stderr=subprocess.DEVNULL)


def run_pair(server, program, seconds, run, recording, perf_data=None):
    """The program and arecord on the same source, measured over the same seconds."""
    folder = os.path.join(server.work, "program-%d" % run)
    kestrova = ab.start_recording_program(server, [program], folder)
    working = os.path.join(folder, "capture.part.wav")
    arecord = None
    try:
        arecord = start_arecord(server, recording)
        size_before = os.path.getsize(working)
        usages = ab.measure_together([kestrova, arecord], seconds, SETTLE, perf_data)
        written = os.path.getsize(working) - size_before if os.path.exists(working) else 0
    finally:
        ab.stop(kestrova)
        if arecord:
            ab.stop(arecord)
        target = os.path.join(server.work, "arecord.wav")
        if os.path.exists(target):
            os.remove(target)
    if recording and written < 0.5 * (seconds + SETTLE) * ab.RATE:
        raise RuntimeError("the program recorded only %d bytes in %.0f s: no transmission seen" % (written, seconds))
    shutil.rmtree(folder, ignore_errors=True)
    return usages


def main():
    arguments = sys.argv[1:]
    options = {"--perf": False, "--record": False}
    values = {"--floor": None, "--pairs": "7"}
    rest = []
    while arguments:
        word = arguments.pop(0)
        if word in options:
            options[word] = True
        elif word in values and arguments:
            values[word] = arguments.pop(0)
        else:
            rest.append(word)
    if not rest:
        print(__doc__)
        return 1
    program = os.path.abspath(rest[0])
    seconds = float(rest[1]) if len(rest) > 1 else 30.0
    pairs = max(1, int(values["--pairs"]))
    recording = options["--record"]
    missing = ab.missing_tools("pulseaudio", "pactl", "arecord")
    if missing:
        print("SKIP: %s is not installed (scripts/deps --test --bench)" % missing)
        return 77
    pipe = os.path.join(tempfile.mkdtemp(prefix="kestrova-feed-"), "air.pipe")
    if recording:
        sources = ["load-module module-pipe-source source_name=air file=%s format=u8 rate=%d channels=1"
                   % (pipe, ab.RATE), "set-default-source air"]
    else:
        sources = ["load-module module-null-source source_name=quiet format=u8 rate=%d channels=1" % ab.RATE,
                   "set-default-source quiet"]
    try:
        server = ab.PulseServer(["load-module module-null-sink sink_name=out", "set-default-sink out"] + sources)
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    feeder = ab.ToneFeeder(pipe) if recording else None
    if feeder:
        feeder.start()
    programs, baselines, ratios = [], [], []
    floor = None
    perf_data = os.path.join(server.work, "perf.data") if options["--perf"] else None
    try:
        for run in range(pairs):
            usage, baseline = run_pair(server, program, seconds, run, recording, perf_data if run == 0 else None)
            programs.append(usage)
            baselines.append(baseline)
            ratios.append(programs[-1].share / baselines[-1].share if baselines[-1].share > 0 else float("inf"))
            print("  pair %d: program %.3f %%, arecord %.3f %%, ratio %.2f"
                  % (run + 1, 100 * programs[-1].share, 100 * baselines[-1].share, ratios[-1]))
            sys.stdout.flush()
        if values["--floor"]:
            bare = subprocess.Popen([os.path.abspath(values["--floor"])], env=server.env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                floor = ab.measure(bare, seconds, SETTLE)
            finally:
                ab.stop(bare)
        if perf_data:
            report = subprocess.run(["perf", "report", "-i", perf_data, "--no-children", "--stdio",
                                     "--percent-limit", "1", "-g", "none", "--sort", "comm,dso,sym"],
                                    capture_output=True, text=True)
            print(report.stdout)
            shutil.copy(perf_data, "listen_cpu.perf.data")
            print("perf data kept in listen_cpu.perf.data")
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        if feeder:
            feeder.stopped = True
        server.close()
        shutil.rmtree(os.path.dirname(pipe), ignore_errors=True)

    what = "recording a 1 kHz tone into a WAV file" if recording else "listening to silence"
    print("%s, %d pairs of %.0f s, 10 ms meter interval (min / median / max):" % (what, pairs, seconds))
    print(ab.with_load("  program: %s %% of one core, %s wake-ups/s"
                       % (ab.spread_text([u.share for u in programs], 100, 3),
                          ab.spread_text([u.wakeups for u in programs], 1, 1))))
    ab.show_threads(programs)
    print(ab.with_load("  arecord (%s): %s %% of one core, %s wake-ups/s"
                       % ("same source into a WAV file" if recording else "same source to /dev/null",
                          ab.spread_text([u.share for u in baselines], 100, 3),
                          ab.spread_text([u.wakeups for u in baselines], 1, 1))))
    ab.show_threads(baselines)
    if floor is not None:
        median_baseline = ab.spread([u.share for u in baselines])[1]
        print(ab.with_load("  bare Qt program with a 10 ms timer: %.3f %% of one core (%.1f times arecord's median)"
                           % (100 * floor.share,
                              floor.share / median_baseline if median_baseline > 0 else float("inf"))))
    ratio = ab.spread(ratios)[1]
    median_share = ab.spread([u.share for u in programs])[1]
    if recording:
        met = ratio <= RECORD_GOAL
        goal = "at most %.1f" % RECORD_GOAL
    else:
        met = ratio <= LISTEN_GOAL and median_share < LISTEN_SHARE_GOAL
        goal = "at most %.1f, and the program under %.0f %% of one core" % (LISTEN_GOAL, 100 * LISTEN_SHARE_GOAL)
    print(ab.with_load("ratio program / arecord: %s (goal: median %s)" % (ab.spread_text(ratios), goal)))
    print("goal %s" % ("met" if met else "MISSED"))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
