#!/usr/bin/env python3
"""The web page in a real browser.

Starts the program with automatic start in a temporary program folder, fed by the
file-fed input device (a WAV file of silence with one transmission in it), and
its web page on a loopback port with a password set by `--set-web-password`. A
headless Chromium, driven by Selenium, loads the page, is refused with a wrong
password and let in with the right one, sees "Aufnahme läuft", sees the new
recording appear in the list without a reload, and plays it to its end. With --screenshots DIR it also photographs the page as a desktop and as
a phone show it.

Exit 0: passed, 1: failed.
"""
import math
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

RATE = 11025
LEAD = 14.0  # seconds of silence before the transmission: the browser is up by then
TONE = 2.0


def wav(samples):
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(samples), b"WAVE", b"fmt ", 16, 1, 1, RATE, RATE,
                         1, 8, b"data", len(samples))
    return header + samples


def feed(path):
    silence = bytes([128]) * int(LEAD * RATE)
    tone = bytes(int(128 + 90 * math.sin(2 * math.pi * 600 * i / RATE)) for i in range(int(TONE * RATE)))
    with open(path, "wb") as f:
        f.write(wav(silence + tone + bytes([128]) * int(4 * RATE)))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.1)


def listening(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


def browser(width, height, phone=False):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--autoplay-policy=no-user-gesture-required", "--window-size=%d,%d" % (width, height),
                     "--lang=de-DE"):
        options.add_argument(argument)
    if phone:
        options.add_experimental_option("mobileEmulation", {
            "deviceMetrics": {"width": width, "height": height, "pixelRatio": 2, "mobile": True, "touch": True}})
    binary = shutil.which("chromium")
    if binary:
        options.binary_location = binary
    return webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"),
                            options=options)


PASSWORD = "Funkkreis-1-geheim"


def log_in(driver, port, password):
    """Loads the page and logs in; the text the page then shows under the form, or None once in."""
    if not driver.current_url.startswith("http://127.0.0.1:%d/" % port):
        driver.get("http://127.0.0.1:%d/" % port)
    if not wait_for(lambda: driver.execute_script("return !document.getElementById('anmeldung').hidden"), 10):
        return "no login form"
    driver.execute_script("document.getElementById('anmeldefehler').textContent = '';")
    field = driver.find_element("id", "passwort")
    field.send_keys(password)
    field.submit()
    return wait_for(lambda: driver.execute_script(
        "return document.getElementById('anmeldefehler').textContent ||"
        " (!document.getElementById('inhalt').hidden && 'in')"), 20)


def entries(driver):
    """The list on the page: path and seconds of each entry."""
    return driver.execute_script(
        "return Array.from(document.querySelectorAll('#aufnahmen li')).map(li => [li.dataset.pfad,"
        " parseFloat(li.querySelector('.laenge').textContent.replace(',', '.'))]);")


def plays_to_end(driver, path):
    """Plays the entry's audio; true once the element has reached its end."""
    return driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const audio = Array.from(document.querySelectorAll('#aufnahmen li'))
            .find(li => li.dataset.pfad === arguments[0]).querySelector('audio');
        audio.addEventListener('ended', () => done(audio.ended && audio.currentTime > 1));
        audio.addEventListener('error', () => done('error ' + (audio.error && audio.error.code)));
        audio.play().catch(error => done('play: ' + error));
    """, path)


def earlier_recordings(folder):
    """A few recordings of the last hours and one of yesterday, for pictures of a page in use."""
    now = time.time()
    for seconds_ago, seconds, archive_only in ((3 * 3600 + 125, 6.3, False), (2 * 3600 + 47, 12.8, False),
                                               (3600 + 911, 3.4, False), (1500, 21.0, False),
                                               (86400 + 600, 8.1, True)):
        moment = time.localtime(now - seconds_ago)
        name = time.strftime("1_%m-%d-%Y_%H-%M-%S.wav", moment)
        data = wav(bytes([128]) * int(seconds * RATE))
        dated = os.path.join(folder, "Fk_1", time.strftime("Ja_%Y", moment), time.strftime("Mo-%m", moment),
                             time.strftime("Tg-%d", moment), time.strftime("hh-%H", moment))
        targets = [dated] if archive_only else [dated, os.path.join(folder, "W")]
        for target in targets:
            os.makedirs(target, exist_ok=True)
            with open(os.path.join(target, name), "wb") as f:
                f.write(data)


def photograph(port, folder, failures):
    for name, width, height in (("webseite-handy.png", 390, 844),):
        driver = browser(width, height, phone=True)
        try:
            log_in(driver, port, PASSWORD)
            wait_for(lambda: entries(driver), 10)
            time.sleep(1)
            driver.save_screenshot(os.path.join(folder, name))
        except Exception as error:  # noqa: BLE001 - a failed picture is a failure, not a crash
            failures.append("screenshot %s: %s" % (name, error))
        finally:
            driver.quit()


def main():
    program = sys.argv[1]
    screenshots = sys.argv[sys.argv.index("--screenshots") + 1] if "--screenshots" in sys.argv else None
    work = tempfile.mkdtemp(prefix="kestrova-web-")
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    feed(os.path.join(work, "feed.wav"))
    if screenshots:
        os.makedirs(screenshots, exist_ok=True)
        earlier_recordings(folder)
    lines = ["note", folder, "e2e", "11025", "0", "1", "2", "46-0", "67", "1", "180", "5", "10", "3",
             "50", "1", "1", "0", "1", "0", "0", "10", "0", "1", "0", "6", "15", "15", "15", "6375"]
    with open(os.path.join(folder, "Kestrova.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    port = free_port()
    env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM="offscreen")
    setting = subprocess.run([program, "--program-folder", folder, "--set-web-password"], env=env,
                             input=(PASSWORD + "\n" + PASSWORD + "\n").encode(), capture_output=True)
    if setting.returncode != 0:
        print("FAIL: --set-web-password: %s" % setting.stderr.decode(errors="replace"))
        return 1
    # Only a null device for ALSA: PortAudio probing the system's plugins leaves
    # leftovers LeakSanitizer cannot name (the input here is the file-fed device).
    alsa_conf = os.path.join(work, "alsa.conf")
    with open(alsa_conf, "w") as f:
        f.write("pcm.!default { type null }\n")
    env["ALSA_CONFIG_PATH"] = alsa_conf
    log = open(os.path.join(work, "kestrova.log"), "w")
    kestrova = subprocess.Popen([program, "--program-folder", folder, "--input-file", os.path.join(work, "feed.wav"),
                                 "--web", "127.0.0.1:%d" % port], env=env, stdout=subprocess.DEVNULL, stderr=log)
    failures = []
    driver = None
    try:
        if not wait_for(lambda: listening(port), 30):
            failures.append("the web page did not come up")
            return 1
        driver = browser(1280, 860)
        driver.set_script_timeout(30)
        refused = log_in(driver, port, "falsch")
        if refused != "Das Passwort ist falsch.":
            failures.append("a wrong password was answered with %r" % refused)
        let_in = log_in(driver, port, PASSWORD)
        if let_in != "in":
            failures.append("the right password was answered with %r" % let_in)
            return 1
        driver.execute_script("window.ohneNeuLaden = true;")
        before = [path for path, _ in entries(driver)]
        # The transmission itself: the line shown, and the level up with the tone.
        if not wait_for(lambda: driver.execute_script(
                "return !document.getElementById('aufnahme').hidden &&"
                " Number(document.getElementById('pegelwert').textContent) > 50"), LEAD + 10):
            failures.append("the page never said \"Aufnahme läuft\" with the tone's level")
        elif screenshots:
            time.sleep(0.5)  # the level bar's own easing
            driver.save_screenshot(os.path.join(screenshots, "webseite-desktop.png"))
        after = wait_for(lambda: [path for path, seconds in entries(driver)
                                  if path not in before and seconds >= TONE], LEAD + TONE + 20)
        if not after:
            failures.append("no new recording appeared in the list; before: %s" % before)
            return 1
        if not driver.execute_script("return window.ohneNeuLaden === true"):
            failures.append("the page was loaded again")
        print("new in the list: %s" % after)
        played = plays_to_end(driver, after[0])
        if played is not True:
            failures.append("the recording did not play to its end: %s" % played)
        if screenshots:
            photograph(port, screenshots, failures)
    finally:
        if driver:
            driver.quit()
        kestrova.send_signal(signal.SIGTERM)
        try:
            code = kestrova.wait(timeout=30)
        except subprocess.TimeoutExpired:
            kestrova.kill()
            code = "killed"
        if code != 0:
            failures.append("the program ended with %s" % code)
        if failures:
            with open(os.path.join(work, "kestrova.log")) as f:
                print("kestrova.log:\n" + f.read()[-4000:])
    if failures:
        print("FAIL:\n  " + "\n  ".join(failures))
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
