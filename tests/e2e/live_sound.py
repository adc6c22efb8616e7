#!/usr/bin/env python3
"""The input heard live in a real browser, and how late.

Starts a PulseAudio server of its own with a pipe source (8-bit mono 11025 Hz) as the
default source and a null sink "out" as the default sink, and the service with a new
user's settings (no Kestrova.ini) and its web page behind a password. A headless
Chromium, driven by Selenium and playing into the null sink, logs in and presses
"Live hören". Tones are then written into the pipe, each at a moment taken on the
monotonic clock, and the sink's monitor is recorded with the moment each sample was
heard: the delay from a tone entering the input to its sound out of Chromium must be
at most a second, for every tone. Measured from the moment the tone was handed to the
pipe, so the server's own input and output buffers count against the goal. After
"Live aus" a tone is no longer heard.

Exit 0: passed, 1: failed, 77: skipped (PulseAudio, Chromium or Selenium missing).
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "bench"))
from audio_bench import MonitorRecorder  # noqa: E402 - the monitor with a moment for each sample
from real_audio import RATE, Feeder, silence, tone  # noqa: E402
from with_sound_server import SoundServer, missing_programs  # noqa: E402
import web_page  # noqa: E402 - the browser, the login and the waits of the page's test

GOAL = 1.0  # seconds from the input to the browser's sound
TONES = 4
PASSWORD = "Live-hoeren-geheim"


def missing():
    absent = missing_programs("pulseaudio") + [p for p in ("chromium", "chromedriver") if not shutil.which(p)]
    try:
        import selenium  # noqa: F401
    except ImportError:
        absent.append("python3-selenium")
    return absent


def start_service(program, folder, port, env, work):
    setting = subprocess.run([program, "--program-folder", folder, "--set-web-password"], env=env,
                             input=(PASSWORD + "\n" + PASSWORD + "\n").encode(), capture_output=True)
    if setting.returncode != 0:
        raise RuntimeError("--set-web-password: %s" % setting.stderr.decode(errors="replace"))
    return subprocess.Popen([program, "--program-folder", folder, "--web", "127.0.0.1:%d" % port], env=env,
                            stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "kestrova.log"), "w"))


def delays(feeder, monitor):
    """The delay of each tone, None for one not heard within three seconds."""
    measured = []
    for _ in range(TONES):
        fed = time.monotonic()
        feeder.add(tone(0.5, frequency=800, amplitude=110))
        time.sleep(3.0)
        measured.append(monitor.onset_after(fed, 3.0))
    return measured


def check_live(driver, feeder, monitor, failures):
    driver.find_element("id", "live").click()
    if not web_page.wait_for(lambda: driver.execute_script("return liveHoeren.gespielt > 5"), 15):
        failures.append("the page played nothing live: %r" % driver.execute_script(
            "return document.getElementById('livehinweis').textContent"))
        return
    measured = delays(feeder, monitor)
    print("delay from the input to the browser's sound: %s s (goal: at most %.1f s)"
          % (", ".join("%.3f" % d if d is not None else "not heard" for d in measured), GOAL))
    late = [d for d in measured if d is None or d > GOAL]
    if late:
        failures.append("tones late or not heard: %s" % measured)
    skipped = driver.execute_script("return liveHoeren.uebersprungen")
    print("blocks played %d, skipped %d" % (driver.execute_script("return liveHoeren.gespielt"), skipped))

    driver.find_element("id", "live").click()
    if driver.execute_script("return document.getElementById('live').textContent") != "Live hören":
        failures.append("the button does not offer \"Live hören\" again")
    time.sleep(1.0)
    after = time.monotonic()
    feeder.add(tone(0.5, frequency=800, amplitude=110))
    time.sleep(2.5)
    if monitor.onset_after(after, 2.5) is not None:
        failures.append("a tone after \"Live aus\" was heard")


def main():
    program = os.path.abspath(sys.argv[1])
    absent = missing()
    if absent:
        print("SKIP: %s not installed" % ", ".join(absent))
        return 77
    work = tempfile.mkdtemp(prefix="kestrova-live-")
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    server = SoundServer("pulseaudio", work, pipe_rate=RATE)
    failures, feeder, monitor, kestrova, driver = [], None, None, None, None
    try:
        if not server.start():
            print("FAIL: PulseAudio did not start")
            return 1
        feeder = Feeder(server.pipe_path)
        feeder.start()
        port = web_page.free_port()
        kestrova = start_service(program, folder, port, server.env, work)
        if not web_page.wait_for(lambda: web_page.listening(port), 30):
            failures.append("the web page did not come up")
            return 1
        # Chromium plays into the server's null sink.
        os.environ.update(server.env)
        driver = web_page.browser(1280, 860)
        if web_page.log_in(driver, port, PASSWORD) != "in":
            failures.append("the password did not let the browser in")
            return 1
        monitor = MonitorRecorder(server)
        monitor.start()
        feeder.add(silence(1.0))
        check_live(driver, feeder, monitor, failures)
    except RuntimeError as error:
        failures.append(str(error))
    finally:
        if driver:
            driver.quit()
        if monitor:
            monitor.stop()
        if kestrova:
            kestrova.send_signal(signal.SIGTERM)
            if kestrova.wait(timeout=30) != 0:
                failures.append("the service ended with %d" % kestrova.returncode)
        if feeder:
            feeder.stop = True
        server.stop()
        if failures:
            log = os.path.join(work, "kestrova.log")
            if os.path.exists(log):
                print("kestrova.log:\n" + open(log).read()[-3000:])
    if failures:
        print("FAIL:\n  " + "\n  ".join(failures))
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
