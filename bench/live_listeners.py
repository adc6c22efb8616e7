#!/usr/bin/env python3
"""CPU time of the service with ten live listeners on its web page, against none.

Usage: bench/live_listeners.py PROGRAM [seconds] [--pairs N]      (defaults: 30 s a run, 3 pairs)

Starts a PulseAudio server of its own whose default source is a null source (silence,
8-bit mono 11025 Hz: the samples flow as from a receiver) and the program (the
service, kestrova-headless) with its recorder switched on at start and its web page
on a loopback port. One process is measured in interleaved runs of the same length:
nobody listening, then ten clients hearing the input live (`GET /api/ton`, each
reading as fast as the samples come), then nobody again, and so on. Each pair gives
the share of a core the listeners added. Every listener must receive the input at
its rate.

Goal: the median of the pairs' added share at most 1 % of one core. Listening itself
has a budget of 2 % of one core (bench/listen_cpu.py); ten listeners, 110 kB/s of
samples copied once into each listener's buffer on the input's thread (which hands the
input over every 100 ms while someone listens) and sent by the server's thread, may add
half of that at most. (Release, at a load of 2.5 beside a test run: 0.22 %.)
Exit 0: goal met, 1: failed to measure, 2: goal missed, 77: skipped (no PulseAudio).
"""
import http.client
import os
import shutil
import socket
import sys
import threading
import time

import audio_bench as ab

LISTENERS = 10
GOAL = 0.01
SETTLE = 2.0


class Listener(threading.Thread):
    """One client hearing the input live until its connection is shut."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
        self.status = None
        self.received = 0

    def run(self):
        try:
            self.connection.request("GET", "/api/ton")
            response = self.connection.getresponse()
            self.status = response.status
            while True:
                data = response.read1(65536)
                if not data:
                    return
                self.received += len(data)
        except (OSError, http.client.HTTPException):
            pass  # shut by stop()

    def stop(self):
        if self.connection.sock:
            try:
                self.connection.sock.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
        self.join(timeout=5)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def listened(port, kestrova, seconds):
    """The program's usage while ten listen, and the listeners' complaints."""
    listeners = [Listener(port) for _ in range(LISTENERS)]
    for listener in listeners:
        listener.start()
    try:
        usage = ab.measure(kestrova, seconds, SETTLE)
    finally:
        for listener in listeners:
            listener.stop()
    expected = ab.RATE * seconds
    short = ["%s, %d bytes" % (l.status, l.received) for l in listeners
             if l.status != 200 or l.received < 0.9 * expected]
    return usage, short


def main():
    arguments = sys.argv[1:]
    pairs = ab.take_count(arguments, "--pairs", 3)
    if not arguments:
        print(__doc__)
        return 1
    program = os.path.abspath(arguments[0])
    seconds = float(arguments[1]) if len(arguments) > 1 else 30.0
    if ab.missing_tools("pulseaudio", "pactl"):
        print("SKIP: pulseaudio is not installed (scripts/deps --test)")
        return 77
    server = ab.PulseServer(["load-module module-null-sink sink_name=out", "set-default-sink out",
                             "load-module module-null-source source_name=quiet format=u8 rate=%d channels=1"
                             % ab.RATE, "set-default-source quiet"])
    port = free_port()
    quiet, busy, added, complaints = [], [], [], []
    try:
        kestrova = ab.start_recording_program(server, [program, "--web", "127.0.0.1:%d" % port],
                                              os.path.join(server.work, "program"))
        try:
            for _ in range(pairs):
                alone = ab.measure(kestrova, seconds, SETTLE)
                heard, short = listened(port, kestrova, seconds)
                quiet.append(alone)
                busy.append(heard)
                added.append(heard.share - alone.share)
                complaints += short
        finally:
            ab.stop(kestrova)
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    finally:
        server.close()

    print("the service listening to silence, %d pairs of %.0f s" % (pairs, seconds))
    print(ab.with_load("nobody listening live: %s %% of one core (min/median/max)"
                       % ab.spread_text([u.share for u in quiet], 100)))
    ab.show_threads(quiet)
    print(ab.with_load("%d listening live: %s %% of one core (min/median/max)"
                       % (LISTENERS, ab.spread_text([u.share for u in busy], 100))))
    ab.show_threads(busy)
    median = ab.spread(added)[1]
    print(ab.with_load("added by %d listeners: %s %% of one core (min/median/max; goal: at most %.0f %%)"
                       % (LISTENERS, ab.spread_text(added, 100), 100 * GOAL)))
    if complaints:
        print("FAIL: listeners that did not hear the input at its rate: %s" % complaints)
        return 1
    print("CPU goal %s" % ("met" if median <= GOAL else "MISSED"))
    shutil.rmtree(server.work, ignore_errors=True)
    return 0 if median <= GOAL else 2


if __name__ == "__main__":
    sys.exit(main())
