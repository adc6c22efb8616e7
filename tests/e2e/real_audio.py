#!/usr/bin/env python3
"""Records transmissions through a real audio stack.

Starts a PulseAudio server of its own with a pipe source (8-bit mono 11025 Hz) as
the default source and starts the program with automatic start in a temporary
program folder. Two scenarios:

- (default) feeds three tone transmissions with silences between them into the
  pipe, ends the program with SIGTERM in the middle of a fourth and checks the
  recordings in W and in the dated tree;
- --server-restart: kills the server in the middle of a transmission, checks that
  the recording is filed at once, starts the server again and checks that a
  transmission after it is recorded.

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

    def connect(self):
        """The pipe's write end once a server reads it; None until then."""
        try:
            fd = os.open(self.pipe_path, os.O_WRONLY | os.O_NONBLOCK)
        except OSError:
            return None
        os.set_blocking(fd, True)
        return fd

    def run(self):
        block = RATE // 50
        start = time.monotonic()
        pipe = None
        while not self.stop:
            if pipe is None:
                pipe = self.connect()
                if pipe is None:
                    time.sleep(0.05)
                    start = time.monotonic() - self.fed / RATE
                    continue
            with self.lock:
                chunk = bytes(self.queue[:block])
                del self.queue[:block]
            chunk += bytes([128]) * (block - len(chunk))
            try:
                os.write(pipe, chunk)
            except OSError:
                # The server went away: what it did not take is lost with it.
                os.close(pipe)
                pipe = None
                with self.lock:
                    self.queue.clear()
                continue
            self.fed += block
            delay = start + self.fed / RATE - time.monotonic()
            if delay > 0:
                time.sleep(delay)
        if pipe is not None:
            os.close(pipe)


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


class Rig:
    """A temporary program folder, a PulseAudio server of its own and the program."""

    def __init__(self, program):
        self.program = program
        self.work = tempfile.mkdtemp(prefix="kestrova-e2e-")
        self.folder = os.path.join(self.work, "program")
        os.makedirs(self.folder)
        self.pipe_path = os.path.join(self.work, "feed.pipe")
        work = self.work
        self.env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=work, PULSE_RUNTIME_PATH=work,
                        PULSE_SERVER="unix:" + os.path.join(work, "pulse.sock"), QT_QPA_PLATFORM="offscreen")
        # ALSA gets a configuration of its own that knows only the PulseAudio plugin. With the
        # system's, PortAudio probes every installed plugin (jack, a52, speex ...), which ALSA
        # unloads again; LeakSanitizer cannot name their leftovers and cannot suppress them.
        alsa_conf = os.path.join(work, "alsa.conf")
        with open(alsa_conf, "w") as f:
            f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
        self.env["ALSA_CONFIG_PATH"] = alsa_conf
        with open(os.path.join(work, "pulse.pa"), "w") as f:
            f.write("load-module module-native-protocol-unix socket=%s auth-anonymous=1\n"
                    % os.path.join(work, "pulse.sock"))
            f.write("load-module module-null-sink sink_name=out\n")
            f.write("load-module module-pipe-source source_name=feed file=%s format=u8 rate=%d channels=1\n"
                    % (self.pipe_path, RATE))
            f.write("set-default-source feed\nset-default-sink out\n")
        lines = ["note", self.folder, "e2e", "11025", "0", "1", "2", "46-0", "67", "1", "180", "5", "10", "3",
                 "50", "1", "1", "0", "1", "0", "0", "10", "0", "1", "0", "6", "15", "15", "15", "6375"]
        with open(os.path.join(self.folder, "Kestrova.ini"), "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
        self.pulse = None
        self.kestrova = None
        self.feeder = None

    def log(self, name, length=2000):
        with open(os.path.join(self.work, name)) as f:
            return f.read()[-length:]

    def start_pulse(self):
        self.pulse = subprocess.Popen(
            ["pulseaudio", "--system=no", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
             "--disallow-exit", "--log-target=stderr", "-F", os.path.join(self.work, "pulse.pa")],
            env=self.env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.work, "pulse.log"), "a"))
        if not wait_for(lambda: os.path.exists(self.pipe_path), 20):
            print("FAIL: PulseAudio did not start:\n" + self.log("pulse.log"))
            return False
        return True

    def kill_pulse(self):
        self.pulse.kill()
        self.pulse.wait(timeout=10)
        # The next server makes a pipe of its own; the feeder must not write into this one.
        os.unlink(self.pipe_path)

    def start_program(self):
        self.feeder = Feeder(self.pipe_path)
        self.feeder.start()
        self.kestrova = subprocess.Popen([self.program, "--program-folder", self.folder], env=self.env,
                                         stdout=subprocess.DEVNULL,
                                         stderr=open(os.path.join(self.work, "kestrova.log"), "w"))
        if not wait_for(lambda: os.path.exists(os.path.join(self.folder, "capture.part.wav")), 30):
            print("FAIL: the recorder did not start:\n" + self.log("kestrova.log"))
            return False
        return True

    def end_program(self):
        self.kestrova.send_signal(signal.SIGTERM)
        code = self.kestrova.wait(timeout=30)
        if code != 0:
            print("FAIL: the program ended with %d:\n%s" % (code, self.log("kestrova.log", 6000)))
            return False
        return True

    def stop(self):
        if self.feeder:
            self.feeder.stop = True
        if self.kestrova and self.kestrova.poll() is None:
            self.kestrova.kill()
            self.kestrova.wait(timeout=10)
        if self.pulse and self.pulse.poll() is None:
            self.pulse.terminate()
            self.pulse.wait(timeout=10)

    def recordings(self):
        recordings = os.path.join(self.folder, "W")
        if not os.path.isdir(recordings):
            return []
        return sorted(n for n in os.listdir(recordings) if n.endswith(".wav"))

    def check(self, expected_tones, min_first_onset=0.2):
        """Failures of the recordings in W against the seconds of tone each should hold."""
        names = self.recordings()
        failures = []
        if len(names) != len(expected_tones):
            failures.append("expected %d recordings, found %s" % (len(expected_tones), names))
        for index, name in enumerate(names):
            if not re.fullmatch(r"1_\d\d-\d\d-\d{4}_\d\d-\d\d-\d\d\.wav", name):
                failures.append("bad name " + name)
            fmt, samples = wav_info(os.path.join(self.folder, "W", name))
            if fmt != (1, 1, RATE, 8):
                failures.append("%s: format %s" % (name, fmt))
            first, span = loud_run(samples)
            expected = expected_tones[index] if index < len(expected_tones) else 0
            if first is None or span < (expected - 0.25) * RATE:
                failures.append("%s: tone of %.2f s, expected %.2f s" % (name, span / RATE, expected))
            elif index > 0 and first < min_first_onset * RATE:
                failures.append("%s: the tone starts at %.2f s: its onset was cut" % (name, first / RATE))
            dated = os.path.join(self.folder, "Fk_1", "Ja_" + name[8:12], "Mo-" + name[2:4], "Tg-" + name[5:7],
                                 "hh-" + name[13:15], name)
            if not os.path.exists(dated):
                failures.append("not in the dated tree: " + dated)
            print("%s: %.2f s, tone from %.2f s for %.2f s" % (
                name, len(samples) / RATE, (first or 0) / RATE, span / RATE))
        return failures


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


def transmissions(rig):
    """Three transmissions, and the program ended in a fourth."""
    # The recording that starts with the recorder takes the first transmission.
    for _ in range(3):
        rig.feeder.add(tone(TONE) + silence(GAP))
    rig.feeder.add(tone(TONE))
    while rig.feeder.pending() > int(TONE / 2 * RATE):
        time.sleep(0.02)
    if not rig.end_program():
        return []
    return rig.check([TONE, TONE, TONE, TONE / 2])


def server_restart(rig):
    """The server killed in a transmission and started again."""
    rig.feeder.add(tone(3 * TONE))
    while rig.feeder.pending() > int(2 * TONE * RATE):
        time.sleep(0.02)
    rig.kill_pulse()
    if not wait_for(lambda: rig.recordings(), 10):
        return ["the recording running when the server went away was not filed"]
    if not rig.start_pulse():
        return ["PulseAudio did not start again"]
    # The program opens the input again within a few seconds; silence until then.
    time.sleep(4)
    rig.feeder.add(tone(TONE) + silence(GAP))
    if not wait_for(lambda: len(rig.recordings()) >= 2, 20):
        return ["nothing recorded after the server came back: %s\n%s" % (rig.recordings(), rig.log("kestrova.log"))]
    if not rig.end_program():
        return []
    # The first recording ends where the server went away.
    return rig.check([TONE / 2, TONE])


def main():
    program = sys.argv[1]
    scenario = server_restart if "--server-restart" in sys.argv[2:] else transmissions
    if shutil.which("pulseaudio") is None or shutil.which("pactl") is None:
        print("SKIP: pulseaudio is not installed")
        return 77
    rig = Rig(program)
    try:
        if not rig.start_pulse() or not rig.start_program():
            return 1
        failures = scenario(rig)
        if rig.kestrova.poll() is None or rig.kestrova.returncode != 0:
            failures = failures or ["the program did not end cleanly"]
    finally:
        rig.stop()
    if failures:
        print("FAIL:\n  " + "\n  ".join(failures))
        return 1
    shutil.rmtree(rig.work, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
