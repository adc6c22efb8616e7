#!/usr/bin/env python3
"""Records transmissions through a real audio stack.

Starts a sound server of its own (PulseAudio, or PipeWire with --pipewire) with a
pipe source (8-bit mono 11025 Hz) as the default source and starts the program
with automatic start in a temporary program folder. The scenarios:

- (default) feeds three tone transmissions with silences between them into the
  pipe, ends the program with SIGTERM in the middle of a fourth and checks the
  recordings in W and in the dated tree, the fourth holding all of it that was in
  the working file;
- --server-restart: kills the server in the middle of a transmission, checks that
  the recording is filed at once, starts the server again and checks that a
  transmission after it is recorded; without a desktop, and the event log tells
  the loss and the return once each, without the audio libraries' complaints;
- --server-late: starts the program without a desktop before the server, as a
  user unit may at boot, on the machine's own ALSA configuration and with the
  settings a new user has (no Kestrova.ini); checks that the two transmissions
  after the server came up are kept and that the event log says so once, in
  German, without the audio libraries' complaints;
- --slow-source: the source hands over nothing for its first 2.5 s, as a slow
  server does with a new stream; checks that the input is not given up for dead
  and that the first transmission is recorded from its first sample.

The program is kestrova (started with --headless where it runs without a desktop)
or kestrova-headless.

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

from with_sound_server import SoundServer, in_session_bus, missing_programs, wait_for

RATE = 11025
TONE = 2.0
GAP = 4.0


# A new user's settings: a recording is kept when it is longer than 20 s, and ends
# after 20 s of silence; the threshold is 67 of 100.
NEW_USER_TONE = 20.0
NEW_USER_GAP = 24.0
LOUD = 110


def tone(seconds, frequency=600.0, amplitude=90):
    n = int(seconds * RATE)
    return bytes(int(128 + amplitude * math.sin(2 * math.pi * frequency * i / RATE)) for i in range(n))


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
        # Nothing is written before this moment (monotonic), not even silence.
        self.hold_until = 0.0
        self.first_write = None

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
            if time.monotonic() < self.hold_until:
                time.sleep(0.01)
                start = time.monotonic()
                continue
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
            if self.first_write is None:
                self.first_write = time.monotonic()
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
    """A temporary program folder, a sound server of its own and the program."""

    def __init__(self, program, kind="pulseaudio", as_installed=False):
        """`as_installed`: the machine's own ALSA configuration and no settings file,
        as a new user's program meets them."""
        self.program = program
        self.work = tempfile.mkdtemp(prefix="kestrova-e2e-")
        self.folder = os.path.join(self.work, "program")
        os.makedirs(self.folder)
        self.server = SoundServer(kind, self.work, pipe_rate=RATE, system_alsa=as_installed)
        self.pipe_path = self.server.pipe_path
        self.env = dict(self.server.env, QT_QPA_PLATFORM="offscreen")
        if as_installed:
            # ALSA's probe of the machine's plugins loads libraries that allocate as they
            # load (the a52 plugin's codecs) and are unloaded again. The frame-pointer
            # unwinder stops in them, and LeakSanitizer could not tell their memory from
            # ours; the full unwinder reaches libasound, which tests/lsan.supp names.
            self.env["ASAN_OPTIONS"] = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"),
                                                              "fast_unwind_on_malloc=0"]))
        else:
            lines = ["note", self.folder, "e2e", "11025", "0", "1", "2", "46-0", "67", "1", "180", "5", "10", "3",
                     "50", "1", "1", "0", "1", "0", "0", "10", "0", "1", "0", "6", "15", "15", "15", "6375"]
            with open(os.path.join(self.folder, "Kestrova.ini"), "wb") as f:
                f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
        self.kestrova = None
        self.feeder = None

    def log(self, name, length=2000):
        with open(os.path.join(self.work, name)) as f:
            return f.read()[-length:]

    def start_pulse(self):
        if not self.server.start():
            print("FAIL: the %s server did not start" % self.server.kind)
            return False
        return True

    def kill_pulse(self):
        self.server.stop(kill=True)

    def start_program(self, headless=False, hold_feeder=0.0, wait=True):
        self.feeder = Feeder(self.pipe_path)
        self.feeder.hold_until = time.monotonic() + hold_feeder
        self.feeder.start()
        self.started = time.monotonic()
        # The service is without a desktop by itself.
        headless = headless and os.path.basename(self.program) == "kestrova"
        self.kestrova = subprocess.Popen([self.program, "--program-folder", self.folder]
                                         + (["--headless"] if headless else []), env=self.env,
                                         stdout=subprocess.DEVNULL,
                                         stderr=open(os.path.join(self.work, "kestrova.log"), "w"))
        if wait and not wait_for(lambda: os.path.exists(os.path.join(self.folder, "capture.part.wav")), 30):
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
        self.server.stop()

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


def working_file_tone(rig):
    """Seconds of tone the working file holds so far."""
    try:
        with open(os.path.join(rig.folder, "capture.part.wav"), "rb") as f:
            return loud_run(f.read()[44:])[1] / RATE
    except OSError:
        return 0.0


def transmissions(rig):
    """Three transmissions, and the program ended in a fourth once its working file
    holds a quarter of it: all that was recorded then must be filed. The moment is
    taken from the working file, not from what was fed: the sound server and the
    input's blocks hold the newest fraction of a second, more on a busy machine."""
    # The recording that starts with the recorder takes the first transmission.
    for _ in range(3):
        rig.feeder.add(tone(TONE) + silence(GAP))
    rig.feeder.add(tone(TONE))
    if not wait_for(lambda: len(rig.recordings()) >= 3, 40):
        return ["the first three transmissions were not filed: %s" % rig.recordings()]
    if not wait_for(lambda: working_file_tone(rig) >= TONE / 4, 10):
        return ["the fourth transmission did not reach the working file"]
    recorded = working_file_tone(rig)
    if not rig.end_program():
        return []
    # check() allows 0.25 s less than it is told: the fourth holds at least what was recorded.
    return rig.check([TONE, TONE, TONE, recorded + 0.25])


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
    return rig.check([TONE / 2, TONE]) + log_failures(
        rig, ["Eingabegerät liefert nichts", "Eingabegerät liefert wieder"])


def first_recorded_sample(rig, seconds):
    """When the working file first holds a sample (monotonic), or None."""
    working = os.path.join(rig.folder, "capture.part.wav")
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if os.path.exists(working) and os.path.getsize(working) > 44:
            return time.monotonic()
        time.sleep(0.01)
    return None


def log_failures(rig, once):
    """The lines that must appear exactly once, and no line of the audio libraries
    while the input is tried again. (PortAudio's stream thread reports the moment
    a stream dies in three lines of its own, which no call of ours can hold back.)"""
    lines = rig.log("kestrova.log", 100000).splitlines()
    failures = ["%d lines with %r, expected one" % (sum(part in line for line in lines), part)
                for part in once if sum(part in line for line in lines) != 1]
    told = [i for i, line in enumerate(lines) if "Eingabegerät" in line]
    noise = [line for line in lines[told[0] if told else 0:]
             if re.search(r"ALSA|PortAudio|pulse|Expression|Cannot connect", line)]
    if noise:
        failures.append("the audio libraries in the event log: %s" % noise[:3])
    return failures


def server_late(rig):
    """The program started 3 s before the server: it records once the server is up.
    The first transmission is filed after its silence, the second at the end."""
    time.sleep(3)
    if not rig.start_pulse():
        return ["PulseAudio did not start"]
    time.sleep(3)
    loud = tone(NEW_USER_TONE, amplitude=LOUD)
    rig.feeder.add(loud + silence(NEW_USER_GAP) + loud + silence(3))
    # A source nobody records from is not read: the feeding stalls.
    wait_for(lambda: rig.feeder.pending() == 0, 2 * (NEW_USER_TONE + NEW_USER_GAP))
    if not rig.recordings():
        return ["the transmission after the server came up was not recorded:\n" + rig.log("kestrova.log")]
    if not rig.end_program():
        return []
    return rig.check([NEW_USER_TONE, NEW_USER_TONE]) + log_failures(
        rig, ["Eingabegerät lässt sich nicht öffnen", "Eingabegerät liefert wieder"])


def slow_source(rig):
    """A source that hands over its first block late is waited for. (PipeWire's pipe
    source does not hold back: it delivers from the start, whether fed or not.)"""
    rig.feeder.add(tone(TONE) + silence(GAP))
    first = first_recorded_sample(rig, 15)
    if first is None:
        return ["nothing recorded:\n" + rig.log("kestrova.log")]
    print("first recorded sample %.2f s after the start" % (first - rig.started))
    if not wait_for(lambda: rig.feeder.first_write is not None and rig.feeder.pending() == 0, 20):
        return ["the transmission was not fed"]
    time.sleep(GAP)
    if not rig.end_program():
        return ["the program did not end"]
    failures = []
    tones = [loud_run(wav_info(os.path.join(rig.folder, "W", name))[1]) for name in rig.recordings()]
    if not any(first_loud is not None and span >= (TONE - 0.25) * RATE for first_loud, span in tones):
        failures.append("no recording holds the whole transmission: %s" % tones)
    lost = [line for line in rig.log("kestrova.log", 100000).splitlines() if "Eingabegerät" in line]
    if lost:
        failures.append("the slow source was taken for a lost one: %s" % lost)
    return failures


def main():
    program = sys.argv[1]
    kind = "pipewire" if "--pipewire" in sys.argv[2:] else "pulseaudio"
    scenarios = {"--server-restart": server_restart, "--server-late": server_late, "--slow-source": slow_source}
    chosen = [name for name in sys.argv[2:] if name in scenarios]
    scenario = scenarios[chosen[0]] if chosen else transmissions
    missing = missing_programs(kind)
    if missing:
        print("SKIP: %s not installed" % ", ".join(missing))
        return 77
    rerun = in_session_bus(kind, [os.path.abspath(__file__)] + sys.argv[1:])
    if rerun is not None:
        return rerun
    rig = Rig(program, kind, as_installed=scenario is server_late)
    try:
        if scenario is server_late:
            rig.start_program(headless=True, wait=False)
        elif not rig.start_pulse() or not rig.start_program(headless=scenario in (slow_source, server_restart),
                                                            hold_feeder=2.5 if scenario is slow_source else 0):
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
