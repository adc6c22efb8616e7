#!/usr/bin/env python3
"""Runs a command beside a sound server of its own, set up as a desktop has it.

    with_sound_server.py pulseaudio|pipewire COMMAND [ARG...]

Starts PulseAudio, or PipeWire with WirePlumber and PipeWire's pulse server (the
default of a GNOME desktop on Debian 12) under a D-Bus session of its own, in a
private runtime folder. A null sink "out" in the server's own format, which
rewinds as a real card does, is the default sink; ALSA's default device goes to
the pulse plugin and knows nothing else (probing every installed plugin would
leave leaks behind that LeakSanitizer cannot name), unless a test asks for the
machine's own ALSA configuration. The command runs with
PULSE_SERVER set; its exit code is returned, 77 (skipped) when the server is not
installed.

Imported, SoundServer does the same for a test of its own, optionally with a
pipe source "feed" (8-bit mono) as the default source.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
KINDS = ("pulseaudio", "pipewire")


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


def missing_programs(kind):
    needed = ["pulseaudio"] if kind == "pulseaudio" else ["pipewire", "wireplumber", "pipewire-pulse",
                                                           "dbus-run-session"]
    return [program for program in needed + ["pactl", "parec"] if shutil.which(program) is None]


def in_session_bus(kind, argv):
    """PipeWire's session manager needs a session bus: the script runs again in a
    private one, which ends with it. None when no new run is needed."""
    if kind != "pipewire" or os.environ.get("KESTROVA_IN_DBUS_SESSION"):
        return None
    return subprocess.run(["dbus-run-session", "--", sys.executable] + argv,
                          env=dict(os.environ, KESTROVA_IN_DBUS_SESSION="1")).returncode


class SoundServer:
    """A sound server in a folder of its own; `env` reaches it."""

    def __init__(self, kind, work, pipe_rate=None, system_alsa=False):
        """With `system_alsa`, ALSA reads the machine's own configuration, as a user's
        program does: on Debian "default" is the pulse plugin only if the server ran
        when the program first read it."""
        self.kind = kind
        self.work = work
        self.pipe_rate = pipe_rate
        self.pipe_path = os.path.join(work, "feed.pipe")
        self.runtime = os.path.join(work, "run")
        os.makedirs(self.runtime, mode=0o700, exist_ok=True)
        self.env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=self.runtime)
        self.env.pop("ALSA_CONFIG_PATH", None)
        if not system_alsa:
            alsa_conf = os.path.join(work, "alsa.conf")
            with open(alsa_conf, "w") as f:
                f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
            self.env["ALSA_CONFIG_PATH"] = alsa_conf
        for name in ("PULSE_RUNTIME_PATH", "PIPEWIRE_RUNTIME_DIR"):
            self.env.pop(name, None)
        if kind == "pulseaudio":
            self.socket = os.path.join(self.runtime, "pulse.sock")
            self.env["PULSE_RUNTIME_PATH"] = self.runtime
        else:
            self.socket = os.path.join(self.runtime, "pulse", "native")
        self.env["PULSE_SERVER"] = "unix:" + self.socket
        self.processes = []

    def log(self, name):
        return open(os.path.join(self.work, name), "a")

    def start(self):
        """True once the server answers with its sink (and source) in place."""
        started = self._start_pulseaudio() if self.kind == "pulseaudio" else self._start_pipewire()
        return started and wait_for(self._ready, 20)

    def _pipe_source(self):
        return "module-pipe-source source_name=feed file=%s format=u8 rate=%d channels=1" % (
            self.pipe_path, self.pipe_rate)

    def _start_pulseaudio(self):
        script = os.path.join(self.work, "pulse.pa")
        with open(script, "w") as f:
            f.write("load-module module-native-protocol-unix socket=%s auth-anonymous=1\n" % self.socket)
            f.write("load-module module-null-sink sink_name=out\nset-default-sink out\n")
            if self.pipe_rate:
                f.write("load-module %s\nset-default-source feed\n" % self._pipe_source())
        self.processes = [subprocess.Popen(
            ["pulseaudio", "--system=no", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
             "--log-target=stderr", "-F", script], env=self.env, stdout=subprocess.DEVNULL,
            stderr=self.log("server.log"))]
        return wait_for(lambda: os.path.exists(self.socket), 20)

    def _start_pipewire(self):
        self.processes = [subprocess.Popen(["pipewire"], env=self.env, stdout=subprocess.DEVNULL,
                                           stderr=self.log("pipewire.log"))]
        if not wait_for(lambda: os.path.exists(os.path.join(self.runtime, "pipewire-0")), 20):
            return False
        for program in ("wireplumber", "pipewire-pulse"):
            self.processes.append(subprocess.Popen([program], env=self.env, stdout=subprocess.DEVNULL,
                                                   stderr=self.log(program + ".log")))
        if not wait_for(lambda: os.path.exists(self.socket), 20):
            return False
        commands = [["load-module", "module-null-sink", "sink_name=out"], ["set-default-sink", "out"]]
        if self.pipe_rate:
            commands += [["load-module"] + self._pipe_source().split(), ["set-default-source", "feed"]]
        return all(subprocess.run(["pactl"] + command, env=self.env, stdout=subprocess.DEVNULL).returncode == 0
                   for command in commands)

    def _ready(self):
        listed = subprocess.run(["pactl", "list", "short", "sinks"], env=self.env, capture_output=True, text=True)
        return listed.returncode == 0 and "\tout\t" in listed.stdout and (
            not self.pipe_rate or os.path.exists(self.pipe_path))

    def stop(self, kill=False):
        for process in reversed(self.processes):
            if kill:
                process.kill()
            else:
                process.terminate()
        for process in self.processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=10)
        self.processes = []
        # The next server makes a pipe of its own; nobody must write into this one.
        if os.path.exists(self.pipe_path):
            os.unlink(self.pipe_path)


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in KINDS:
        print(__doc__)
        return 2
    kind, command = sys.argv[1], sys.argv[2:]
    missing = missing_programs(kind)
    if missing:
        print("%s not installed: skipped" % ", ".join(missing))
        return SKIPPED
    rerun = in_session_bus(kind, [os.path.abspath(__file__)] + sys.argv[1:])
    if rerun is not None:
        return rerun
    work = tempfile.mkdtemp(prefix="kestrova-sound-")
    server = SoundServer(kind, work)
    try:
        if not server.start():
            print("FAIL: the %s server did not come up; its logs are in %s" % (kind, work))
            return 1
        return subprocess.run(command, env=server.env).returncode
    finally:
        server.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
