#!/usr/bin/env python3
"""The export of a day: its time and its size, with the machine's load beside them.

A program folder with a new user's settings gets COUNT recordings of SECONDS each in
W, named through today; the service's first start enters them into the day's
manifest. Then `--export DAY DAY` runs three times into new files (the recordings
are in the page cache after the first). Prints min / median / max of the wall time,
the file's size and the load average.

Usage: export_day.py PROGRAM [COUNT] [SECONDS]  (PROGRAM: kestrova-headless of a Release build)
"""
import datetime
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time

RATE = 11025


def wav(samples):
    header = b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVEfmt " + struct.pack(
        "<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8) + b"data" + struct.pack("<I", len(samples))
    return header + samples


def load():
    return "[load %s]" % " ".join("%.2f" % x for x in os.getloadavg())


def main():
    program = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 500
    seconds = int(sys.argv[3]) if len(sys.argv) > 3 else 25
    work = tempfile.mkdtemp(prefix="kestrova-export-bench-")
    folder = os.path.join(work, "program")
    os.makedirs(os.path.join(folder, "W"))
    env = dict(os.environ, HOME=work)
    day = datetime.date.today()
    noise = os.urandom(seconds * RATE)
    step = 86000 // count
    for i in range(count):
        moment = datetime.datetime.combine(day, datetime.time()) + datetime.timedelta(seconds=i * step)
        name = "1_%s.wav" % moment.strftime("%m-%d-%Y_%H-%M-%S")
        with open(os.path.join(folder, "W", name), "wb") as f:
            f.write(wav(struct.pack("<I", i) + noise[4:]))
    manifest = os.path.join(folder, "Manifeste", "1_%s.txt" % day.isoformat())
    service = subprocess.Popen([program, "--program-folder", folder], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 300
    while not (os.path.exists(manifest) and open(manifest).read().count("\n") >= count):
        if time.monotonic() > deadline:
            print("the start did not enter the recordings")
            return 1
        time.sleep(0.2)
    service.send_signal(signal.SIGTERM)
    service.wait(timeout=60)

    times = []
    size = 0
    for run in range(3):
        target = os.path.join(work, "tag%d.tar" % run)
        started = time.monotonic()
        done = subprocess.run([program, "--program-folder", folder, "--export", day.isoformat(), day.isoformat(),
                               target], env=env, capture_output=True, text=True)
        times.append(time.monotonic() - started)
        if done.returncode != 0:
            print(done.stdout + done.stderr)
            return 1
        size = os.path.getsize(target)
        os.remove(target)
        print("run %d: %.2f s %s" % (run + 1, times[-1], load()))
    print("export of a day, %d recordings of %d s: %.2f / %.2f / %.2f s (min / median / max), %.1f MB %s" % (
        count, seconds, min(times), statistics.median(times), max(times), size / 1e6, load()))
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
