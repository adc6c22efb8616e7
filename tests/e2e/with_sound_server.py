#!/usr/bin/env python3
"""Runs a command beside a sound server of its own, set up as a desktop has it.

    with_sound_server.py pulseaudio|pipewire COMMAND [ARG...]

Starts PulseAudio, or PipeWire with WirePlumber and PipeWire's pulse server (the
default of a GNOME desktop on Debian 12) under a D-Bus session of its own, in a
private runtime folder. A null sink "out" in the server's own format, which
rewinds as a real card does, is the default sink; ALSA's default device goes to
the pulse plugin and knows nothing else (probing every installed plugin would
leave leaks behind that LeakSanitizer cannot name). The command runs with
PULSE_SERVER set; its exit code is returned, 77 (skipped) when the server is not
installed.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


def private_environment(work):
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700)
    alsa_conf = os.path.join(work, "alsa.conf")
    with open(alsa_conf, "w") as f:
        f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
    env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=runtime, ALSA_CONFIG_PATH=alsa_conf)
    for name in ("PULSE_SERVER", "PULSE_RUNTIME_PATH", "PIPEWIRE_RUNTIME_DIR"):
        env.pop(name, None)
    return env, runtime


def log_file(work, name):
    return open(os.path.join(work, name), "w")


def start_pulseaudio(work, env, runtime):
    socket = os.path.join(runtime, "pulse.sock")
    script = os.path.join(work, "pulse.pa")
    with open(script, "w") as f:
        f.write("load-module module-native-protocol-unix socket=%s auth-anonymous=1\n" % socket)
        f.write("load-module module-null-sink sink_name=out\nset-default-sink out\n")
    env["PULSE_RUNTIME_PATH"] = runtime
    server = subprocess.Popen(
        ["pulseaudio", "--system=no", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
         "-F", script], env=env, stdout=subprocess.DEVNULL, stderr=log_file(work, "server.log"))
    env["PULSE_SERVER"] = "unix:" + socket
    return [server], lambda: os.path.exists(socket)


def start_pipewire(work, env, runtime):
    socket = os.path.join(runtime, "pulse", "native")
    processes = [subprocess.Popen(["pipewire"], env=env, stdout=subprocess.DEVNULL,
                                  stderr=log_file(work, "pipewire.log"))]
    if not wait_for(lambda: os.path.exists(os.path.join(runtime, "pipewire-0")), 20):
        return processes, lambda: False
    for program in ("wireplumber", "pipewire-pulse"):
        processes.append(subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                          stderr=log_file(work, program + ".log")))
    env["PULSE_SERVER"] = "unix:" + socket
    return processes, lambda: os.path.exists(socket)


def make_default_sink(env):
    """PipeWire's pulse server makes the null sink on request, as pactl asks."""
    if subprocess.run(["pactl", "load-module", "module-null-sink", "sink_name=out"], env=env,
                      stdout=subprocess.DEVNULL).returncode != 0:
        return False
    return subprocess.run(["pactl", "set-default-sink", "out"], env=env).returncode == 0


def sink_ready(env):
    listed = subprocess.run(["pactl", "list", "short", "sinks"], env=env, capture_output=True, text=True)
    return listed.returncode == 0 and "\tout\t" in listed.stdout


def run(kind, command):
    work = tempfile.mkdtemp(prefix="kestrova-sound-")
    env, runtime = private_environment(work)
    start = start_pulseaudio if kind == "pulseaudio" else start_pipewire
    processes, listening = start(work, env, runtime)
    try:
        if not wait_for(listening, 20) or (kind == "pipewire" and not make_default_sink(env)) or \
                not wait_for(lambda: sink_ready(env), 20):
            print("FAIL: the %s server did not come up; its logs are in %s" % (kind, work))
            return 1
        return subprocess.run(command, env=env).returncode
    finally:
        for process in reversed(processes):
            process.terminate()
        for process in processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(work, ignore_errors=True)


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("pulseaudio", "pipewire"):
        print(__doc__)
        return 2
    kind, command = sys.argv[1], sys.argv[2:]
    needed = ["pulseaudio"] if kind == "pulseaudio" else ["pipewire", "wireplumber", "pipewire-pulse",
                                                           "dbus-run-session"]
    missing = [program for program in needed + ["pactl", "parec"] if shutil.which(program) is None]
    if missing:
        print("%s not installed: skipped" % ", ".join(missing))
        return SKIPPED
    if kind == "pipewire" and not os.environ.get("KESTROVA_IN_DBUS_SESSION"):
        # WirePlumber needs a session bus; a private one ends with the command.
        return subprocess.run(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__)] + sys.argv[1:],
                              env=dict(os.environ, KESTROVA_IN_DBUS_SESSION="1")).returncode
    return run(kind, command)


if __name__ == "__main__":
    sys.exit(main())
