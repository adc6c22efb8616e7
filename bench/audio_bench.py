"""What the benchmarks of the sound paths share: a PulseAudio server of their own,
the scheduler's per-thread CPU figures, interleaved pairs of runs, the sound window's
program folder, tones and silence, and a recording of a sink's monitor with the time
each sample was heard.

The program and its baseline (arecord, aplay) are measured in pairs, and each pair
gives a ratio: a machine that gets busier or quieter during the run moves both
halves of a pair alike, so the median of the ratios is steadier than a ratio of two
separate runs. Where both can take the same source (arecord beside the recorder)
they run at the same moments; otherwise one after the other.
"""
import math
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time

RATE = 11025


def cpu_seconds(task):
    """CPU time of a process or thread: the scheduler's nanoseconds, else clock ticks."""
    try:
        with open(task + "/schedstat") as f:
            return int(f.read().split()[0]) / 1e9
    except (OSError, ValueError, IndexError):
        pass
    try:
        with open(task + "/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")  # utime + stime
    except OSError:  # a thread that has ended since the listing
        return 0.0


def timeslices(task):
    """How often the thread was given the CPU: about its wake-ups."""
    try:
        with open(task + "/schedstat") as f:
            return int(f.read().split()[2])
    except (OSError, ValueError, IndexError):
        return 0


def thread_seconds(pid):
    """CPU seconds and timeslices per thread, keyed by (name, tid); the main thread is "main"."""
    seconds = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        task = "/proc/%d/task/%s" % (pid, tid)
        try:
            with open(task + "/comm") as f:
                name = "main" if int(tid) == pid else f.read().strip()
        except OSError:
            continue
        seconds[(name, tid)] = (cpu_seconds(task), timeslices(task))
    return seconds


class Usage:
    """Share of one core a process used while measured, in total and per thread name."""

    def __init__(self, threads):
        self.threads = {}  # name -> (share of a core, wake-ups a second), threads of one name summed
        for (name, _), (share, wakeups) in threads.items():
            old = self.threads.get(name, (0.0, 0.0))
            self.threads[name] = (old[0] + share, old[1] + wakeups)
        self.share = sum(share for share, _ in self.threads.values())
        self.wakeups = sum(w for _, w in self.threads.values())


def measure(process, seconds, settle, perf_data=None):
    """Waits `settle` seconds, then measures the process for `seconds`."""
    return measure_together([process], seconds, settle, perf_data)[0]


def measure_together(processes, seconds, settle, perf_data=None):
    """Waits `settle` seconds, then measures the processes over the same `seconds`, one
    Usage each; with `perf_data`, perf samples the first of them meanwhile."""
    time.sleep(settle)
    for process in processes:
        if process.poll() is not None:
            raise RuntimeError("ended early with %d" % process.returncode)
    before, started = [thread_seconds(p.pid) for p in processes], time.monotonic()
    if perf_data:
        subprocess.run(["perf", "record", "-q", "-F", "999", "-g", "-o", perf_data, "-p", str(processes[0].pid),
                        "--", "sleep", str(seconds)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    else:
        time.sleep(seconds)
    for process in processes:
        if process.poll() is not None:
            raise RuntimeError("ended early with %d" % process.returncode)
    after = [thread_seconds(p.pid) for p in processes]
    elapsed = time.monotonic() - started
    # Threads that ended while measured are missing; none of the measured programs ends one.
    return [Usage({key: ((now[key][0] - then.get(key, (0.0, 0))[0]) / elapsed,
                         (now[key][1] - then.get(key, (0.0, 0))[1]) / elapsed) for key in now})
            for then, now in zip(before, after)]


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def spread(values):
    """(min, median, max) of the values."""
    ordered = sorted(values)
    return ordered[0], ordered[len(ordered) // 2], ordered[-1]


def load_text():
    """The machine's load average over 1, 5 and 15 minutes, "load 1.23 0.98 0.80", printed
    beside each figure: on the shared machine it tells a busy run from a quiet one."""
    try:
        with open("/proc/loadavg") as f:
            return "load " + " ".join(f.read().split()[:3])
    except OSError:
        return "load unknown"


def with_load(text):
    """A figure's line with the load average beside it."""
    return "%s  [%s]" % (text, load_text())


def spread_text(values, scale=1.0, digits=2):
    return " / ".join("%.*f" % (digits, scale * v) for v in spread(values))


def show_threads(usages):
    """Median share and wake-ups of each thread name over several runs of one program."""
    names = sorted({name for usage in usages for name in usage.threads},
                   key=lambda name: -sum(u.threads.get(name, (0, 0))[0] for u in usages))
    for name in names:
        shares = [u.threads.get(name, (0.0, 0.0))[0] for u in usages]
        wakeups = [u.threads.get(name, (0.0, 0.0))[1] for u in usages]
        print(with_load("    thread %-18s %s %% of a core, %s wake-ups/s (min/median/max)"
                        % (name, spread_text(shares, 100, 3), spread_text(wakeups, 1, 1))))


class PulseServer:
    """A PulseAudio server of the benchmark's own in a temporary folder, with ALSA knowing
    only its PulseAudio plugin, so that the program and the baseline use the same path
    and nothing probes other devices. `modules` are the lines of its start script after
    the native protocol. With `machine_alsa`, ALSA keeps the machine's own configuration
    (every plugin installed), whose hook makes the running server its default device."""

    def __init__(self, modules, machine_alsa=False):
        self.work = tempfile.mkdtemp(prefix="kestrova-bench-")
        socket = os.path.join(self.work, "pulse.sock")
        self.env = dict(os.environ, HOME=self.work, XDG_RUNTIME_DIR=self.work, PULSE_RUNTIME_PATH=self.work,
                        PULSE_SERVER="unix:" + socket, QT_QPA_PLATFORM="offscreen")
        self.env.pop("ALSA_CONFIG_PATH", None)
        self.narrowed_env = dict(self.env, ALSA_CONFIG_PATH=os.path.join(self.work, "alsa.conf"))
        with open(self.narrowed_env["ALSA_CONFIG_PATH"], "w") as f:
            f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
        if not machine_alsa:
            self.env = self.narrowed_env
        with open(os.path.join(self.work, "pulse.pa"), "w") as f:
            f.write("load-module module-native-protocol-unix socket=%s auth-anonymous=1\n" % socket)
            f.write("".join(line + "\n" for line in modules))
        self.process = subprocess.Popen(
            ["pulseaudio", "--system=no", "--daemonize=no", "--exit-idle-time=-1", "-n", "--disallow-exit",
             "--log-target=stderr", "-F", os.path.join(self.work, "pulse.pa")],
            env=self.env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.work, "pulse.log"), "w"))
        deadline = time.monotonic() + 20
        while not self.pactl("info"):
            if time.monotonic() > deadline:
                self.close()
                raise RuntimeError("PulseAudio did not start")
            time.sleep(0.1)

    def pactl(self, *arguments):
        return subprocess.run(["pactl"] + list(arguments), env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        shutil.rmtree(self.work, ignore_errors=True)


def missing_tools(*tools):
    """The first of the tools that is not installed, else None."""
    return next((tool for tool in tools if shutil.which(tool) is None), None)


def program_settings(folder):
    """The settings file of a program that starts its recorder at once, with the
    settings form hidden and a minimum recording time of 1 s; otherwise the defaults."""
    lines = ["bench", folder, "bench", "11025", "0", "1", "2", "46-0", "67", "1", "180", "5", "10", "3", "50",
             "1", "1", "0", "1", "0", "0", "10", "0", "1", "0", "6", "15", "15", "15", "6375"]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def take_count(arguments, option, default):
    """The whole number after `option` in the arguments (at least 1), both taken out; else the default."""
    if option not in arguments:
        return default
    at = arguments.index(option)
    count = max(1, int(arguments[at + 1]))
    del arguments[at:at + 2]
    return count


def start_recording_program(server, arguments, folder, env=None):
    """Starts the program on a program folder of its own whose recorder starts at once,
    and returns it once its working capture file is there: the recorder is on. `env`:
    the environment instead of the server's."""
    os.makedirs(folder)
    with open(os.path.join(folder, "Kestrova.ini"), "wb") as f:
        f.write(program_settings(folder))
    log_path = folder + ".log"
    with open(log_path, "w") as log:
        kestrova = subprocess.Popen(arguments + ["--program-folder", folder], env=env or server.env, stdout=log,
                                    stderr=log)
    deadline = time.monotonic() + 30
    while not os.path.exists(os.path.join(folder, "capture.part.wav")):
        if time.monotonic() > deadline or kestrova.poll() is not None:
            stop(kestrova)
            raise RuntimeError("the recorder did not start:\n" + open(log_path).read())
        time.sleep(0.05)
    return kestrova


def sound_window_folder(server, run):
    """A program folder for the sound window alone: the recorder stays off, so nothing
    but the sound window's playback runs; otherwise the settings of program_settings()."""
    folder = os.path.join(server.work, "program-%d" % run)
    os.makedirs(folder)
    settings = program_settings(folder).split(b"\r\n")
    settings[15] = b"0"  # the recorder switched on at start: no
    with open(os.path.join(folder, "Kestrova.ini"), "wb") as f:
        f.write(b"\r\n".join(settings))
    return folder


def playback_server():
    """A PulseAudio server whose default sink is a null sink named "out" (its monitor
    "out.monitor") and whose default source is a silent null source."""
    return PulseServer(["load-module module-null-sink sink_name=out", "set-default-sink out",
                        "load-module module-null-source source_name=quiet", "set-default-source quiet"])


def tone(seconds, frequency=1000, amplitude=100):
    """8-bit samples of a sine tone around the middle."""
    return bytes(int(128 + amplitude * math.sin(2 * math.pi * frequency * i / RATE))
                 for i in range(int(seconds * RATE)))


def silence(seconds):
    return bytes([128]) * int(seconds * RATE)


def write_wav_u8(path, samples):
    """An 8-bit mono 11025 Hz WAV file of the given sample bytes."""
    import struct
    with open(path, "wb") as f:
        f.write(struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(samples), b"WAVE", b"fmt ", 16, 1, 1, RATE,
                            RATE, 1, 8, b"data", len(samples)))
        f.write(samples)


class MonitorRecorder(threading.Thread):
    """Reads a sink's monitor (parec, 5 ms fragments) and keeps each block with the
    monotonic time it arrived, so every sample has a time on the clock a program
    prints its moments with. `loud` is how far from the 8-bit middle a sample is sound."""

    def __init__(self, server, device="out.monitor", loud=40, quiet_before=0.3):
        super().__init__(daemon=True)
        self.loud = loud
        self.quiet_before = quiet_before  # the monitor must have been silent this long before a moment
        self.process = subprocess.Popen(
            ["parec", "-d", device, "--raw", "--format=u8", "--rate=%d" % RATE, "--channels=1",
             "--latency-msec=5"], env=server.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.blocks = []  # (arrival, bytes)
        self.lock = threading.Lock()

    def run(self):
        fd = self.process.stdout.fileno()
        while True:
            data = os.read(fd, 4096)
            if not data:
                return
            arrived = time.monotonic()
            with self.lock:
                self.blocks.append((arrived, data))

    def samples(self, since):
        """The samples kept as (moment, value) from the block that holds `since` on; a
        block's last sample arrived with it."""
        with self.lock:
            blocks = list(self.blocks)
        for arrived, data in blocks:
            if arrived < since:
                continue
            first = arrived - len(data) / RATE
            for index, sample in enumerate(data):
                yield first + index / RATE, sample

    def is_loud(self, sample):
        return abs(sample - 128) > self.loud

    def onset_after(self, moment, horizon):
        """Seconds from `moment` to the first loud sample after it, within `horizon`
        seconds; None when nothing was heard or it was not quiet before. A monitor that
        delivered nothing before the moment counts as quiet: the server sends a sink's
        monitor nothing while the sink is suspended, and a suspended sink plays nothing."""
        last_loud = None
        for at, sample in self.samples(moment - 2 * self.quiet_before):
            loud = self.is_loud(sample)
            if at < moment:
                last_loud = at if loud else last_loud
                continue
            if at > moment + horizon:
                return None
            if loud:
                quiet = last_loud is None or last_loud < moment - self.quiet_before
                return at - moment if quiet else None
        return None

    def loud_spans(self, start, end):
        """The stretches of sound between the two moments, for a message."""
        spans = []
        for at, sample in self.samples(start):
            if start <= at <= end and self.is_loud(sample):
                if not spans or at - spans[-1][1] > 0.05:
                    spans.append([at, at])
                spans[-1][1] = at
        return ", ".join("%+.3f..%+.3f s" % (a - start, b - start) for a, b in spans) or "none"

    def wait(self, seconds):
        """Lets the monitor record on for a while; fails when parec has ended."""
        time.sleep(seconds)
        if self.process.poll() is not None:
            raise RuntimeError("parec ended")

    def stop(self):
        stop(self.process)


class ToneFeeder(threading.Thread):
    """Writes a loud 1 kHz tone in real time into the FIFO of a pipe source
    (module-pipe-source), a little ahead of the clock, until stopped."""

    def __init__(self, pipe_path):
        super().__init__(daemon=True)
        self.pipe_path = pipe_path
        self.stopped = False

    def run(self):
        # 441 samples are 40 whole periods at 11025 Hz; 0.2 s a write.
        period = bytes(int(128 + 110 * math.sin(2 * math.pi * 1000 * i / RATE)) for i in range(441))
        block = period * 5
        fd = os.open(self.pipe_path, os.O_WRONLY)
        try:
            start, fed = time.monotonic(), 0
            while not self.stopped:
                os.write(fd, block)
                fed += len(block)
                ahead = fed / RATE - (time.monotonic() - start)
                if ahead > 0.1:
                    time.sleep(ahead - 0.1)
        except OSError:  # the server has gone
            pass
        finally:
            os.close(fd)
