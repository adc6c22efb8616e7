#!/usr/bin/env python3
"""The control room's page (kestrova --leitstelle) over three busy circuits.

Usage: bench/leitstelle_load.py PROGRAM      (kestrova-headless or kestrova)

Three circuits' documentation folders (copies as another machine fills them, each a
folder W) are followed by one page on a loopback port. First the page runs for a
while over the empty folders: the baseline of its CPU time and resident memory in
this run. Then a day's filings of 10,000 recordings a circuit are filed into them
as fast as this script writes them (one second of sound each), and the page must
list all 30,000. Then 60 more are filed one at a time, each after the page has read
the one before (0.4 s apart): the CPU time of one such look, when each circuit's
folder holds a day, times 30,000 filings is what a real day of 10,000 a circuit
costs, filed one by one. Last, the whole list is asked for once.

Goals: a real day's filings, so reckoned, under 1 % of one core (864 CPU seconds a
day: the three recorders themselves take about 0.2 % each, and the machine of a
control room does other work); resident memory with 30,000 recordings listed no more
than 40 MB above the baseline; the list of 30,000 answered within 5 seconds.
Exit 0: goals met, 2: a goal missed, 1: failed to measure.
"""
import json
import os
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request

CIRCUITS = 3
DAY = 10000
PACED = 60
RATE = 8000
TICKS = os.sysconf("SC_CLK_TCK")


def recording():
    samples = bytes([128]) * RATE
    return struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(samples), b"WAVE", b"fmt ", 16, 1, 1, RATE, RATE, 1,
                       8, b"data", len(samples)) + samples


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def resident_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def listed(port):
    with urllib.request.urlopen("http://127.0.0.1:%d/api/aufnahmen" % port, timeout=30) as answer:
        return json.load(answer)


def name(circuit, index):
    moment = time.localtime(time.mktime((2026, 12, 9, 0, 0, 0, 0, 0, -1)) + index * 8)
    return time.strftime("%d_%%m-%%d-%%Y_%%H-%%M-%%S.wav" % circuit, moment)


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.2)
    return True


def count(port):
    try:
        return len(listed(port))
    except OSError:
        return -1


def main():
    program = sys.argv[1]
    work = tempfile.mkdtemp(prefix="kestrova-leitstelle-bench-")
    folders = [os.path.join(work, "kreis%d" % n, "W") for n in range(1, CIRCUITS + 1)]
    for folder in folders:
        os.makedirs(folder)
    port = free_port()
    env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=work)
    page = subprocess.Popen([program, "--leitstelle"] + [os.path.dirname(f) for f in folders]
                            + ["--program-folder", work, "--web", "127.0.0.1:%d" % port], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    data = recording()
    try:
        if not wait_for(lambda: count(port) == 0, 20):
            print("FAILED: the page did not come up")
            return 1
        start = cpu_seconds(page.pid)
        time.sleep(10)
        idle = cpu_seconds(page.pid) - start
        baseline = resident_mb(page.pid)
        print("baseline, empty folders: %.2f CPU s in 10 s, %.1f MB resident" % (idle, baseline))

        start = cpu_seconds(page.pid)
        began = time.monotonic()
        for index in range(DAY):
            for circuit, folder in enumerate(folders, 1):
                with open(os.path.join(folder, name(circuit, index)), "wb") as f:
                    f.write(data)
        if not wait_for(lambda: count(port) == CIRCUITS * DAY, 120):
            print("FAILED: the page lists %d of %d" % (count(port), CIRCUITS * DAY))
            return 1
        fast = cpu_seconds(page.pid) - start
        resident = resident_mb(page.pid)
        print("a day filed fast (%d recordings in %.0f s): %.1f CPU s, %.1f MB resident (+%.1f MB)"
              % (CIRCUITS * DAY, time.monotonic() - began, fast, resident, resident - baseline))

        start = cpu_seconds(page.pid)
        for index in range(DAY, DAY + PACED):
            folder = folders[index % CIRCUITS]
            with open(os.path.join(folder, name(index % CIRCUITS + 1, index)), "wb") as f:
                f.write(data)
            time.sleep(0.4)
        per_look = (cpu_seconds(page.pid) - start - idle * PACED * 0.4 / 10) / PACED
        day_cpu = per_look * CIRCUITS * DAY
        print("one filing read alone with a day in each folder: %.1f ms CPU; a real day: %.0f CPU s (%.2f %% of a core)"
              % (per_look * 1000, day_cpu, day_cpu / 864))

        began = time.monotonic()
        rows = len(listed(port))
        answer_s = time.monotonic() - began
        print("the list of %d answered in %.2f s" % (rows, answer_s))
    finally:
        page.terminate()
        page.wait(10)

    missed = []
    if day_cpu > 864:
        missed.append("a real day's filings take %.0f CPU s, more than 864" % day_cpu)
    if resident - baseline > 40:
        missed.append("memory grew by %.1f MB, more than 40" % (resident - baseline))
    if answer_s > 5:
        missed.append("the list took %.1f s" % answer_s)
    for line in missed:
        print("MISSED: " + line)
    return 2 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
