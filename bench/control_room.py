#!/usr/bin/env python3
"""Sixteen circuits on one machine: the services of a control room, with MQTT on.

Usage: bench/control_room.py HEADLESS [--circuits N] [--runs N]   (defaults: 16 circuits, 5 runs)

HEADLESS is kestrova-headless (or kestrova, which hands over to it with --headless).
Starts a mosquitto broker of its own on 127.0.0.1 and, in each run, N services, each
on a program folder of its own with MQTT switched on, fed by the file-fed input
device (--input-file) with the same traffic at the same moments: silence while they
listen, then one transmission of TX seconds on every circuit at once (a sweeping
tone), then silence. ALSA knows only a null device, as a service without a sound
server has it. The services start one after the other, each once the one before has
its recorder on; each file is written just before its service starts, its silence
ending at the same moment for all, less the time the service before took from its
launch to its recorder, so that the transmissions of all circuits coincide (the run
prints how far apart the recordings' names put their starts).

Measured in each run: the CPU time of all services together (the scheduler's
figure per thread, /proc/PID/task/*/schedstat) while all listen and while all
record, as a share of one core; the most resident memory (VmRSS) of each service;
and, afterwards, whether every circuit kept its transmission whole (the recording
holds the fed samples byte for byte, from at most 0.25 s after the transmission's
start to its end) and published an `aufnahme` message for it. The baseline, in the
same invocation: one service alone with the same traffic, whose figures times N
are what the circuits would cost without getting in each other's way.

Goals (medians of the runs): listening at most 5 % of one core for all together,
recording at most 25 %, at most 30 MB resident each, every transmission whole and
announced. Exit 0: met, 1: missed or failed to measure, 77: skipped (no mosquitto).
"""
import json
import math
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

import audio_bench as ab

RATE = ab.RATE
LEAD = 12.0  # listening after the last service is up: startup, settling, measurement
TX = 12.0  # the transmission on every circuit
TAIL = 10.0  # silence after it: the recording ends and is filed
LISTEN_GOAL = 0.05
RECORD_GOAL = 0.25
MEMORY_GOAL_MB = 30.0
STARTUP_ALLOWANCE = 0.3  # from a service's launch to its recorder, before one was measured
GRACE_SAMPLES = int(0.25 * RATE)


def transmission():
    """A tone sweeping up and down, so that any stretch of it is found in one place only."""
    samples = bytearray()
    phase = 0.0
    for i in range(int(TX * RATE)):
        frequency = 500 + 400 * math.sin(2 * math.pi * i / (3.7 * RATE)) + 0.01 * i
        phase += 2 * math.pi * frequency / RATE
        samples.append(int(128 + 100 * math.sin(phase)))
    return bytes(samples)


def feed_file(path, lead, tone):
    ab.write_wav_u8(path, ab.silence(lead) + tone + ab.silence(TAIL))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Broker:
    """A mosquitto broker of the benchmark's own and a subscriber to every circuit's messages."""

    def __init__(self, work):
        self.port = free_port()
        conf = os.path.join(work, "mosquitto.conf")
        with open(conf, "w") as f:
            f.write("listener %d 127.0.0.1\nallow_anonymous true\npersistence false\n" % self.port)
        self.process = subprocess.Popen(["mosquitto", "-c", conf], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while True:
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=0.5).close()
                break
            except OSError:
                if time.monotonic() > deadline:
                    self.close()
                    raise RuntimeError("mosquitto did not start")
                time.sleep(0.1)
        self.messages = []
        self.subscriber = subprocess.Popen(
            ["mosquitto_sub", "-h", "127.0.0.1", "-p", str(self.port), "-q", "1", "-v", "-t", "bench/+/aufnahme"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for line in self.subscriber.stdout:
            topic, _, payload = line.rstrip("\n").partition(" ")
            self.messages.append((topic, payload))

    def announced(self, circuit):
        return [json.loads(payload) for topic, payload in list(self.messages)
                if topic == "bench/%s/aufnahme" % circuit]

    def close(self):
        for process in (getattr(self, "subscriber", None), self.process):
            if process and process.poll() is None:
                process.terminate()
                process.wait(timeout=10)


def service_env(work):
    """No display and no sound server: ALSA knows a null device only."""
    alsa_conf = os.path.join(work, "alsa.conf")
    with open(alsa_conf, "w") as f:
        f.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(HOME=work, XDG_RUNTIME_DIR=runtime, ALSA_CONFIG_PATH=alsa_conf)
    return env


class Circuit:
    def __init__(self, work, number, broker_port):
        self.name = "kreis%02d" % number
        self.folder = os.path.join(work, self.name)
        os.makedirs(self.folder)
        with open(os.path.join(self.folder, "Kestrova.ini"), "wb") as f:
            f.write(ab.program_settings(self.folder))
        with open(os.path.join(self.folder, "KestrovaMqtt.ini"), "w") as f:
            f.write("broker=127.0.0.1\nport=%d\npraefix=bench\nkreis=%s\n" % (broker_port, self.name))
        self.feed = os.path.join(self.folder, "feed.wav")
        self.process = None
        self.most_rss = 0.0

    def start(self, program, env, tx_at, tone, allowance):
        self.launched = time.monotonic()
        feed_file(self.feed, tx_at - self.launched - allowance, tone)
        self.log = open(self.folder + ".log", "w")
        self.process = subprocess.Popen([program, "--headless", "--program-folder", self.folder, "--input-file",
                                         self.feed], env=env, stdin=subprocess.DEVNULL, stdout=self.log,
                                        stderr=self.log)

    def up(self):
        try:
            with open(self.folder + ".log") as log:
                return "Recorder eingeschaltet" in log.read()
        except OSError:
            return False

    def cpu(self):
        return sum(seconds for seconds, _ in ab.thread_seconds(self.process.pid).values())

    def sample_rss(self):
        try:
            with open("/proc/%d/status" % self.process.pid) as f:
                kb = next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
            self.most_rss = max(self.most_rss, kb / 1024)
        except (OSError, StopIteration):
            pass

    def recordings(self):
        for spelling in ("W", "w"):
            folder = os.path.join(self.folder, spelling)
            if os.path.isdir(folder):
                return [os.path.join(folder, n) for n in sorted(os.listdir(folder)) if n.endswith(".wav")]
        return []

    def announced_whole(self, broker, tone):
        """The transmission was kept whole and its aufnahme message came."""
        announced = {os.path.basename(m.get("datei", "")) for m in broker.announced(self.name)}
        return any(whole(r, tone) and os.path.basename(r) in announced for r in self.recordings())

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.process:
            self.log.close()


def whole(recording, tone):
    """True when the recording's samples hold the transmission from its first quarter second on."""
    with open(recording, "rb") as f:
        data = f.read()
    start = data.find(b"data")
    samples = data[start + 8:] if start >= 0 else b""
    return tone[GRACE_SAMPLES:] in samples


def sample_while(circuits, seconds):
    """CPU seconds of all services over the span, sampling their memory meanwhile."""
    before = sum(c.cpu() for c in circuits)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for c in circuits:
            c.sample_rss()
        time.sleep(0.2)
    return (sum(c.cpu() for c in circuits) - before) / seconds


def run(program, count, work, broker, tone, env):
    """One run of `count` services: the shares while listening and recording, the most
    resident memory of any, and the failures."""
    circuits = [Circuit(work, number, broker.port) for number in range(1, count + 1)]
    # Each service needs a moment to start; the transmissions all come at tx_at.
    tx_at = time.monotonic() + 0.8 * count + LEAD
    failures = []
    try:
        # One after the other, each up before the next: the time a service took from its
        # launch to its recorder is what the next one's silence is shortened by.
        allowance = STARTUP_ALLOWANCE
        for c in circuits:
            c.start(program, env, tx_at, tone, allowance)
            deadline = time.monotonic() + 30
            while not c.up():
                if time.monotonic() > deadline or c.process.poll() is not None:
                    raise RuntimeError("%s did not start its recorder" % c.name)
                time.sleep(0.02)
            allowance = time.monotonic() - c.launched
        listen_from = time.monotonic() + 3
        listen_span = tx_at - 1 - listen_from
        if listen_span < 4:
            raise RuntimeError("the services took too long to start: %.1f s before the transmission"
                               % (tx_at - time.monotonic()))
        time.sleep(listen_from - time.monotonic())
        listening = sample_while(circuits, listen_span)
        time.sleep(max(0.0, tx_at + 1.5 - time.monotonic()))
        recording = sample_while(circuits, TX - 3)
        deadline = tx_at + TX + TAIL + 20
        while time.monotonic() < deadline:
            for c in circuits:
                c.sample_rss()
            if all(c.announced_whole(broker, tone) for c in circuits):
                break
            time.sleep(0.5)
        for c in circuits:
            kept = [r for r in c.recordings() if whole(r, tone)]
            if not kept:
                failures.append("%s: the transmission was not kept whole (%s)" % (c.name, c.recordings()))
            elif not c.announced_whole(broker, tone):
                failures.append("%s: no aufnahme message for %s" % (c.name, os.path.basename(kept[0])))
    finally:
        for c in circuits:
            c.stop()
    starts = [name_moment(r) for c in circuits for r in c.recordings() if whole(r, tone)]
    spread = max(starts) - min(starts) if starts else float("nan")
    memory = max(c.most_rss for c in circuits)
    for c in circuits:
        shutil.rmtree(c.folder, ignore_errors=True)
    return listening, recording, memory, spread, failures


def name_moment(path):
    """The seconds of the day the recording's name gives ("1_MM-DD-YYYY_hh-mm-ss.wav")."""
    hours, minutes, seconds = os.path.basename(path)[-12:-4].split("-")
    return 3600 * int(hours) + 60 * int(minutes) + int(seconds)


def main():
    arguments = sys.argv[1:]
    runs = ab.take_count(arguments, "--runs", 5)
    count = ab.take_count(arguments, "--circuits", 16)
    if not arguments:
        print(__doc__)
        return 1
    program = os.path.abspath(arguments[0])
    missing = ab.missing_tools("mosquitto", "mosquitto_sub")
    if missing:
        print("SKIP: %s is not installed (scripts/deps --test)" % missing)
        return 77
    work = tempfile.mkdtemp(prefix="kestrova-control-room-")
    env = service_env(work)
    tone = transmission()
    try:
        broker = Broker(work)
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    listens, records, memories, failures = [], [], [], []
    try:
        base_listen, base_record, base_memory, _, base_failures = run(program, 1, work, broker, tone, env)
        failures += ["one alone: " + f for f in base_failures]
        print("baseline, one service alone: listening %.3f %%, recording %.3f %% of one core, %.1f MB"
              % (100 * base_listen, 100 * base_record, base_memory))
        for number in range(runs):
            listening, recording, memory, spread, run_failures = run(program, count, work, broker, tone, env)
            listens.append(listening)
            records.append(recording)
            memories.append(memory)
            failures += ["run %d: %s" % (number, f) for f in run_failures]
            print("  run %d: %d services listening %.2f %%, recording %.2f %% of one core; most resident %.1f MB; "
                  "recordings began within %.0f s by their names; %s"
                  % (number, count, 100 * listening, 100 * recording, memory, spread,
                          "all kept whole and announced" if not run_failures else "%d failures" % len(run_failures)))
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        broker.close()
        shutil.rmtree(work, ignore_errors=True)
    listening, recording, memory = statistics.median(listens), statistics.median(records), statistics.median(memories)
    print("%d services (medians of %d runs): listening %.2f %% of one core (%d x one alone: %.2f %%), recording "
          "%.2f %% (%d x one alone: %.2f %%), most resident %.1f MB each (one alone: %.1f MB)"
          % (count, runs, 100 * listening, count, 100 * count * base_listen, 100 * recording, count,
             100 * count * base_record, memory, base_memory))
    for failure in failures:
        print("  " + failure)
    met = (listening <= LISTEN_GOAL and recording <= RECORD_GOAL and memory <= MEMORY_GOAL_MB and not failures)
    print("goal: listening <= %.0f %%, recording <= %.0f %%, <= %.0f MB each, every transmission whole and "
          "announced: %s" % (100 * LISTEN_GOAL, 100 * RECORD_GOAL, MEMORY_GOAL_MB, "met" if met else "MISSED"))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
