#!/usr/bin/env python3
"""Resident memory of the service while it listens, against the windowed program.

Usage: bench/headless_memory.py PROGRAM [seconds] [--runs N]   (defaults: 10 s, 5 runs)

Starts a PulseAudio server of its own with a null source, as listen_cpu.py does, and
runs `PROGRAM --headless` (which hands over to kestrova-headless, on Qt Core alone)
with its recorder switched on. After a settling it samples VmRSS from
/proc/PID/status for the given seconds and takes the most; it also reads the
process's maps for Qt Gui or Widgets. The baseline, in the same run and on the same
server, is the windowed program with Qt's offscreen platform: what --headless was
before the service had a program of its own.

Goal (median of the runs): the service under 30 MB resident, with no Qt Gui or
Widgets library mapped. Exit 0: goal met, 1: missed or failed to measure, 77:
skipped (no PulseAudio on this machine).
"""
import os
import statistics
import sys
import time

import audio_bench as ab

SETTLE = 3.0
GOAL_MB = 30.0


def footprint(pid):
    with open("/proc/%d/maps" % pid) as f:
        gui = sorted({line.split()[-1] for line in f if "libQt6Gui" in line or "libQt6Widgets" in line})
    with open("/proc/%d/status" % pid) as f:
        rss = next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
    return gui, rss / 1024


def run(server, program, seconds, run_number, headless):
    folder = os.path.join(server.work, "program-%s-%d" % ("headless" if headless else "windows", run_number))
    kestrova = ab.start_recording_program(server, [program] + (["--headless"] if headless else []), folder)
    try:
        time.sleep(SETTLE)
        most, gui = 0.0, []
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            gui, rss = footprint(kestrova.pid)
            most = max(most, rss)
            time.sleep(0.1)
        return most, gui
    finally:
        ab.stop(kestrova)


def main():
    arguments = sys.argv[1:]
    runs = ab.take_count(arguments, "--runs", 5)
    if not arguments:
        print(__doc__)
        return 1
    program = os.path.abspath(arguments[0])
    seconds = float(arguments[1]) if len(arguments) > 1 else 10.0
    missing = ab.missing_tools("pulseaudio", "pactl")
    if missing:
        print("SKIP: %s is not installed (scripts/deps --test --bench)" % missing)
        return 77
    try:
        server = ab.PulseServer(["load-module module-null-sink sink_name=out", "set-default-sink out",
                                 "load-module module-null-source source_name=quiet format=u8 rate=%d channels=1"
                                 % ab.RATE, "set-default-source quiet"])
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    services, windows, mapped = [], [], set()
    try:
        for number in range(runs):
            service, gui = run(server, program, seconds, number, True)
            window, _ = run(server, program, seconds, number, False)
            services.append(service)
            windows.append(window)
            mapped.update(gui)
            print("  run %d: service %.1f MB, windows offscreen %.1f MB" % (number, service, window))
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        server.close()
    service, window = statistics.median(services), statistics.median(windows)
    print("service (--headless): %.1f MB resident (min %.1f, max %.1f); Qt Gui/Widgets mapped: %s"
          % (service, min(services), max(services), ", ".join(sorted(mapped)) or "none"))
    print("windows offscreen (the old --headless): %.1f MB; the service holds %.0f %% of it"
          % (window, 100 * service / window))
    met = service < GOAL_MB and not mapped
    print("goal: under %.0f MB, no Qt Gui or Widgets: %s" % (GOAL_MB, "met" if met else "MISSED"))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
