#!/usr/bin/env python3
"""The service tells systemd what it does, as the units' Type=notify and WatchdogSec expect.

Starts `kestrova --headless` as the units do, on a new program folder (the settings a new
user has) fed through the file-fed input, with NOTIFY_SOCKET naming a socket of the
test's own and WATCHDOG_USEC set. Checks that it says READY=1 with a German STATUS=,
tells of the recording, pings WATCHDOG=1 at half the timeout, and says STOPPING=1 when
SIGTERM ends it.

Usage: with_sound_server.py pulseaudio service_notify.py PROGRAM. Exit 0: passed, 1: failed.
"""
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

from headless import silence, tone, verdict, wav

TIMEOUT_SECONDS = 2.0
WATCHED_SECONDS = 6.0


def receive(listener, seconds, notices):
    """(monotonic time, notice) pairs for the given seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        listener.settimeout(max(deadline - time.monotonic(), 0.01))
        try:
            notices.append((time.monotonic(), listener.recv(4096).decode("utf-8")))
        except socket.timeout:
            pass


def check_pings(notices, ready_at, failures):
    pings = [at for at, notice in notices if at > ready_at and notice.split("\n")[0] == "WATCHDOG=1"]
    expected = WATCHED_SECONDS / (TIMEOUT_SECONDS / 2)
    if not expected - 2 <= len(pings) <= expected + 2:
        failures.append("%d watchdog pings in %.0f s, not about %.0f" % (len(pings), WATCHED_SECONDS, expected))
    gaps = [b - a for a, b in zip([ready_at] + pings, pings)]
    if gaps and max(gaps) >= TIMEOUT_SECONDS:
        failures.append("a gap of %.2f s between pings, past the timeout" % max(gaps))


def main(program):
    work = tempfile.mkdtemp(prefix="kestrova-notify-")
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    feed = os.path.join(work, "traffic.wav")
    with open(feed, "wb") as f:
        f.write(wav(silence(1) + tone(4) + silence(20)))
    address = os.path.join(work, "notify")
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    listener.bind(address)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(NOTIFY_SOCKET=address, WATCHDOG_USEC=str(int(TIMEOUT_SECONDS * 1e6)))
    kestrova = subprocess.Popen([program, "--headless", "--program-folder", folder, "--input-file", feed],
                                env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=open(os.path.join(work, "stderr.log"), "wb"))
    failures, notices = [], []
    try:
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and kestrova.poll() is None and \
                not any(n.startswith("READY=1") for _, n in notices):
            receive(listener, 0.2, notices)
        ready = [(at, n) for at, n in notices if n.startswith("READY=1")]
        if not ready:
            failures.append("no READY=1 within a minute: %s" % notices)
        else:
            receive(listener, WATCHED_SECONDS, notices)
            check_pings(notices, ready[0][0], failures)
            statuses = [line for _, n in notices for line in n.split("\n") if line.startswith("STATUS=")]
            if not any(s.startswith("STATUS=Recorder eingeschaltet") for s in statuses) or \
                    not any(s.startswith("STATUS=Aufnahme läuft: ") for s in statuses):
                failures.append("the status did not tell of the recorder and its recording: %s" % statuses)
        if kestrova.poll() is None:
            kestrova.send_signal(signal.SIGTERM)
            receive(listener, 1.0, notices)
            if kestrova.wait(timeout=30) != 0:
                failures.append("SIGTERM ended it with %d" % kestrova.returncode)
            if not any(n.startswith("STOPPING=1") for _, n in notices):
                failures.append("no STOPPING=1 at SIGTERM")
        else:
            failures.append("it ended by itself with %d" % kestrova.returncode)
    finally:
        if kestrova.poll() is None:
            kestrova.kill()
            kestrova.wait(timeout=10)
        listener.close()
    return verdict(failures, work)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
