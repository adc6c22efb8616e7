#!/usr/bin/env python3
"""Sixteen circuits on one machine: the services of a control room, with MQTT on.

Usage: bench/control_room.py HEADLESS [--circuits N] [--runs N] [--feed-ms N] [--captures-only]
       (defaults: 16 circuits, 5 runs, the pipes fed in blocks of the service's periods)

HEADLESS is kestrova-headless (or kestrova, which hands over to it with --headless).
Starts a mosquitto broker of its own on 127.0.0.1 and, in each run, two setups of N
services one after the other, each service on a program folder of its own with the
settings file a new user has (the service writes it at its first start) and MQTT
switched on, all with the same traffic at the same moments: silence while they
listen, then one transmission of TX seconds on every circuit at once (a sweeping
tone, so that any stretch of it is found in one place only), then silence.

- Captures: a PulseAudio server of the benchmark's own with N pipe sources
  (module-pipe-source, 8-bit mono 11025 Hz: the format the service asks for, so
  the server converts nothing), one for each service (PULSE_SOURCE); ALSA knows
  only the server's plugin. One feeder writes the same bytes into all pipes in
  real time, in blocks of --feed-ms (a pipe source passes each write on as it
  comes; a card delivers the fragments its clients ask for, the service's 400 ms
  periods). The server's CPU time is counted with the services'.
- File-fed (the baseline): the file-fed input device (--input-file), no sound
  server, ALSA knows a null device only. Each file is written just before its
  service starts, its silence cut so that the transmissions of all coincide.

The services start one after the other, each once the one before has its
recorder on. Measured in each setup: the CPU time of all services (and the
server) while all listen (once each has dropped the recording a recorder starts
at its switch-on and drops when nothing was heard) and while all record, as a share of one core (the
scheduler's figure per thread, /proc/PID/task/*/schedstat); the most resident
memory (VmRSS) of each service, printed with what it holds of the service's own heap
and stacks (RssAnon) and of the sound server's shared pool (RssShmem) and the most proportional set (PSS) of all; and,
afterwards, whether every circuit kept its transmission whole and published an
`aufnahme` message for it. Whole: the recording holds every fed sample of the
transmission byte for byte; the file-fed baseline may miss its first 0.25 s (the
file starts playing when the device is opened, not when the recorder runs).

Listening's baseline (captures): one `arecord` per pipe source on the same server,
asking for the service's periods and buffer and recording to nowhere, runs while
the services listen and is measured over the same moments. A circuit's capture
costs mostly wake-ups, whose price the machine sets and which varies from minute
to minute on a virtual one (sixteen arecords have cost 2.1 to 4.2 % of a core on
two virtual cores, their server as much again), so the services are judged against
clients measured at the same moments. The server's share then serves both.

Goals (medians of the runs, captures): listening, the services at most 1.5 times
the arecords; recording at most 8 % of one core for services and server together;
at most 25 MB resident each; every transmission whole and announced. The file-fed
setup is measured and printed, with no goal of its own.
Exit 0: met, 1: missed or failed to measure, 77: skipped (no mosquitto,
PulseAudio or arecord).
"""
import json
import math
import os
import re
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
# Listening after the last service is up: its switch-on recording (a recorder switched
# on records at once and drops that recording after the shortest recording's time when
# nothing was heard), settling and the measurement.
LEAD = 36.0
SWITCH_ON_DROPPED = "kein Signal seit dem Einschalten"
# A new user's settings keep recordings of at least 20 s only.
TX = 24.0
TAIL = 10.0  # silence after it: the recording pauses after 5 s of silence and is filed
LISTEN_RATIO_GOAL = 1.5
RECORD_GOAL = 0.08
MEMORY_GOAL_MB = 25.0


def service_period_ms():
    """The periods the service asks its capture device for, as its source states them."""
    header = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "base", "audio",
                          "AlsaInputStream.h")
    with open(header) as f:
        return int(re.search(r"kPeriodMs = (\d+);", f.read()).group(1))


# A sound card behind the server delivers in the fragments its clients ask for (the
# service's periods); a pipe source has no clock and passes on each write as it comes,
# so the feeder writes what such a card would deliver.
FEED_MS = service_period_ms()
STARTUP_ALLOWANCE = 0.3  # from a service's launch to its recorder, before one was measured
FILE_GRACE_SAMPLES = int(0.25 * RATE)
SILENCE = 128


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


def file_fed_env(work):
    """No display and no sound server: ALSA knows a null device only."""
    alsa_conf = os.path.join(work, "alsa.conf")
    with open(alsa_conf, "w") as f:
        f.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env = without_display(os.environ)
    env.update(HOME=work, XDG_RUNTIME_DIR=runtime, ALSA_CONFIG_PATH=alsa_conf)
    return env


def without_display(env):
    return {k: v for k, v in env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}


class PipeFeeder(threading.Thread):
    """Writes the same bytes into the FIFOs of all pipe sources in real time, a little
    ahead of the clock: silence, and the transmission from `tx_at` (monotonic) on."""

    def __init__(self, pipes, tone, block_seconds):
        super().__init__(daemon=True)
        self.block_samples = round(block_seconds * RATE)
        self.pipes = pipes
        self.tone = tone
        self.tx_at = None
        self.stopped = False
        self.failure = None

    def block(self, fed, started):
        """The block's samples from sample `fed` on."""
        out = bytearray([SILENCE]) * self.block_samples
        if self.tx_at is not None:
            first = round((self.tx_at - started) * RATE)
            low, high = max(fed, first), min(fed + self.block_samples, first + len(self.tone))
            if low < high:
                out[low - fed:high - fed] = self.tone[low - first:high - first]
        return bytes(out)

    def run(self):
        fds = [os.open(pipe, os.O_WRONLY) for pipe in self.pipes]
        try:
            self.started, fed = time.monotonic(), 0
            while not self.stopped:
                data = self.block(fed, self.started)
                for fd in fds:
                    os.write(fd, data)
                fed += len(data)
                ahead = fed / RATE - (time.monotonic() - self.started)
                if ahead > 0:
                    time.sleep(ahead)
        except OSError as error:  # the server has gone
            self.failure = error
        finally:
            for fd in fds:
                os.close(fd)


class Captures:
    """The captures' setup: a PulseAudio server with a pipe source per circuit, fed alike."""

    name = "captures"

    def __init__(self, count, tone, block_seconds):
        self.fifo_folder = tempfile.mkdtemp(prefix="kestrova-room-feed-")
        self.sources = ["kreis%02d" % n for n in range(1, count + 1)]
        pipes = [os.path.join(self.fifo_folder, s + ".pipe") for s in self.sources]
        self.server = ab.PulseServer(
            ["load-module module-null-sink sink_name=out", "set-default-sink out"] +
            ["load-module module-pipe-source source_name=%s file=%s format=u8 rate=%d channels=1"
             % (s, p, RATE) for s, p in zip(self.sources, pipes)])
        self.feeder = PipeFeeder(pipes, tone, block_seconds)
        self.feeder.start()

    def env(self, circuit):
        return dict(without_display(self.server.env), PULSE_SOURCE=circuit.name)

    def arguments(self, circuit, tx_at, tone, allowance):
        return []

    def transmit_at(self, tx_at):
        self.feeder.tx_at = tx_at

    def server_cpu(self):
        return sum(seconds for seconds, _ in ab.thread_seconds(self.server.process.pid).values())

    def grace(self):
        return 0

    def close(self):
        self.feeder.stopped = True
        self.feeder.join(timeout=5)
        self.server.close()
        shutil.rmtree(self.fifo_folder, ignore_errors=True)


class FileFed:
    """The baseline: each service plays a file of its own through the file-fed input."""

    name = "file-fed"

    def __init__(self, work):
        self.shared_env = file_fed_env(work)

    def env(self, circuit):
        return self.shared_env

    def arguments(self, circuit, tx_at, tone, allowance):
        feed = os.path.join(circuit.folder, "feed.wav")
        feed_file(feed, tx_at - circuit.launched - allowance, tone)
        return ["--input-file", feed]

    def transmit_at(self, tx_at):
        pass

    def server_cpu(self):
        return 0.0

    def grace(self):
        return FILE_GRACE_SAMPLES

    def close(self):
        pass


class Circuit:
    def __init__(self, work, number, broker_port):
        self.name = "kreis%02d" % number
        self.folder = os.path.join(work, self.name)
        os.makedirs(self.folder)
        # No Kestrova.ini: the service writes a new user's at its first start.
        with open(os.path.join(self.folder, "KestrovaMqtt.ini"), "w") as f:
            f.write("broker=127.0.0.1\nport=%d\npraefix=bench\nkreis=%s\n" % (broker_port, self.name))
        self.process = None
        self.most_rss = 0.0
        self.shmem_at_most = 0.0  # of it, shared memory: the sound server's pool the client has read
        self.anon_at_most = 0.0  # and the program's own heap and stacks
        self.shares = {}

    def start(self, program, setup, tx_at, tone, allowance):
        self.launched = time.monotonic()
        extra = setup.arguments(self, tx_at, tone, allowance)
        self.log = open(self.folder + ".log", "w")
        self.process = subprocess.Popen([program, "--headless", "--program-folder", self.folder] + extra,
                                        env=setup.env(self), stdin=subprocess.DEVNULL, stdout=self.log,
                                        stderr=self.log)

    def up(self):
        return self.logged("Recorder eingeschaltet")

    def logged(self, text):
        try:
            with open(self.folder + ".log") as log:
                return text in log.read()
        except OSError:
            return False

    def cpu(self):
        return sum(seconds for seconds, _ in ab.thread_seconds(self.process.pid).values())

    def pss_mb(self):
        try:
            with open("/proc/%d/smaps_rollup" % self.process.pid) as f:
                return next(int(line.split()[1]) for line in f if line.startswith("Pss:")) / 1024
        except (OSError, StopIteration):
            return 0.0

    def sample_rss(self):
        try:
            with open("/proc/%d/status" % self.process.pid) as f:
                fields = {line.split(":")[0]: int(line.split()[1]) for line in f if line.startswith(("VmRSS:", "RssAnon:", "RssShmem:"))}
            self.rss = fields["VmRSS"] / 1024
            if self.rss > self.most_rss:
                self.most_rss = self.rss
                self.shmem_at_most = fields.get("RssShmem", 0) / 1024
                self.anon_at_most = fields.get("RssAnon", 0) / 1024
        except (OSError, KeyError):
            self.rss = 0.0

    def recordings(self):
        for spelling in ("W", "w"):
            folder = os.path.join(self.folder, spelling)
            if os.path.isdir(folder):
                return [os.path.join(folder, n) for n in sorted(os.listdir(folder)) if n.endswith(".wav")]
        return []

    def best_comparison(self, tone):
        comparisons = [compare(r, tone) for r in self.recordings()]
        comparisons = [c for c in comparisons if c.found]
        return min(comparisons, key=lambda c: c.missing + c.differing) if comparisons else None

    def announced_whole(self, broker, tone, grace):
        """The transmission was kept whole and its aufnahme message came."""
        announced = {os.path.basename(m.get("datei", "")) for m in broker.announced(self.name)}
        return any(compare(r, tone).whole(grace) and os.path.basename(r) in announced for r in self.recordings())

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


class Comparison:
    """A recording against the fed transmission, aligned on a stretch from its middle."""

    def __init__(self, path, found, missing_start=0, missing_end=0, differences=()):
        self.path = path
        self.found = found
        self.missing_start = missing_start
        self.missing_end = missing_end
        self.missing = missing_start + missing_end
        self.differences = list(differences)  # (sample of the transmission, recorded - fed)
        self.differing = len(self.differences)

    def whole(self, grace=0):
        return (self.found and self.missing_start <= grace and self.missing_end == 0
                and all(at < grace for at, _ in self.differences))

    def text(self):
        if not self.found:
            return "transmission not found in %s" % os.path.basename(self.path)
        words = []
        if self.missing_start or self.missing_end:
            words.append("%d samples missing at the start, %d at the end" % (self.missing_start, self.missing_end))
        if self.differences:
            shown = ", ".join("%d:%+d" % d for d in self.differences[:12])
            words.append("%d samples differ (sample:difference %s%s)"
                         % (self.differing, shown, ", ..." if self.differing > 12 else ""))
        return "; ".join(words) or "byte for byte"


def compare(recording, tone):
    with open(recording, "rb") as f:
        data = f.read()
    start = data.find(b"data")
    samples = data[start + 8:] if start >= 0 else b""
    middle = len(tone) // 2
    at = samples.find(tone[middle:middle + 2000])
    if at < 0:
        return Comparison(recording, False)
    offset = at - middle  # where the transmission's first sample is in the recording
    first = max(0, -offset)
    last = min(len(tone), len(samples) - offset)
    differences = [(i, samples[offset + i] - tone[i]) for i in range(first, last) if samples[offset + i] != tone[i]]
    return Comparison(recording, True, first, len(tone) - last, differences)


class Usage:
    """Shares of one core over a span: the services and the server."""

    def __init__(self, services, server, each):
        self.services = services
        self.server = server
        self.together = services + server
        self.each = each  # circuit name -> share
        self.arecords = None  # the baseline's share, when it ran at the same moments


def sample_while(circuits, setup, seconds, memory, arecords=None):
    """CPU shares over the span, sampling memory meanwhile."""
    before = {c.name: c.cpu() for c in circuits}
    server_before = setup.server_cpu()
    arecords_before = arecords.cpu() if arecords else 0.0
    started = time.monotonic()
    end = started + seconds
    while time.monotonic() < end:
        sample_memory(circuits, memory)
        time.sleep(0.2)
    elapsed = time.monotonic() - started
    each = {c.name: (c.cpu() - before[c.name]) / elapsed for c in circuits}
    usage = Usage(sum(each.values()), (setup.server_cpu() - server_before) / elapsed, each)
    if arecords:
        usage.arecords = (arecords.cpu() - arecords_before) / elapsed
    return usage


class Arecords:
    """Listening's baseline: one arecord per pipe source, asking for the service's periods
    and buffer, recording to nowhere, while the services listen."""

    def __init__(self, setup):
        period_us = 1000 * service_period_ms()
        self.processes = [
            subprocess.Popen(["arecord", "-q", "-D", "default", "-f", "U8", "-c", "1", "-r", str(RATE),
                              "--period-time=%d" % period_us, "--buffer-time=%d" % (5 * period_us),
                              "-t", "raw", "/dev/null"],
                             env=dict(setup.server.env, PULSE_SOURCE=source), stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for source in setup.sources]

    def cpu(self):
        if any(a.poll() is not None for a in self.processes):
            raise RuntimeError("arecord ended early")
        return sum(seconds for a in self.processes for seconds, _ in ab.thread_seconds(a.pid).values())

    def stop(self):
        for a in self.processes:
            ab.stop(a)


def sample_memory(circuits, memory):
    for c in circuits:
        c.sample_rss()
    memory["rss_all"] = max(memory.get("rss_all", 0.0), sum(c.rss for c in circuits))
    if memory.get("pss_due", 0) <= time.monotonic():  # smaps_rollup walks every mapping: once a second
        memory["pss_all"] = max(memory.get("pss_all", 0.0), sum(c.pss_mb() for c in circuits))
        memory["pss_due"] = time.monotonic() + 1


class RunResult:
    def __init__(self, listening, recording, memory, circuits, comparisons, spread, failures):
        self.listening = listening
        self.recording = recording
        self.most_rss = max(c.most_rss for c in circuits)
        self.rss_each = {c.name: c.most_rss for c in circuits}
        self.shmem_each = {c.name: c.shmem_at_most for c in circuits}
        self.anon_each = {c.name: c.anon_at_most for c in circuits}
        self.rss_all = memory.get("rss_all", 0.0)
        self.pss_all = memory.get("pss_all", 0.0)
        self.comparisons = comparisons
        self.spread = spread
        self.failures = failures


def run(program, count, work, broker, tone, setup):
    """One run of `count` services in the setup."""
    circuits = [Circuit(work, number, broker.port) for number in range(1, count + 1)]
    # Each service needs a moment to start; the transmissions all come at tx_at.
    tx_at = time.monotonic() + 0.8 * count + LEAD
    setup.transmit_at(tx_at)
    failures, memory, comparisons = [], {}, {}
    try:
        # One after the other, each up before the next: the time a service took from its
        # launch to its recorder is what the next one's file-fed silence is shortened by.
        allowance = STARTUP_ALLOWANCE
        for c in circuits:
            c.start(program, setup, tx_at, tone, allowance)
            deadline = time.monotonic() + 30
            while not c.up():
                if time.monotonic() > deadline or c.process.poll() is not None:
                    raise RuntimeError("%s did not start its recorder" % c.name)
                time.sleep(0.02)
            allowance = time.monotonic() - c.launched
        # Only listening is measured: each switch-on recording has been dropped.
        while not all(c.logged(SWITCH_ON_DROPPED) for c in circuits):
            if time.monotonic() > tx_at - 8:
                raise RuntimeError("the switch-on recordings were not dropped in time")
            time.sleep(0.2)
        listen_from = time.monotonic() + 3
        listen_span = tx_at - 1 - listen_from
        if listen_span < 4:
            raise RuntimeError("the services took too long to start: %.1f s before the transmission"
                               % (tx_at - time.monotonic()))
        arecords = Arecords(setup) if isinstance(setup, Captures) else None
        try:
            time.sleep(listen_from - time.monotonic())
            listening = sample_while(circuits, setup, listen_span, memory, arecords)
        finally:
            if arecords:
                arecords.stop()
        time.sleep(max(0.0, tx_at + 1.5 - time.monotonic()))
        recording = sample_while(circuits, setup, TX - 3, memory)
        deadline = tx_at + TX + TAIL + 20
        while time.monotonic() < deadline:
            sample_memory(circuits, memory)
            if all(c.announced_whole(broker, tone, setup.grace()) for c in circuits):
                break
            time.sleep(0.5)
        for c in circuits:
            comparison = c.best_comparison(tone)
            comparisons[c.name] = comparison
            if comparison is None or not comparison.whole(setup.grace()):
                failures.append("%s: the transmission was not kept whole (%s)"
                                % (c.name, comparison.text() if comparison else c.recordings()))
            elif not c.announced_whole(broker, tone, setup.grace()):
                failures.append("%s: no aufnahme message for %s" % (c.name, os.path.basename(comparison.path)))
    finally:
        for c in circuits:
            c.stop()
    starts = [name_moment(comparison.path) for comparison in comparisons.values() if comparison]
    spread = max(starts) - min(starts) if starts else float("nan")
    result = RunResult(listening, recording, memory, circuits, comparisons, spread, failures)
    for c in circuits:
        shutil.rmtree(c.folder, ignore_errors=True)
    return result


def name_moment(path):
    """The seconds of the day the recording's name gives ("1_MM-DD-YYYY_hh-mm-ss.wav")."""
    hours, minutes, seconds = os.path.basename(path)[-12:-4].split("-")
    return 3600 * int(hours) + 60 * int(minutes) + int(seconds)


def show_run(number, setup, count, result):
    r = result
    print(ab.with_load(
        "  run %d, %s: %d services listening %.2f %% + server %.2f %% = %.2f %%, recording %.2f %% + server %.2f %% "
        "= %.2f %% of one core; most resident %.1f MB each, %.0f MB in all (PSS %.0f MB); recordings began "
        "within %.0f s by their names; %s"
        % (number, setup.name, count, 100 * r.listening.services, 100 * r.listening.server,
           100 * r.listening.together, 100 * r.recording.services, 100 * r.recording.server,
           100 * r.recording.together, r.most_rss, r.rss_all, r.pss_all, r.spread,
           "all kept whole and announced" if not r.failures else "%d failures" % len(r.failures))))
    if r.listening.arecords is not None:
        print("  run %d: %d arecords on the same sources at the same moments %.2f %%: the services %.2f times that "
              "(the server's share serves both)"
              % (number, count, 100 * r.listening.arecords, listening_ratio(r)))
    for name in sorted(r.rss_each):
        comparison = r.comparisons.get(name)
        print("    %s: listening %.3f %%, recording %.3f %%, most resident %.1f MB (heap and stacks %.1f MB, shared memory %.1f MB, the rest mapped files), %s"
              % (name, 100 * r.listening.each[name], 100 * r.recording.each[name], r.rss_each[name],
                 r.anon_each[name], r.shmem_each[name],
                 comparison.text() if comparison else "no recording"))
    sys.stdout.flush()


def listening_ratio(result):
    return result.listening.services / max(result.listening.arecords, 1e-9)


def show_medians(setup, count, results):
    def median(values):
        return statistics.median(values)

    listening = median([r.listening.together for r in results])
    recording = median([r.recording.together for r in results])
    memory = median([r.most_rss for r in results])
    print(ab.with_load(
        "%s, %d services (medians of %d runs): listening %.2f %% of one core (services %.2f %%, server %.2f %%), "
        "recording %.2f %% (services %.2f %%, server %.2f %%), most resident %.1f MB each, %.0f MB in all "
        "(PSS %.0f MB)"
        % (setup.name, count, len(results), 100 * listening, 100 * median([r.listening.services for r in results]),
           100 * median([r.listening.server for r in results]), 100 * recording,
           100 * median([r.recording.services for r in results]),
           100 * median([r.recording.server for r in results]), memory,
           median([r.rss_all for r in results]), median([r.pss_all for r in results]))))
    return listening, recording, memory


def main():
    arguments = sys.argv[1:]
    runs = ab.take_count(arguments, "--runs", 5)
    feed_ms = ab.take_count(arguments, "--feed-ms", FEED_MS)
    file_fed = "--captures-only" not in arguments
    arguments = [a for a in arguments if a != "--captures-only"]
    count = ab.take_count(arguments, "--circuits", 16)
    if not arguments:
        print(__doc__)
        return 1
    program = os.path.abspath(arguments[0])
    missing = ab.missing_tools("mosquitto", "mosquitto_sub", "pulseaudio", "pactl", "arecord")
    if missing:
        print("SKIP: %s is not installed (scripts/deps --test --bench)" % missing)
        return 77
    work = tempfile.mkdtemp(prefix="kestrova-control-room-")
    tone = transmission()
    captures, broker = None, None
    results = {"captures": [], "file-fed": []}
    failures = []
    try:
        broker = Broker(work)
        captures = Captures(count, tone, feed_ms / 1000)
        setups = [captures] + ([FileFed(work)] if file_fed else [])
        for number in range(runs):
            for setup in setups:
                result = run(program, count, work, broker, tone, setup)
                results[setup.name].append(result)
                failures += ["run %d, %s: %s" % (number, setup.name, f) for f in result.failures]
                show_run(number, setup, count, result)
        if captures.feeder.failure:
            raise RuntimeError("the pipe sources' feeder failed: %s" % captures.feeder.failure)
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        if captures:
            captures.close()
        if broker:
            broker.close()
        shutil.rmtree(work, ignore_errors=True)
    if file_fed:
        show_medians(setups[1], count, results["file-fed"])
    listening, recording, memory = show_medians(captures, count, results["captures"])
    for failure in failures:
        print("  " + failure)
    capture_failures = [f for f in failures if ", captures: " in f]
    ratios = [listening_ratio(r) for r in results["captures"]]
    ratio = statistics.median(ratios)
    print(ab.with_load("listening, services against %d arecords at the same moments (min / median / max of %d runs): "
                       "%s times" % (count, len(ratios), ab.spread_text(ratios))))
    met = (ratio <= LISTEN_RATIO_GOAL and recording <= RECORD_GOAL and memory <= MEMORY_GOAL_MB
           and not capture_failures)
    print(ab.with_load("goal (captures): listening, the services <= %.1f times the arecords; recording, services "
                       "and server together <= %.0f %%; <= %.0f MB each; every transmission whole and announced: %s"
                       % (LISTEN_RATIO_GOAL, 100 * RECORD_GOAL, MEMORY_GOAL_MB, "met" if met else "MISSED")))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
