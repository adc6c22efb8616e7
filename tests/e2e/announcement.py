#!/usr/bin/env python3
"""The hourly announcement on a shipped program, as its user sets it up.

A new program folder gets only what a user sets with --setze (the serial port, the
transmitter control and, for the windows, the automatic start) and a schedule file
KV.DAT whose moment falls inside a transmission fed through the file-fed input. The
serial port is a pseudo-terminal whose control lines the preloaded stand-in
(serial_lines_shim) gives and logs on the monotonic clock.

Checks: the program lives through the moment; the push-to-talk line is raised once,
at the moment, for the two files and the pause between them, and is low at the end;
the transmission running across the moment is kept whole, byte for byte as fed.

Usage: with_sound_server.py pulseaudio announcement.py PROGRAM SHIM (the announcement
is played in real time on the server's null sink). Exit 0: passed, 1: failed.
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

from headless import RATE, coded, data_of, silence, verdict, wav
from with_sound_server import wait_for

# What was fed from this long after its start must be in the recording.
START_ALLOWANCE = 0.25
# The two files of a second each and the pause of 0.275 s between them.
ANNOUNCEMENT_SECONDS = 2.275
# Keyed before the sound starts: the output stream is opened after keying, and a
# program fed from a file opens PortAudio for the first time there (about a second
# under the sanitizers on a busy machine).
LONGEST_EXTRA_KEYING = 2.5


def keyed_spans(log_path):
    """(raised, lowered) of the push-to-talk line on the monotonic clock: DTR, pin 4, as a
    new settings file has it (RTS stays up at rest, to feed the interface)."""
    spans, raised = [], None
    last = 0
    if os.path.exists(log_path):
        with open(log_path) as f:
            for line in f:
                moment, dtr, rts = line.split()
                keyed = dtr == "1"
                if keyed and raised is None:
                    raised = float(moment)
                elif not keyed and raised is not None:
                    spans.append((raised, float(moment)))
                    raised = None
                last = int(dtr)
    return spans, raised, last


def setup(program, folder, port, windowed, env):
    settings = ["COM-Port=" + port, "Sender über COM-Port tasten=1"]
    if windowed:
        settings.append("Recorder automatisch starten=1")
    for setting in settings:
        done = subprocess.run([program, "--program-folder", folder, "--setze", setting], env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        if done.returncode != 0:
            return "--setze %s: %s" % (setting, (done.stdout + done.stderr).decode("utf-8", "replace"))
    return None


def main(program, shim):
    windowed = os.path.basename(program) == "kestrova"
    work = tempfile.mkdtemp(prefix="kestrova-announcement-")
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    master, slave = os.openpty()
    port = os.ttyname(slave)
    os.close(slave)
    lines_log = os.path.join(work, "lines.log")
    # The sound server of with_sound_server.py plays the announcement in real time.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(TZ="UTC")
    if windowed:
        env["QT_QPA_PLATFORM"] = "offscreen"
    failures = []
    problem = setup(program, folder, port, windowed, env)
    if problem:
        print("FAIL: " + problem)
        return 1

    fed = coded(30)
    feed = os.path.join(work, "traffic.wav")
    with open(feed, "wb") as f:
        f.write(wav(silence(2) + fed + silence(25)))
    for name in ("kennung.wav", "info.wav"):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(wav(coded(1)))
    # The moment lies well inside the transmission, however long the start takes.
    moment = int(time.time()) + 15
    with open(os.path.join(folder, "KV.DAT"), "w", newline="") as f:
        f.write(time.strftime("%M:%S", time.gmtime(moment)) + "\r\nkennung.wav\r\ninfo.wav\r\n")
    moment_monotonic = time.monotonic() + (moment - time.time())

    preload = dict(env, LD_PRELOAD=shim, KESTROVA_TEST_PORT=port, KESTROVA_TEST_LINES_LOG=lines_log,
                   ASAN_OPTIONS=env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
    kestrova = subprocess.Popen([program, "--program-folder", folder, "--input-file", feed], env=preload,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=open(os.path.join(work, "stderr.log"), "wb"))
    recordings = os.path.join(folder, "W")

    def kept():
        return sorted(n for n in os.listdir(recordings) if n.endswith(".wav")) if os.path.isdir(recordings) else []

    try:
        wait_for(lambda: time.monotonic() > moment_monotonic + 6 or kestrova.poll() is not None, 40)
        if kestrova.poll() is not None:
            failures.append("the program ended at the announcement with %d" % kestrova.returncode)
        elif not wait_for(lambda: kept() or kestrova.poll() is not None, 60):
            failures.append("the transmission across the announcement was not kept")
        if kestrova.poll() is None:
            kestrova.send_signal(signal.SIGTERM)
            if kestrova.wait(timeout=30) != 0:
                failures.append("SIGTERM ended the program with %d" % kestrova.returncode)
    finally:
        if kestrova.poll() is None:
            kestrova.kill()
            kestrova.wait(timeout=10)
        os.close(master)

    spans, still_raised, last = keyed_spans(lines_log)
    if still_raised is not None or last != 0:
        failures.append("the line was left raised")
    if len(spans) != 1:
        failures.append("keyed %d times, not once: %s" % (len(spans), spans))
    else:
        raised, lowered = spans[0]
        if abs(raised - moment_monotonic) > 1.2:
            failures.append("keyed %.2f s from the moment" % (raised - moment_monotonic))
        if not ANNOUNCEMENT_SECONDS - 0.05 <= lowered - raised <= ANNOUNCEMENT_SECONDS + LONGEST_EXTRA_KEYING:
            failures.append("keyed %.2f s for an announcement of %.3f s" % (lowered - raised, ANNOUNCEMENT_SECONDS))
    names = kept()
    if len(names) != 1:
        failures.append("kept %s, not the one transmission" % names)
    elif fed[int(START_ALLOWANCE * RATE):] not in data_of(os.path.join(recordings, names[0])):
        failures.append("the recording %s does not hold the transmission whole" % names[0])
    return verdict(failures, work)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
