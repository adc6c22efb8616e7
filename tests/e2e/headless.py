#!/usr/bin/env python3
"""The program without a display, as a service runs it.

Starts the built program with --headless and no display at all (no DISPLAY,
WAYLAND_DISPLAY or QT_QPA_PLATFORM), automatic start off in its settings and a
serial port that does not exist, fed two transmissions through the file-fed
input device. Checks that it records the first, logs what happened one line
per event (the port's failure and its message included, so no message box
waited), and that SIGTERM in the second transmission ends it within a second
with that recording saved. While it listens, it is the program without Qt's
windows: no Qt Gui or Widgets mapped (its memory is measured by
bench/headless_memory.py).

With --closed-output it starts the program with standard output and error
closed, as a careless service manager may, and checks that it records all the
same and ends on SIGTERM alone.

Exit 0: passed, 1: failed.
"""
import base64
import json
import math
import os
import random
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

RATE = 11025


def wav(samples):
    header = b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVEfmt " + struct.pack(
        "<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8) + b"data" + struct.pack("<I", len(samples))
    return header + samples


def tone(seconds):
    return bytes(int(128 + 90 * math.sin(2 * math.pi * 600 * i / RATE)) for i in range(int(seconds * RATE)))


def coded(seconds, seed=37):
    """Loud samples that never repeat a run, so a recording's place in them is unique."""
    generator = random.Random(seed)
    return bytes(generator.choice((20, 30, 226, 236)) + generator.randrange(8) for _ in range(int(seconds * RATE)))


def data_of(path):
    """A WAV file's samples, as the recorder wrote them."""
    with open(path, "rb") as f:
        content = f.read()
    at = content.find(b"data")
    return content[at + 8:] if at >= 0 else b""


def silence(seconds):
    return bytes([128]) * int(seconds * RATE)


def loud_seconds(path):
    with open(path, "rb") as f:
        samples = f.read()[44:]
    return sum(1 for s in samples if abs(s - 128) > 40) * 1.5 / RATE


class Log(threading.Thread):
    """Collects the program's standard error line by line."""

    def __init__(self, stream):
        super().__init__(daemon=True)
        self.stream = stream
        self.lines = []
        self.lock = threading.Lock()

    def run(self):
        for raw in self.stream:
            with self.lock:
                self.lines.append(raw.decode("utf-8", "replace").rstrip("\n"))

    def containing(self, part):
        with self.lock:
            return [line for line in self.lines if part in line]

    def text(self):
        with self.lock:
            return "\n".join(self.lines)


def gui_libraries(pid):
    """The Qt Gui and Widgets libraries the process has mapped."""
    with open("/proc/%d/maps" % pid) as f:
        return sorted({line.split()[-1] for line in f if "libQt6Gui" in line or "libQt6Widgets" in line})


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.02)
    return True


def prepare(work):
    """The program folder with its settings, the fed traffic and the environment."""
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    feed = os.path.join(work, "traffic.wav")
    with open(feed, "wb") as f:
        f.write(wav(silence(1) + tone(2) + silence(3) + tone(5) + silence(2)))
    # Minimum time 1 s, automatic start off, transmitter control on a port that is not there.
    lines = ["note", folder, "e2e", "11025", "0", "1", "/nonexistent/ttyKestrova", "46-0", "67", "1", "180", "5",
             "10", "3", "50", "0", "1", "0", "1", "1", "0", "10", "1", "1", "0", "6", "15", "15", "15", "6375"]
    with open(os.path.join(folder, "Kestrova.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    env = program_env(work)
    env.pop("JOURNAL_STREAM", None)
    return folder, feed, env


def program_env(work):
    """No display at all, as a service runs it; ALSA gets a null device of its own."""
    alsa_conf = os.path.join(work, "alsa.conf")
    with open(alsa_conf, "w") as f:
        f.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700)
    env.update(HOME=work, XDG_RUNTIME_DIR=runtime, ALSA_CONFIG_PATH=alsa_conf)
    return env


def verdict(failures, work):
    """Prints the result; the work folder is kept when something failed."""
    if failures:
        print("FAIL:\n  " + "\n  ".join(failures))
        print("kept: " + work)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


def check_libraries(pid, failures):
    gui = gui_libraries(pid)
    if gui:
        failures.append("the headless program has mapped " + ", ".join(gui))


def kept_recordings(folder):
    recordings = os.path.join(folder, "W")
    names = os.listdir(recordings) if os.path.isdir(recordings) else []
    return sorted(name for name in names if name.endswith(".wav") and not name.startswith("."))


def closed_output(program):
    work = tempfile.mkdtemp(prefix="kestrova-headless-")
    folder, feed, env = prepare(work)

    def close_output():
        os.close(1)
        os.close(2)

    kestrova = subprocess.Popen([program, "--headless", "--program-folder", folder, "--input-file", feed],
                                env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, preexec_fn=close_output)
    failures = []
    try:
        if not wait_for(lambda: kestrova.poll() is not None or kept_recordings(folder), 30):
            failures.append("nothing was recorded")
        elif kestrova.poll() is not None:
            failures.append("the program ended by itself with %d" % kestrova.returncode)
        else:
            kestrova.send_signal(signal.SIGTERM)
            code = kestrova.wait(timeout=30)
            if code != 0:
                failures.append("the program ended with %d" % code)
    finally:
        if kestrova.poll() is None:
            kestrova.kill()
            kestrova.wait(timeout=10)
    return verdict(failures, work)


def queue_a_command(folder, recording, command="touch lief", address=""):
    """A command after each recording with one job waiting: a program that takes the queue up runs it
    (by default it leaves the file "lief" in the folder)."""
    with open(os.path.join(folder, "KestrovaNachAufnahme.ini"), "w") as f:
        f.write("nach_aufnahme=%s\n" % command)
    job = json.dumps({"nr": 0, "fehlversuche": 0, "aufnahme": {
        "name": os.path.basename(recording), "datei": recording, "pfad": "W/" + os.path.basename(recording),
        "start": "2026-12-09T08:00:00", "sekunden": 1.0, "sha256": "", "adresse": address}}).encode()
    with open(os.path.join(folder, "KestrovaNachAufnahme.warteschlange"), "wb") as f:
        f.write(b"+" + base64.b64encode(job) + b"\n")


def second_instance(program):
    """A windowed program on a folder that a running one holds says so in a box; SIGTERM ends it there.
    Neither it nor a second service takes up anything of the folder: no queued command runs."""
    work = tempfile.mkdtemp(prefix="kestrova-headless-")
    folder, feed, env = prepare(work)
    first = subprocess.Popen([program, "--headless", "--program-folder", folder, "--input-file", feed],
                             env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    second = None
    failures = []
    try:
        if not wait_for(lambda: os.path.exists(os.path.join(folder, "capture.part.wav")), 30):
            failures.append("the first program did not start recording")
            return verdict(failures, work)
        # Set up after the first one's start, which read the settings without a command.
        queue_a_command(folder, feed)
        service = subprocess.run([program, "--headless", "--program-folder", folder], env=env,
                                 stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
        if service.returncode != 1:
            failures.append("a second service on the folder ended with %d, not 1" % service.returncode)
        second = subprocess.Popen([program, "--program-folder", folder], env=dict(env, QT_QPA_PLATFORM="offscreen"),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(3)
        if second.poll() is not None:
            failures.append("the second program ended by itself with %d" % second.returncode)
        else:
            second.send_signal(signal.SIGTERM)
            try:
                code = second.wait(timeout=5)
                if code != 1:
                    failures.append("the second program ended with %d, not 1" % code)
            except subprocess.TimeoutExpired:
                failures.append("SIGTERM did not end the second program while its box stood open")
        if first.poll() is not None:
            failures.append("the first program ended with %d" % first.returncode)
        if os.path.exists(os.path.join(folder, "lief")):
            failures.append("a program refused the folder ran its queued command")
    finally:
        for process in (second, first):
            if process is not None and process.poll() is None:
                process.kill()
                process.wait(timeout=10)
    return verdict(failures, work)


def queued_command_at_start(program):
    """A command queued before a restart fetches its recording from the page: the queue is taken up
    only once the page knows the folder of the recordings."""
    work = tempfile.mkdtemp(prefix="kestrova-headless-")
    folder, feed, env = prepare(work)
    recording = os.path.join(folder, "W", "1_12-09-2026_08-00-00.wav")
    os.makedirs(os.path.dirname(recording))
    with open(recording, "wb") as f:
        f.write(wav(tone(2)))
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    address = "http://127.0.0.1:%d/datei?pfad=W/%s&herunterladen=1" % (port, os.path.basename(recording))
    queue_a_command(folder, recording, "curl -s -o /dev/null -w %{http_code} \"$KESTROVA_ADRESSE\" > antwort",
                    address)
    kestrova = subprocess.Popen([program, "--headless", "--program-folder", folder, "--input-file", feed,
                                 "--web", "127.0.0.1:%d" % port], env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    answer = os.path.join(folder, "antwort")
    failures = []
    try:
        if not wait_for(lambda: os.path.exists(answer) and os.path.getsize(answer) > 0, 30):
            failures.append("the queued command did not run")
        else:
            with open(answer) as f:
                code = f.read().strip()
            if code != "200":
                failures.append("the queued command's download was answered %s" % code)
    finally:
        kestrova.send_signal(signal.SIGTERM)
        try:
            kestrova.wait(timeout=30)
        except subprocess.TimeoutExpired:
            kestrova.kill()
            kestrova.wait(timeout=10)
    return verdict(failures, work)


def main():
    program = sys.argv[1]
    if sys.argv[2:] == ["--queued-command"]:
        return queued_command_at_start(program)
    if sys.argv[2:] == ["--closed-output"]:
        return closed_output(program)
    if sys.argv[2:] == ["--second-instance"]:
        return second_instance(program)
    work = tempfile.mkdtemp(prefix="kestrova-headless-")
    folder, feed, env = prepare(work)
    kestrova = subprocess.Popen([program, "--headless", "--program-folder", folder, "--input-file", feed],
                                env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
    log = Log(kestrova.stderr)
    log.start()
    failures = []
    try:
        recorded = wait_for(lambda: log.containing("Aufnahme abgelegt"), 30)
        if recorded:
            # Between the two transmissions it listens.
            check_libraries(kestrova.pid, failures)
        if not recorded:
            failures.append("the first transmission was not recorded")
        elif not wait_for(lambda: len(log.containing("Aufnahme begonnen")) >= 2, 15):
            failures.append("the second transmission did not start a recording")
        else:
            time.sleep(1.5)
            kestrova.send_signal(signal.SIGTERM)
            sent = time.monotonic()
            code = kestrova.wait(timeout=30)
            took = time.monotonic() - sent
            print("SIGTERM: ended with %d after %.2f s" % (code, took))
            if code != 0:
                failures.append("the program ended with %d" % code)
            if took > 1.0:
                failures.append("the program took %.2f s to end" % took)
    finally:
        if kestrova.poll() is None:
            kestrova.kill()
            kestrova.wait(timeout=10)
        log.join(timeout=5)

    print(log.text())
    kept = log.containing("Aufnahme abgelegt: ")
    recordings = os.path.join(folder, "W")
    names = sorted(os.listdir(recordings)) if os.path.isdir(recordings) else []
    if len(kept) != 2 or len(names) != 2:
        failures.append("expected two recordings logged and kept, found %s and %s" % (kept, names))
    for name, line in zip(names, kept):
        if name not in line:
            failures.append("%s is not the recording the log names: %s" % (name, line))
    if len(names) == 2 and loud_seconds(os.path.join(recordings, names[1])) < 1.0:
        failures.append("the recording saved at SIGTERM holds no tone")
    for expected in ("läuft ohne Bildschirm", "Recorder eingeschaltet", "Kein Anschluß an /nonexistent/ttyKestrova",
                     "Meldung: Kein Anschluß", "Recorder ausgeschaltet"):
        if not log.containing(expected):
            failures.append("no log line with " + expected)
    return verdict(failures, work)


if __name__ == "__main__":
    sys.exit(main())
