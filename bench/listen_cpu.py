#!/usr/bin/env python3
"""CPU time of the program listening to silence, against arecord on the same source.

Usage: bench/listen_cpu.py PROGRAM [seconds] [--perf] [--floor QT_TIMER_FLOOR]      (default 60 s)

Starts a PulseAudio server of its own whose default source is a null source
(silence, 8-bit mono 11025 Hz). Runs `arecord` on it to /dev/null, then the
program with the recorder switched on at start and the default 10 ms meter
interval, each for the same time after a short settling, and compares the CPU
time (user + system, from /proc/PID/stat) the two spent.

With --floor, the bare Qt program with a 10 ms timer (bench/qt_timer_floor.cpp)
is measured too: what the meter's interval costs before the program does anything.
With --perf, `perf record` samples the program while it is measured and the
report of where its time goes is printed (perf from linux-perf).

Goal: the program under 2 % of one core and at most 3 times arecord.
Exit 0: measured (whether or not the goal was met), 1: failed to measure,
77: skipped (no PulseAudio or arecord on this machine).
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

RATE = 11025
SETTLE = 5.0  # the recording that starts with the recorder ends after 1 s of silence


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
    """CPU seconds and timeslices per thread, the main thread named "main", the others by their names."""
    seconds = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        task = "/proc/%d/task/%s" % (pid, tid)
        try:
            with open(task + "/comm") as f:
                name = "main" if int(tid) == pid else f.read().strip()
        except OSError:
            continue
        seconds["%s (%s)" % (name, tid)] = (cpu_seconds(task), timeslices(task))
    return seconds


def measure(process, seconds, perf_data=None):
    """Share of one core that the process used, in total and per thread."""
    time.sleep(SETTLE)
    if process.poll() is not None:
        raise RuntimeError("ended early with %d" % process.returncode)
    before, started = thread_seconds(process.pid), time.monotonic()
    if perf_data:
        subprocess.run(["perf", "record", "-q", "-F", "999", "-g", "-o", perf_data, "-p", str(process.pid), "--",
                        "sleep", str(seconds)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    else:
        time.sleep(seconds)
    if process.poll() is not None:
        raise RuntimeError("ended early with %d" % process.returncode)
    after = thread_seconds(process.pid)
    elapsed = time.monotonic() - started
    # Threads that ended while measured are missing; none of either program does.
    threads = {key: ((after[key][0] - before.get(key, (0.0, 0))[0]) / elapsed,
                     (after[key][1] - before.get(key, (0.0, 0))[1]) / elapsed) for key in after}
    return sum(share for share, _ in threads.values()), threads


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def show_threads(threads):
    for key, (share, wakeups) in sorted(threads.items(), key=lambda item: -item[1][0]):
        print("  thread %-24s %.2f %%  %5.1f wake-ups/s" % (key, 100 * share, wakeups))


def settings(folder):
    # New-file defaults, but the recorder switched on at start, the settings form
    # hidden and a minimum recording time of 1 s.
    lines = ["bench", folder, "bench", "11025", "0", "1", "2", "46-0", "67", "1", "180", "5", "10", "3", "50",
             "1", "1", "0", "1", "0", "0", "10", "0", "1", "0", "6", "15", "15", "15", "6375"]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def main():
    arguments = sys.argv[1:]
    profile = "--perf" in arguments
    floor_program = None
    if "--floor" in arguments:
        at = arguments.index("--floor")
        floor_program = os.path.abspath(arguments[at + 1])
        del arguments[at:at + 2]
    arguments = [a for a in arguments if a != "--perf"]
    if not arguments:
        print(__doc__)
        return 1
    program = os.path.abspath(arguments[0])
    seconds = float(arguments[1]) if len(arguments) > 1 else 60.0
    for tool in ("pulseaudio", "arecord"):
        if shutil.which(tool) is None:
            print("SKIP: %s is not installed (scripts/deps --test)" % tool)
            return 77
    work = tempfile.mkdtemp(prefix="kestrova-cpu-")
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    with open(os.path.join(folder, "Kestrova.ini"), "wb") as f:
        f.write(settings(folder))
    socket = os.path.join(work, "pulse.sock")
    env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=work, PULSE_RUNTIME_PATH=work, PULSE_SERVER="unix:" + socket,
               QT_QPA_PLATFORM="offscreen")
    # Only the PulseAudio plugin, so both read the same source and nothing probes other devices.
    alsa_conf = os.path.join(work, "alsa.conf")
    with open(alsa_conf, "w") as f:
        f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
    env["ALSA_CONFIG_PATH"] = alsa_conf
    with open(os.path.join(work, "pulse.pa"), "w") as f:
        f.write("load-module module-native-protocol-unix socket=%s auth-anonymous=1\n" % socket)
        f.write("load-module module-null-sink sink_name=out\n")
        f.write("load-module module-null-source source_name=quiet format=u8 rate=%d channels=1\n" % RATE)
        f.write("set-default-source quiet\nset-default-sink out\n")
    pulse = subprocess.Popen(["pulseaudio", "--system=no", "--daemonize=no", "--exit-idle-time=-1", "-n",
                              "--disallow-exit", "--log-target=stderr", "-F", os.path.join(work, "pulse.pa")],
                             env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "pulse.log"), "w"))
    try:
        deadline = time.monotonic() + 20
        while subprocess.run(["pactl", "info"], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL).returncode != 0:
            if time.monotonic() > deadline:
                print("FAIL: PulseAudio did not start")
                return 1
            time.sleep(0.1)

        arecord = subprocess.Popen(["arecord", "-q", "-D", "default", "-f", "U8", "-c", "1", "-r", str(RATE),
                                    "-t", "raw", "/dev/null"], env=env, stderr=subprocess.DEVNULL)
        try:
            baseline, baseline_threads = measure(arecord, seconds)
        finally:
            stop(arecord)

        log = open(os.path.join(work, "kestrova.log"), "w")
        kestrova = subprocess.Popen([program, "--program-folder", folder], env=env, stdout=log, stderr=log)
        try:
            deadline = time.monotonic() + 30
            while not os.path.exists(os.path.join(folder, "capture.part.wav")):
                if time.monotonic() > deadline or kestrova.poll() is not None:
                    print("FAIL: the recorder did not start:\n" + open(os.path.join(work, "kestrova.log")).read())
                    return 1
                time.sleep(0.05)
            perf_data = os.path.join(work, "perf.data") if profile else None
            usage, threads = measure(kestrova, seconds, perf_data)
        finally:
            stop(kestrova)
        floor = None
        if floor_program:
            bare = subprocess.Popen([floor_program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                floor, _ = measure(bare, seconds)
            finally:
                stop(bare)
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        pulse.terminate()
        pulse.wait(timeout=10)

    ratio = usage / baseline if baseline > 0 else float("inf")
    print("listening to silence for %.0f s, 10 ms meter interval" % seconds)
    print("program: %.2f %% of one core" % (100 * usage))
    show_threads(threads)
    print("arecord (same source to /dev/null): %.2f %% of one core" % (100 * baseline))
    show_threads(baseline_threads)
    if floor is not None:
        print("bare Qt program with a 10 ms timer: %.2f %% of one core (%.1f times arecord)"
              % (100 * floor, floor / baseline if baseline > 0 else float("inf")))
    print("ratio: %.2f (goal: under 2 %% and at most 3)" % ratio)
    met = usage < 0.02 and ratio <= 3
    print("goal %s" % ("met" if met else "MISSED"))
    if profile:
        report = subprocess.run(["perf", "report", "-i", os.path.join(work, "perf.data"), "--no-children",
                                 "--stdio", "--percent-limit", "1", "-g", "none", "--sort", "comm,dso,sym"],
                                capture_output=True, text=True)
        print(report.stdout)
        shutil.copy(os.path.join(work, "perf.data"), "listen_cpu.perf.data")
        print("perf data kept in listen_cpu.perf.data")
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
