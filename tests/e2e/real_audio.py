#!/usr/bin/env python3
"""Records four transmissions through a real audio stack.

Starts a PulseAudio server of its own with a pipe source (8-bit mono 11025 Hz) as
the default source, starts the program with automatic start in a temporary
program folder, feeds three tone transmissions with silences between them into
the pipe, ends the program with SIGTERM in the middle of a fourth and checks the
recordings in W and in the dated tree.

Exit 0: passed, 1: failed, 77: skipped (no PulseAudio on this machine).
"""
import math
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

RATE = 11025
TONE = 2.0
GAP = 4.0


def tone(seconds, frequency=600.0):
    n = int(seconds * RATE)
    return bytes(int(128 + 90 * math.sin(2 * math.pi * frequency * i / RATE)) for i in range(n))


def silence(seconds):
    return bytes([128]) * int(seconds * RATE)


class Feeder(threading.Thread):
    """Writes silence in real time, and the transmissions once asked to."""

    def __init__(self, pipe_path):
        super().__init__(daemon=True)
        self.pipe_path = pipe_path
        self.queue = bytearray()
        self.lock = threading.Lock()
        self.stop = False
        self.fed = 0

    def add(self, data):
        with self.lock:
            self.queue += data

    def pending(self):
        with self.lock:
            return len(self.queue)

    def run(self):
        block = RATE // 50
        start = time.monotonic()
        with open(self.pipe_path, "wb", buffering=0) as pipe:
            while not self.stop:
                with self.lock:
                    chunk = bytes(self.queue[:block])
                    del self.queue[:block]
                chunk += bytes([128]) * (block - len(chunk))
                try:
                    pipe.write(chunk)
                except BrokenPipeError:
                    return
                self.fed += block
                delay = start + self.fed / RATE - time.monotonic()
                if delay > 0:
                    time.sleep(delay)


def wav_info(path):
    with open(path, "rb") as f:
        data = f.read()
    riff, _, wave, fmt, fmt_len, tag, channels, rate, byte_rate, align, bits = struct.unpack(
        "<4sI4s4sIHHIIHH", data[:36])
    assert riff == b"RIFF" and wave == b"WAVE" and fmt == b"fmt ", path
    data_id, data_len = struct.unpack("<4sI", data[36:44])
    assert data_id == b"data", path
    return (tag, channels, rate, bits), data[44:44 + data_len]


def loud_run(samples):
    """Index of the first loud sample and how many samples the loud stretch spans."""
    loud = [i for i, s in enumerate(samples) if abs(s - 128) > 40]
    if not loud:
        return None, 0
    return loud[0], loud[-1] - loud[0]


def main():
    program = sys.argv[1]
    if shutil.which("pulseaudio") is None or shutil.which("pactl") is None:
        print("SKIP: pulseaudio is not installed")
        return 77
    work = tempfile.mkdtemp(prefix="kestrova-e2e-")
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    pipe_path = os.path.join(work, "feed.pipe")
    env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=work, PULSE_RUNTIME_PATH=work,
               PULSE_SERVER="unix:" + os.path.join(work, "pulse.sock"), QT_QPA_PLATFORM="offscreen")
    # ALSA gets a configuration of its own that knows only the PulseAudio plugin. With the
    # system's, PortAudio probes every installed plugin (jack, a52, speex ...), which ALSA
    # unloads again; LeakSanitizer cannot name their leftovers and cannot suppress them.
    alsa_conf = os.path.join(work, "alsa.conf")
    with open(alsa_conf, "w") as f:
        f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
    env["ALSA_CONFIG_PATH"] = alsa_conf
    with open(os.path.join(work, "pulse.pa"), "w") as f:
        f.write("load-module module-native-protocol-unix socket=%s auth-anonymous=1\n"
                % os.path.join(work, "pulse.sock"))
        f.write("load-module module-null-sink sink_name=out\n")
        f.write("load-module module-pipe-source source_name=feed file=%s format=u8 rate=%d channels=1\n"
                % (pipe_path, RATE))
        f.write("set-default-source feed\nset-default-sink out\n")
    lines = ["note", folder, "e2e", "11025", "0", "1", "2", "46-0", "67", "1", "180", "5", "10", "3", "50",
             "1", "1", "0", "1", "0", "0", "10", "0", "1", "0", "6", "15", "15", "15", "6375"]
    with open(os.path.join(folder, "Kestrova.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))

    pulse = subprocess.Popen(["pulseaudio", "--system=no", "--daemonize=no", "--exit-idle-time=-1", "-n",
                              "--disallow-exit", "--log-target=stderr", "-F", os.path.join(work, "pulse.pa")],
                             env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "pulse.log"), "w"))
    kestrova = None
    feeder = None
    try:
        deadline = time.monotonic() + 20
        while not os.path.exists(pipe_path) and time.monotonic() < deadline:
            time.sleep(0.05)
        if not os.path.exists(pipe_path):
            print("FAIL: PulseAudio did not start:\n" + open(os.path.join(work, "pulse.log")).read()[-2000:])
            return 1
        feeder = Feeder(pipe_path)
        feeder.start()
        kestrova = subprocess.Popen([program, "--program-folder", folder], env=env, stdout=subprocess.DEVNULL,
                                    stderr=open(os.path.join(work, "kestrova.log"), "w"))
        working = os.path.join(folder, "capture.part.wav")
        deadline = time.monotonic() + 30
        while not os.path.exists(working) and time.monotonic() < deadline:
            time.sleep(0.05)
        if not os.path.exists(working):
            print("FAIL: the recorder did not start:\n" + open(os.path.join(work, "kestrova.log")).read()[-2000:])
            return 1
        # The recording that starts with the recorder takes the first transmission.
        for _ in range(3):
            feeder.add(tone(TONE) + silence(GAP))
        feeder.add(tone(TONE))
        while feeder.pending() > int(TONE / 2 * RATE):
            time.sleep(0.02)
        kestrova.send_signal(signal.SIGTERM)
        code = kestrova.wait(timeout=30)
        if code != 0:
            print("FAIL: the program ended with %d:\n%s" % (code, open(os.path.join(work, "kestrova.log")).read()[-6000:]))
            return 1
    finally:
        if feeder:
            feeder.stop = True
        if kestrova and kestrova.poll() is None:
            kestrova.kill()
        pulse.terminate()
        pulse.wait(timeout=10)

    recordings = os.path.join(folder, "W")
    names = sorted(n for n in os.listdir(recordings) if n.endswith(".wav"))
    failures = []
    if len(names) != 4:
        failures.append("expected 4 recordings, found %s" % names)
    for index, name in enumerate(names):
        if not re.fullmatch(r"1_\d\d-\d\d-\d{4}_\d\d-\d\d-\d\d\.wav", name):
            failures.append("bad name " + name)
        fmt, samples = wav_info(os.path.join(recordings, name))
        if fmt != (1, 1, RATE, 8):
            failures.append("%s: format %s" % (name, fmt))
        first, span = loud_run(samples)
        expected = TONE if index < 3 else TONE / 2
        if first is None or span < (expected - 0.25) * RATE:
            failures.append("%s: tone of %.2f s, expected %.2f s" % (name, span / RATE, expected))
        elif index > 0 and first < 0.2 * RATE:
            failures.append("%s: the tone starts at %.2f s: its onset was cut" % (name, first / RATE))
        dated = os.path.join(folder, "Fk_1", "Ja_" + name[8:12], "Mo-" + name[2:4], "Tg-" + name[5:7],
                             "hh-" + name[13:15], name)
        if not os.path.exists(dated):
            failures.append("not in the dated tree: " + dated)
        print("%s: %.2f s, tone from %.2f s for %.2f s" % (
            name, len(samples) / RATE, (first or 0) / RATE, span / RATE))
    if failures:
        print("FAIL:\n  " + "\n  ".join(failures))
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
