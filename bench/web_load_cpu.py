#!/usr/bin/env python3
"""CPU time of the program listening to silence while its web page is busy.

Usage: bench/web_load_cpu.py PROGRAM [seconds] [--rate BYTES_PER_SECOND] [--pairs N]
       (defaults: 60 s a run, 1 MB/s, 3 pairs)

The same PulseAudio set-up and settings as listen_cpu.py (the helpers of audio_bench.py).
The program listens in pairs of runs of the same length: once without its web page,
once with it on a loopback port while ten clients follow the live level (server-sent
events) and one downloads a one-hour recording, again and again, at the given
rate (a remote client's line; a download at loopback speed would measure only the
copying). The CPU time of the whole program is compared within each pair, and the
median of the pairs' ratios is judged: one pair alone moved with the machine's load
by as much as the goal allows.

Then the transmissions of the real-audio end-to-end test (tests/e2e/real_audio.py)
are fed to the program while the same load runs: every one must be recorded whole.

Goals: with the load, at most 1.5 times the CPU figure without the page (median
of the pairs), and every transmission recorded.
Exit 0: goals met, 2: a goal missed, 1: failed to measure, 77: skipped (no
PulseAudio on this machine).
"""
import http.client
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import audio_bench  # noqa: E402 - the helpers the CPU benchmarks share
import real_audio  # noqa: E402 - the transmissions of the real-audio test

RATE = audio_bench.RATE
SETTLE = 5.0  # the recording that starts with the recorder ends after 1 s of silence
FOLLOWERS = 10
GOAL = 1.5


def one_hour_recording(path):
    samples = RATE * 3600
    header = (b"RIFF" + (36 + samples).to_bytes(4, "little") + b"WAVEfmt " + (16).to_bytes(4, "little") +
              (1).to_bytes(2, "little") + (1).to_bytes(2, "little") + RATE.to_bytes(4, "little") +
              RATE.to_bytes(4, "little") + (1).to_bytes(2, "little") + (8).to_bytes(2, "little") + b"data" +
              samples.to_bytes(4, "little"))
    with open(path, "wb") as f:
        f.write(header)
        block = bytes([128]) * RATE
        for _ in range(3600):
            f.write(block)


class Load:
    """Ten followers of the live events and one throttled download, until stopped."""

    def __init__(self, port, path, rate):
        self.port, self.path, self.rate = port, path, rate
        self.stopped = threading.Event()
        self.events = 0
        self.downloaded = 0
        self.threads = [threading.Thread(target=self.follow, daemon=True) for _ in range(FOLLOWERS)]
        self.threads.append(threading.Thread(target=self.download, daemon=True))

    def start(self):
        for thread in self.threads:
            thread.start()

    def stop(self):
        self.stopped.set()

    def follow(self):
        try:
            self.follow_events()
        except OSError:  # the program has ended
            pass

    def follow_events(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.port)
        connection.request("GET", "/api/live")
        response = connection.getresponse()
        # Blocks between events; the thread ends with the program's connection.
        while not self.stopped.is_set():
            line = response.fp.readline()
            if not line:
                break
            if line.startswith(b"event:"):
                self.events += 1

    def download(self):
        try:
            self.download_again_and_again()
        except OSError:  # the program has ended
            pass

    def download_again_and_again(self):
        while not self.stopped.is_set():
            connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
            connection.request("GET", "/datei?pfad=%s&herunterladen=1" % self.path)
            response = connection.getresponse()
            started, received = time.monotonic(), 0
            while not self.stopped.is_set():
                chunk = response.read(64 * 1024)
                if not chunk:
                    break
                received += len(chunk)
                self.downloaded += len(chunk)
                ahead = started + received / self.rate - time.monotonic()
                if ahead > 0:
                    time.sleep(ahead)
            connection.close()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def run_program(program, folder, env, work, seconds, web_port=None):
    arguments = [program, "--program-folder", folder]
    if web_port:
        arguments += ["--web", "127.0.0.1:%d" % web_port]
    log = open(os.path.join(work, "kestrova.log"), "w")
    kestrova = subprocess.Popen(arguments, env=env, stdout=log, stderr=log)
    try:
        deadline = time.monotonic() + 30
        while not os.path.exists(os.path.join(folder, "capture.part.wav")):
            if time.monotonic() > deadline or kestrova.poll() is not None:
                raise RuntimeError("the recorder did not start:\n" + open(os.path.join(work, "kestrova.log")).read())
            time.sleep(0.05)
        load = None
        if web_port:
            load = Load(web_port, RECORDING, RATE_OF_DOWNLOAD)
            load.start()
        usage = audio_bench.measure(kestrova, seconds, SETTLE)
        if load:
            load.stop()
        return usage, load
    finally:
        audio_bench.stop(kestrova)
        # The next run waits for a working file of its own.
        working = os.path.join(folder, "capture.part.wav")
        if os.path.exists(working):
            os.remove(working)


# In the dated archive, where nothing deletes it and no check of W counts it.
RECORDING = "Fk_2/Ja_2020/Mo-01/Tg-01/hh-00/2_01-01-2020_00-00-00.wav"


def place_one_hour_recording(folder):
    path = os.path.join(folder, *RECORDING.split("/"))
    os.makedirs(os.path.dirname(path))
    one_hour_recording(path)
RATE_OF_DOWNLOAD = 1_000_000


def transmissions_under_load(program, rate):
    """Failures of real_audio's transmissions, recorded while the page is busy."""
    port = free_port()
    rig = real_audio.Rig(None)
    # The program with its page on: a wrapper that adds the option and becomes the program.
    wrapper = os.path.join(rig.work, "kestrova-web")
    with open(wrapper, "w") as f:
        f.write('#!/bin/sh\nexec "%s" --web 127.0.0.1:%d "$@"\n' % (program, port))
    os.chmod(wrapper, 0o755)
    rig.program = wrapper
    place_one_hour_recording(rig.folder)
    load = None
    try:
        if not rig.start_pulse() or not rig.start_program():
            return ["the program did not start"]
        load = Load(port, RECORDING, rate)
        load.start()
        failures = real_audio.transmissions(rig)
    finally:
        if load:
            load.stop()
        rig.stop()
    print("under load: %d live events, %.1f MB downloaded" % (load.events, load.downloaded / 1e6))
    shutil.rmtree(rig.work, ignore_errors=True)
    return failures


def main():
    global RATE_OF_DOWNLOAD
    arguments = sys.argv[1:]
    RATE_OF_DOWNLOAD = audio_bench.take_count(arguments, "--rate", RATE_OF_DOWNLOAD)
    pairs = audio_bench.take_count(arguments, "--pairs", 3)
    if not arguments:
        print(__doc__)
        return 1
    program = os.path.abspath(arguments[0])
    seconds = float(arguments[1]) if len(arguments) > 1 else 60.0
    if shutil.which("pulseaudio") is None or shutil.which("pactl") is None:
        print("SKIP: pulseaudio is not installed (scripts/deps --test)")
        return 77
    work = tempfile.mkdtemp(prefix="kestrova-web-cpu-")
    folder = os.path.join(work, "program")
    os.makedirs(os.path.join(folder, "W"))
    with open(os.path.join(folder, "Kestrova.ini"), "wb") as f:
        f.write(audio_bench.program_settings(folder))
    pulse_socket = os.path.join(work, "pulse.sock")
    env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=work, PULSE_RUNTIME_PATH=work,
               PULSE_SERVER="unix:" + pulse_socket, QT_QPA_PLATFORM="offscreen")
    alsa_conf = os.path.join(work, "alsa.conf")
    with open(alsa_conf, "w") as f:
        f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
    env["ALSA_CONFIG_PATH"] = alsa_conf
    with open(os.path.join(work, "pulse.pa"), "w") as f:
        f.write("load-module module-native-protocol-unix socket=%s auth-anonymous=1\n" % pulse_socket)
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
        place_one_hour_recording(folder)
        quiet, busy, ratios = [], [], []
        for pair in range(pairs):
            quiet.append(run_program(program, folder, env, work, seconds)[0])
            usage, load = run_program(program, folder, env, work, seconds, free_port())
            busy.append(usage)
            ratios.append(usage.share / quiet[-1].share if quiet[-1].share > 0 else float("inf"))
            print("  pair %d: without the page %.3f %%, with it %.3f %%, ratio %.2f"
                  % (pair + 1, 100 * quiet[-1].share, 100 * usage.share, ratios[-1]))
            sys.stdout.flush()
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        pulse.terminate()
        pulse.wait(timeout=10)

    ratio = audio_bench.spread(ratios)[1]
    print("listening to silence, %d pairs of %.0f s, 10 ms meter interval (min / median / max):" % (pairs, seconds))
    print(audio_bench.with_load("without the web page: %s %% of one core"
                                % audio_bench.spread_text([u.share for u in quiet], 100)))
    audio_bench.show_threads(quiet)
    print(audio_bench.with_load("with %d followers of the live level and a download at %.1f MB/s: %s %% of one core"
                                % (FOLLOWERS, RATE_OF_DOWNLOAD / 1e6,
                                   audio_bench.spread_text([u.share for u in busy], 100))))
    audio_bench.show_threads(busy)
    print("last run: events received: %d, bytes downloaded: %.1f MB" % (load.events, load.downloaded / 1e6))
    print(audio_bench.with_load("ratio: %s (goal: median at most %.1f)" % (audio_bench.spread_text(ratios), GOAL)))
    print("CPU goal %s" % ("met" if ratio <= GOAL else "MISSED"))
    shutil.rmtree(work, ignore_errors=True)

    print("the real-audio test's transmissions with the same load on the page:")
    failures = transmissions_under_load(program, RATE_OF_DOWNLOAD)
    for failure in failures:
        print("  " + failure)
    print("recording goal %s" % ("MISSED" if failures else "met"))
    return 0 if ratio <= GOAL and not failures else 2


if __name__ == "__main__":
    sys.exit(main())
