#!/usr/bin/env python3
"""The MQTT messages of the real program without a display.

Starts a mosquitto broker of its own on 127.0.0.1 and kestrova-headless with a
KestrovaMqtt.ini that names it, fed one transmission through the file-fed input.
Checks with mosquitto_sub that the filed recording is published on
kestrova/kreis1/aufnahme with its facts (its SHA-256 that of the kept file), the
status says online while it runs, with the list of alarms standing, and the broker
sets it offline through the last will when the program is killed without a goodbye.

Exit 0: passed, 1: failed, 77: no mosquitto.
"""
import hashlib
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import headless  # noqa: E402  the program folder, the fed traffic and the environment

TOPIC = "kestrova/kreis1/"


def find(name):
    return shutil.which(name) or shutil.which(name, path="/usr/sbin:/usr/local/sbin")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Messages(threading.Thread):
    """What mosquitto_sub prints, one "retained topic payload" a line."""

    def __init__(self, stream):
        super().__init__(daemon=True)
        self.stream = stream
        self.lines = []
        self.lock = threading.Lock()

    def run(self):
        for raw in self.stream:
            retained, topic, payload = (raw.decode("utf-8", "replace").rstrip("\n").split(" ", 2) + ["", ""])[:3]
            with self.lock:
                self.lines.append((retained == "1", topic, payload))

    def on(self, topic):
        with self.lock:
            return [(retained, json.loads(payload)) for retained, name, payload in self.lines if name == topic]


def main():
    program, broker_program, sub_program = sys.argv[1], find("mosquitto"), find("mosquitto_sub")
    if not broker_program or not sub_program:
        print("SKIP: mosquitto or mosquitto_sub is not installed")
        return 77
    work = tempfile.mkdtemp(prefix="kestrova-mqtt-")
    folder, feed, env = headless.prepare(work)
    with open(feed, "wb") as f:
        f.write(headless.wav(headless.silence(1) + headless.tone(2) + headless.silence(20)))
    port = free_port()
    config = os.path.join(work, "mosquitto.conf")
    with open(config, "w") as f:
        f.write("listener %d 127.0.0.1\nallow_anonymous true\npersistence false\n" % port)
    with open(os.path.join(folder, "KestrovaMqtt.ini"), "w") as f:
        f.write("broker=127.0.0.1\nport=%d\n" % port)
    processes = []
    failures = []
    try:
        broker = subprocess.Popen([broker_program, "-c", config], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(broker)
        if not headless.wait_for(lambda: socket.socket().connect_ex(("127.0.0.1", port)) == 0, 10):
            failures.append("the broker did not start")
            return headless.verdict(failures, work)
        subscriber = subprocess.Popen([sub_program, "-h", "127.0.0.1", "-p", str(port), "-t", TOPIC + "#",
                                       "-q", "1", "-F", "%r %t %p"], stdout=subprocess.PIPE)
        processes.append(subscriber)
        messages = Messages(subscriber.stdout)
        messages.start()
        kestrova = subprocess.Popen([program, "--program-folder", folder, "--input-file", feed], env=env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        processes.append(kestrova)
        log = headless.Log(kestrova.stderr)
        log.start()
        if not headless.wait_for(lambda: messages.on(TOPIC + "aufnahme"), 40):
            failures.append("no recording was published")
        else:
            recording = messages.on(TOPIC + "aufnahme")[0][1]
            with open(recording.get("datei", ""), "rb") as f:
                sha256 = hashlib.sha256(f.read()).hexdigest()
            if recording.get("sha256") != sha256 or recording.get("kreis") != "kreis1":
                failures.append("the message does not tell the kept file's facts: %s" % recording)
            if not recording.get("name", "").startswith("1_") or recording.get("sekunden", 0) < 1:
                failures.append("the message names no recording of a second or more: %s" % recording)
        online = [status for _, status in messages.on(TOPIC + "status") if status.get("online")]
        if not online:
            failures.append("the status never said online")
        elif not all(isinstance(status.get("alarme"), list) for status in online):
            failures.append("the status does not list the alarms standing: %s" % online[-1])
        kestrova.send_signal(signal.SIGKILL)
        kestrova.wait(timeout=10)
        if not headless.wait_for(lambda: messages.on(TOPIC + "status")
                                 and not messages.on(TOPIC + "status")[-1][1].get("online", True), 10):
            failures.append("the last will did not set the status offline: %s" % messages.on(TOPIC + "status"))
        if not log.containing("MQTT: verbunden mit 127.0.0.1"):
            failures.append("the event log does not say that MQTT connected:\n" + log.text())
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.kill()
                process.wait(timeout=10)
    return headless.verdict(failures, work)


if __name__ == "__main__":
    sys.exit(main())
