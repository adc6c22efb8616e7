#!/usr/bin/env python3
"""Resident memory of the service while it listens and while it records, on the
machine's own ALSA configuration, against arecord and the service on ALSA narrowed.

Usage: bench/headless_memory.py PROGRAM [seconds] [--runs N]   (defaults: 10 s, 5 runs)

PROGRAM is `kestrova` (run as `kestrova --headless`, which hands over to
kestrova-headless, on Qt Core alone) or `kestrova-headless` itself. Starts a PulseAudio
server of its own with a null source (listening) and a pipe source fed with a loud tone
in real time (recording). ALSA keeps the machine's configuration, with every plugin
installed (libasound2-plugins on a desktop with PulseAudio), whose hook makes the
server ALSA's default device through the pulse plugin. The service runs with its
recorder on; after a settling VmRSS is sampled from /proc/PID/status for the given
seconds and the most is taken; the process's maps are read for Qt Gui or Widgets and
the count of libraries mapped. While recording, the working capture file must grow.

Baselines in the same run and on the same server: `arecord` recording the same
source into a WAV file, and the service listening with ALSA narrowed to its pulse
plugin alone (what the other sound benchmarks use).

Goal (medians of the runs): the service under 25 MB resident while listening and
while recording, with no Qt Gui or Widgets library mapped. Exit 0: goal met, 1:
missed or failed to measure, 77: skipped (no PulseAudio or arecord on this machine).
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import audio_bench as ab

SETTLE = 3.0
GOAL_MB = 25.0


def footprint(pid):
    """(Qt Gui or Widgets libraries mapped, all libraries mapped, VmRSS in MB)."""
    with open("/proc/%d/maps" % pid) as f:
        libraries = {line.split()[-1] for line in f if ".so" in line.split()[-1]}
    gui = sorted(name for name in libraries if "libQt6Gui" in name or "libQt6Widgets" in name)
    with open("/proc/%d/status" % pid) as f:
        rss = next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
    return gui, len(libraries), rss / 1024


class Sample:
    def __init__(self, process, seconds):
        time.sleep(SETTLE)
        self.most, self.gui, self.libraries = 0.0, [], 0
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if process.poll() is not None:
                raise RuntimeError("ended early with %d" % process.returncode)
            self.gui, self.libraries, rss = footprint(process.pid)
            self.most = max(self.most, rss)
            time.sleep(0.1)


def program_arguments(program):
    return [program] + ([] if os.path.basename(program) == "kestrova-headless" else ["--headless"])


def size_of(path):
    return os.path.getsize(path) if os.path.exists(path) else 0


def run_service(server, program, seconds, name, env=None):
    """The service's sample; while recording (the tone's source), its capture must grow."""
    folder = os.path.join(server.work, name)
    kestrova = ab.start_recording_program(server, program_arguments(program), folder, env)
    capture = os.path.join(folder, "capture.part.wav")
    try:
        before = size_of(capture)
        sample = Sample(kestrova, seconds)
        sample.grew = size_of(capture) > before + ab.RATE
        return sample
    finally:
        ab.stop(kestrova)


def run_arecord(server, seconds):
    path = os.path.join(server.work, "arecord.wav")
    arecord = subprocess.Popen(["arecord", "-q", "-D", "default", "-f", "U8", "-c", "1", "-r", str(ab.RATE),
                                "-t", "wav", path], env=server.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        return Sample(arecord, seconds)
    finally:
        ab.stop(arecord)


def median_text(samples):
    figures = [s.most for s in samples]
    return "%.1f MB (min %.1f, max %.1f), %d libraries" % (
        statistics.median(figures), min(figures), max(figures), statistics.median(s.libraries for s in samples))


def main():
    arguments = sys.argv[1:]
    runs = ab.take_count(arguments, "--runs", 5)
    if not arguments:
        print(__doc__)
        return 1
    program = os.path.abspath(arguments[0])
    seconds = float(arguments[1]) if len(arguments) > 1 else 10.0
    missing = ab.missing_tools("pulseaudio", "pactl", "arecord")
    if missing:
        print("SKIP: %s is not installed (scripts/deps --test --bench)" % missing)
        return 77
    pipe = os.path.join(tempfile.mkdtemp(prefix="kestrova-feed-"), "air.pipe")
    try:
        server = ab.PulseServer(["load-module module-null-sink sink_name=out", "set-default-sink out",
                                 "load-module module-null-source source_name=quiet format=u8 rate=%d channels=1"
                                 % ab.RATE,
                                 "load-module module-pipe-source source_name=air file=%s format=u8 rate=%d "
                                 "channels=1" % (pipe, ab.RATE)], machine_alsa=True)
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    feeder = ab.ToneFeeder(pipe)
    feeder.start()
    listening, recording, arecords, narrowed, mapped = [], [], [], [], set()
    try:
        for number in range(runs):
            server.pactl("set-default-source", "quiet")
            listening.append(run_service(server, program, seconds, "listening-%d" % number))
            narrowed.append(run_service(server, program, seconds, "narrowed-%d" % number, server.narrowed_env))
            server.pactl("set-default-source", "air")
            recording.append(run_service(server, program, seconds, "recording-%d" % number))
            if not recording[-1].grew:
                raise RuntimeError("the service did not record the tone (its capture file did not grow)")
            arecords.append(run_arecord(server, seconds))
            for sample in (listening[-1], recording[-1]):
                mapped.update(sample.gui)
            print(ab.with_load("  run %d: service listening %.1f MB, recording %.1f MB; arecord %.1f MB; "
                               "service on ALSA narrowed %.1f MB"
                               % (number + 1, listening[-1].most, recording[-1].most, arecords[-1].most,
                                  narrowed[-1].most)))
            sys.stdout.flush()
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        feeder.stopped = True
        server.close()
    print(ab.with_load("service listening: %s" % median_text(listening)))
    print(ab.with_load("service recording: %s" % median_text(recording)))
    print(ab.with_load("baseline arecord recording the same source: %s" % median_text(arecords)))
    print(ab.with_load("baseline service listening, ALSA narrowed to its pulse plugin: %s" % median_text(narrowed)))
    print("Qt Gui/Widgets mapped: %s" % (", ".join(sorted(mapped)) or "none"))
    worst = max(statistics.median(s.most for s in listening), statistics.median(s.most for s in recording))
    met = worst < GOAL_MB and not mapped
    print(ab.with_load("goal: under %.0f MB listening and recording, no Qt Gui or Widgets: %s"
                       % (GOAL_MB, "met" if met else "MISSED")))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
