#!/usr/bin/env python3
"""The service through the wall clock's steps, as a station without a battery clock has them.

The service runs with a new user's settings under libfaketime, which moves the wall
clock alone (the monotonic clock stays real, as with a real NTP step), in Berlin's
zone. A first run on the evening before leaves a real day's recording and manifest.
The second run boots with the clock at 2020, is stepped to just before midnight of
the day after the first run (the night's pass follows), then into the autumn change
(a transmission across 03:00 summer time, one in the repeated hour) and back by a
day. Every transmission comes through the file-fed input.

Checks: every transmission fed is kept in W byte for byte (none deleted by the
night's pass or taken for another); the names follow the clock as it read; the log
names each recording as it was filed, and one beginning for each; the doubt about the
clock is logged once;
--verify finds the archive intact.

Usage: clock_steps.py PROGRAM (kestrova-headless). Exit 0: passed, 1: failed, 77:
libfaketime is not installed.
"""
import datetime
import glob
import os
import signal
import subprocess
import sys
import tempfile
import time
import zoneinfo

from headless import RATE, coded, data_of, program_env, silence, verdict, wait_for, wav

ZONE = zoneinfo.ZoneInfo("Europe/Berlin")
# A new user's settings keep a recording longer than 20 s and end it after 20 s of silence.
TRANSMISSION = 22
# Silence after a transmission, long enough for its recording to end.
GAP = 27
# What was fed from this long after its start must be in the recording.
START_ALLOWANCE = 0.25


def faketime_library():
    found = glob.glob("/usr/lib/*/faketime/libfaketimeMT.so.1")
    return found[0] if found else None


class WallClock:
    """The wall clock the program reads: an offset to the real one, in a file libfaketime rereads."""

    def __init__(self, path):
        self.path = path

    def set(self, local):
        """Sets the clock to read `local` now, to the second; a program starting a moment
        later reads a second or two on, so the tests set half a minute into a minute."""
        offset = int(round(local.replace(tzinfo=ZONE).timestamp() - time.time()))
        with open(self.path + ".new", "w") as f:
            f.write("%+d\n" % offset)
        os.replace(self.path + ".new", self.path)


def moment(text, fold=0):
    return datetime.datetime.strptime(text, "%Y-%m-%d %H:%M:%S").replace(fold=fold)


class Service:
    def __init__(self, program, folder, feed, env, log):
        self.log = log
        self.process = subprocess.Popen([program, "--program-folder", folder, "--input-file", feed], env=env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=open(log, "ab"))

    def lines(self):
        with open(self.log, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()

    def filed(self):
        return [line.split("Aufnahme abgelegt: ", 1)[1].split()[0] for line in self.lines()
                if "Aufnahme abgelegt: " in line]

    def stop(self, failures):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
        if self.process.returncode != 0:
            failures.append("the service ended with %d" % self.process.returncode)


def first_run(program, folder, work, env, clock, fed, failures):
    """The evening before: one transmission, a real day's recording and manifest."""
    feed = os.path.join(work, "evening.wav")
    with open(feed, "wb") as f:
        f.write(wav(silence(2) + fed + silence(GAP)))
    clock.set(moment("2026-10-24 12:00:30"))
    service = Service(program, folder, feed, env, os.path.join(work, "first.log"))
    if not wait_for(lambda: service.filed() or service.process.poll() is not None, 90):
        failures.append("the first run filed nothing")
    service.stop(failures)


# The second run: each transmission's place in the feed, and where the clock is set
# (feed second, local time, which of a repeated hour's readings).
STARTS = [3, 52, 110, 157, 207]
STEPS = [
    (48, "2026-10-24 23:59:40", 0),  # NTP's step, just before the next day's night pass
    (105, "2026-10-25 02:59:50", 0),  # into the autumn change, summer time still
    (203, "2026-10-24 02:01:00", 0),  # back by a day
]


def second_feed(transmissions):
    samples = b""
    for start, fed in zip(STARTS, transmissions):
        samples += silence(start - len(samples) / RATE) + fed
    return samples + silence(GAP)


def second_run(program, folder, work, env, clock, transmissions, failures):
    feed = os.path.join(work, "steps.wav")
    with open(feed, "wb") as f:
        f.write(wav(second_feed(transmissions)))
    clock.set(moment("2020-01-01 10:00:30"))
    service = Service(program, folder, feed, env, os.path.join(work, "second.log"))
    try:
        # The feed starts with the recorder, which anchors it on the monotonic clock.
        if not wait_for(lambda: any("Recorder eingeschaltet" in line for line in service.lines())
                        or service.process.poll() is not None, 60):
            failures.append("the second run's recorder did not start")
            return service
        fed_from = time.monotonic()
        for at, local, fold in STEPS:
            wait_for(lambda: time.monotonic() >= fed_from + at or service.process.poll() is not None, at + 10)
            clock.set(moment(local, fold))
        wait_for(lambda: len(service.filed()) >= len(STARTS) or service.process.poll() is not None,
                 STARTS[-1] + TRANSMISSION + 30 - (time.monotonic() - fed_from))
    finally:
        service.stop(failures)
    return service


def check_kept(recordings, fed_in_order, failures):
    names = sorted(n for n in os.listdir(recordings) if n.endswith(".wav")) if os.path.isdir(recordings) else []
    datas = {name: data_of(os.path.join(recordings, name)) for name in names}
    holders = []
    for number, fed in enumerate(fed_in_order):
        holding = [name for name, data in datas.items() if fed[int(START_ALLOWANCE * RATE):] in data]
        if len(holding) != 1:
            failures.append("transmission %d is kept in %s, not in one recording of W" % (number, holding))
        holders.append(holding[0] if holding else "")
    if len(names) != len(fed_in_order):
        failures.append("W holds %s for %d transmissions" % (names, len(fed_in_order)))
    return holders


def check_names(holders, failures):
    """The names follow the wall clock as it read at each transmission's start."""
    expected = ["1_10-24-2026_12-00", "1_01-01-2020_10-00", "1_10-24-2026_23-59", "1_10-25-2026_02-59",
                "1_10-25-2026_02-00", "1_10-24-2026_02-01"]
    for holder, prefix in zip(holders, expected):
        if not holder.startswith(prefix):
            failures.append("%s is not named from the clock's %s" % (holder, prefix))


def check_log(service, names, failures):
    lines = service.lines()
    filed = service.filed()
    if sorted(filed) != sorted(names):
        failures.append("the log's \"Aufnahme abgelegt\" names %s, filed are %s" % (filed, names))
    begun = [line for line in lines if "Aufnahme begonnen: " in line]
    if len(begun) != len(STARTS):
        failures.append("%d recordings begun for %d transmissions" % (len(begun), len(STARTS)))
    doubts = [line for line in lines if "nicht gelöscht: Die Uhr" in line]
    if len(doubts) != 1:
        failures.append("the doubt about the clock was logged %d times, not once: %s" % (len(doubts), doubts))
    deleted = [line for line in lines if "Aufnahme gelöscht: " in line]
    if deleted:
        failures.append("recordings were deleted: %s" % deleted)


def check_verify(program, folder, env, failures):
    done = subprocess.run([program, "--verify", folder], env=env, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=120)
    said = (done.stdout + done.stderr).decode("utf-8", "replace")
    if done.returncode != 0 or "alles in Ordnung" not in said:
        failures.append("--verify ended with %d:\n%s" % (done.returncode, said))


def main(program):
    library = faketime_library()
    if library is None:
        print("SKIP: libfaketime is not installed")
        return 77
    work = tempfile.mkdtemp(prefix="kestrova-clock-")
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    clock = WallClock(os.path.join(work, "faketime"))
    env = program_env(work)
    env.pop("JOURNAL_STREAM", None)
    env.update(TZ="Europe/Berlin", LD_PRELOAD=library, FAKETIME_TIMESTAMP_FILE=clock.path,
               FAKETIME_CACHE_DURATION="1", FAKETIME_DONT_FAKE_MONOTONIC="1",
               ASAN_OPTIONS=env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
    failures = []
    transmissions = [coded(TRANSMISSION, seed) for seed in range(1 + len(STARTS))]
    first_run(program, folder, work, env, clock, transmissions[0], failures)
    service = second_run(program, folder, work, env, clock, transmissions[1:], failures)
    recordings = os.path.join(folder, "W")
    holders = check_kept(recordings, transmissions, failures)
    check_names(holders, failures)
    check_log(service, [h for h in holders[1:] if h], failures)
    check_verify(program, folder, env, failures)
    return verdict(failures, work)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
