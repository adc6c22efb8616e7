#!/usr/bin/env python3
"""The web page in a real browser.

Starts the program with automatic start in a temporary program folder, fed by the
file-fed input device (a WAV file of silence with three transmissions in it), and
its web page on a loopback port with a password set by `--set-web-password`. A
headless Chromium, driven by Selenium, loads the page, is refused with a wrong
password and let in with the right one, and switches "Mithören" on. Before the
transmissions it loads an archive day of 10,000 recordings and scrolls it with only
a few dozen rows in the page, filters prepared recordings by length, order and a
time of day past midnight, and after a reload finds the switch and the filters as
they were. It sees "Aufnahme läuft"; the first new recording comes by the live
events, then the connection is cut and the other two are found when it is back. All
three are played whole, in the order they were filed, never two at once. A recording
played by hand plays to its end, and on a phone's width the player keeps its height. The
heading and the title name the circuit. With --screenshots DIR it also photographs the page
as a desktop and as a phone show it.

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
LEAD = 20.0  # seconds of silence before the transmissions: the browser's checks are done by then
TONE = 2.0
GAP = 4.0  # silence after each transmission; one second of it ends the recording
TRANSMISSIONS = 3


def wav(samples):
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(samples), b"WAVE", b"fmt ", 16, 1, 1, RATE, RATE,
                         1, 8, b"data", len(samples))
    return header + samples


def feed(path):
    silence = bytes([128]) * int(LEAD * RATE)
    tone = bytes(int(128 + 90 * math.sin(2 * math.pi * 600 * i / RATE)) for i in range(int(TONE * RATE)))
    with open(path, "wb") as f:
        f.write(wav(silence + (tone + bytes([128]) * int(GAP * RATE)) * TRANSMISSIONS))


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


def entries(driver, list_id="aufnahmen"):
    """The rows the page holds: path and seconds of each, top to bottom."""
    return driver.execute_script(
        "return Array.from(document.querySelectorAll('#' + arguments[0] + ' li'))"
        " .sort((a, b) => parseFloat(a.style.top) - parseFloat(b.style.top)).map(li => [li.dataset.pfad,"
        " parseFloat(li.querySelector('.laenge').textContent.replace(',', '.'))]);", list_id)


def plays_to_end(driver, path):
    """Plays the row's recording by hand; true once the shared player has reached its end."""
    return driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const audio = document.getElementById('handaudio');
        audio.addEventListener('ended', () => done(audio.ended && audio.currentTime > 1));
        audio.addEventListener('error', () => done('error ' + (audio.error && audio.error.code)));
        document.querySelector('#aufnahmen li[data-pfad="' + arguments[0] + '"] .abspielen').click();
    """, path)


def recording_name(moment):
    return time.strftime("1_%m-%d-%Y_%H-%M-%S.wav", moment)


def dated_folder(folder, moment):
    return os.path.join(folder, "Fk_1", time.strftime("Ja_%Y", moment), time.strftime("Mo-%m", moment),
                        time.strftime("Tg-%d", moment), time.strftime("hh-%H", moment))


def day_path(moment):
    return time.strftime("Fk_1/Ja_%Y/Mo-%m/Tg-%d", moment)


def put(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


STARTED = time.time()  # the days below stay the same days should the test run past midnight


def day_at(days_ago, clock):
    """The moment days_ago days back at the clock reading "HH:MM"."""
    day = time.localtime(STARTED - days_ago * 86400)
    return time.strptime(time.strftime("%Y-%m-%d ", day) + clock, "%Y-%m-%d %H:%M")


# Recordings of two days ago for the filters, in the list and in the archive: (clock, seconds).
FILTERED = (("00:30", 1.5), ("06:00", 8.0), ("12:00", 12.0), ("18:00", 5.0), ("23:30", 9.0))
BIG_DAY = 10000


def prepared_recordings(folder):
    for clock, seconds in FILTERED:
        moment = day_at(2, clock)
        data = wav(bytes([128]) * int(seconds * RATE))
        for target in (dated_folder(folder, moment), os.path.join(folder, "W")):
            put(target, recording_name(moment), data)
    # A busy day in the archive: one tiny recording every eight seconds.
    start = time.mktime(day_at(4, "00:00"))
    moments = [time.localtime(start + 8 * index) for index in range(BIG_DAY)]
    for hour in {dated_folder(folder, moment) for moment in moments}:
        os.makedirs(hour)
    data = wav(bytes([128]) * 11)
    for moment in moments:
        with open(os.path.join(dated_folder(folder, moment), recording_name(moment)), "wb") as f:
            f.write(data)
    return [recording_name(moment) for moment in moments]


def choose_day(driver, moment):
    """As a user chooses it: once the page has listed the day."""
    wait_for(lambda: driver.execute_script(
        "return Array.from(document.getElementById('tage').options).some(o => o.value === arguments[0])",
        day_path(moment)), 20)
    driver.execute_script("const s = document.getElementById('tage'); s.value = arguments[0];"
                          " s.dispatchEvent(new Event('change'));", day_path(moment))


def set_filter(driver, **values):
    for field, value in values.items():
        driver.execute_script("const e = document.getElementById(arguments[0]); e.value = arguments[1];"
                              " e.dispatchEvent(new Event('input'));", field, value)


def text_of(driver, element_id):
    return driver.execute_script("return document.getElementById(arguments[0]).textContent", element_id)


def check_big_day(driver, names, failures):
    """The day of 10,000 recordings: loaded, counted, and scrolled with only the rows in sight."""
    begun = time.monotonic()
    choose_day(driver, day_at(4, "00:00"))
    if not wait_for(lambda: text_of(driver, "tagesanzahl") == "(%d)" % BIG_DAY, 20):
        failures.append("the day of %d recordings did not load: %r" % (BIG_DAY, text_of(driver, "tagesanzahl")))
        return
    print("a day of %d recordings shown after %.2f s" % (BIG_DAY, time.monotonic() - begun))
    newest_first = sorted(names, reverse=True)
    for fraction in (0.0, 0.5, 1.0):
        driver.execute_script("const b = document.getElementById('archivbereich');"
                              " b.scrollTop = (b.scrollHeight - b.clientHeight) * arguments[0];", fraction)
        time.sleep(0.2)
        rows = driver.execute_script("""
            const list = document.getElementById('archiv');
            const pitch = list.offsetHeight / arguments[0];
            const box = document.getElementById('archivbereich');
            return [Array.from(list.children).map(li => [Math.round(parseFloat(li.style.top) / pitch),
                     li.dataset.pfad.split('/').pop()]), box.scrollTop / pitch, box.clientHeight / pitch];
        """, BIG_DAY)
        shown, first_in_sight, in_sight = rows
        indexes = sorted(index for index, _ in shown)
        wrong = [(index, name) for index, name in shown if newest_first[index] != name]
        if not 0 < len(shown) <= 60 or wrong:
            failures.append("at %d %% of the big day %d rows, wrong ones: %s" % (fraction * 100, len(shown), wrong[:3]))
        elif indexes[0] > first_in_sight or indexes[-1] + 1 < min(BIG_DAY, first_in_sight + in_sight):
            failures.append("at %d %% of the big day rows %d-%d do not cover %.1f-%.1f" % (
                fraction * 100, indexes[0], indexes[-1], first_in_sight, first_in_sight + in_sight))


def check_filters(driver, failures):
    """Minimum length, order and a time of day past midnight, on the archive day and on the list."""
    choose_day(driver, day_at(2, "00:00"))
    names = {clock: recording_name(day_at(2, clock)) for clock, _ in FILTERED}

    def shown(list_id="archiv"):
        return [path.split("/")[-1] for path, _ in entries(driver, list_id) if path.split("/")[-1] in names.values()]

    def expect(what, clocks, count):
        want = [names[clock] for clock in clocks]
        if not wait_for(lambda: shown() == want and text_of(driver, "tagesanzahl") == count, 5):
            failures.append("%s: the day shows %s %s, not %s %s" % (what, shown(), text_of(driver, "tagesanzahl"),
                                                                   want, count))

    expect("unfiltered", ("23:30", "18:00", "12:00", "06:00", "00:30"), "(5)")
    set_filter(driver, mindestens="4")
    expect("at least 4 s", ("23:30", "18:00", "12:00", "06:00"), "(4 von 5)")
    set_filter(driver, reihenfolge="alt")
    expect("oldest first", ("06:00", "12:00", "18:00", "23:30"), "(4 von 5)")
    set_filter(driver, mindestens="", von="22:00", bis="02:00")
    expect("22:00 to 02:00", ("00:30", "23:30"), "(2 von 5)")
    if shown("aufnahmen") != [names["00:30"], names["23:30"]]:
        failures.append("the list does not take the filters: %s" % shown("aufnahmen"))


HEARD = """
    window.gehoert = [];
    for (const type of ['playing', 'ended']) {
        document.addEventListener(type, (e) => window.gehoert.push({type, id: e.target.id,
            src: decodeURIComponent(e.target.currentSrc), at: e.target.currentTime, length: e.target.duration,
            when: performance.now() / 1000,
            playing: Array.from(document.querySelectorAll('audio')).filter(a => !a.paused && !a.ended).length}),
            true);
    }
"""


def heard(driver):
    """The queue's player's events of recordings (not the silence of the switch's click)."""
    return [event for event in driver.execute_script("return window.gehoert") if "/datei?pfad=" in event["src"]]


def queue_events(driver, kind):
    return [e for e in heard(driver) if e["id"] == "mithoerenaudio" and e["type"] == kind]


def new_recordings(folder, before):
    recordings = os.path.join(folder, "W")
    return sorted(name for name in os.listdir(recordings) if name not in before) if os.path.isdir(recordings) else []


def check_listening(driver, folder, before, failures):
    """Three transmissions: the first comes by the live events, the other two while the
    connection is cut; all three are played whole, in order, one at a time."""
    if not wait_for(lambda: heard(driver), LEAD + TONE + 15):
        failures.append("Mithören played nothing of the first recording")
        return
    driver.execute_script("live.close();")  # gone without a word, as a dead link is
    if not wait_for(lambda: len(new_recordings(folder, before)) >= TRANSMISSIONS, 3 * (TONE + GAP) + 10):
        failures.append("the recorder filed %s" % new_recordings(folder, before))
        return
    time.sleep(1)
    driver.execute_script("live.dispatchEvent(new Event('error'));")
    queue = wait_for(lambda: driver.execute_script(
        "return Array.from(document.querySelectorAll('#warteschlange li')).map(li => li.className)"), 10)
    if queue != ["spielt", "wartet"]:
        failures.append("after the break the queue shows %s" % queue)
    # A short one played by hand holds the queue, which then goes on.
    driver.execute_async_script("""
        const box = document.getElementById('aufnahmenbereich');
        box.scrollTop = box.scrollHeight;  // the oldest, at the foot of the list
        setTimeout(() => {
            document.querySelector('#aufnahmen li[data-pfad="W/' + arguments[0] + '"] .abspielen').click();
            arguments[1]();
        }, 200);""", recording_name(day_at(2, FILTERED[0][0])))
    held = wait_for(lambda: driver.execute_script(
        "return document.querySelector('#warteschlange li').className === 'angehalten'"), 5)
    if not held:
        failures.append("playing by hand did not hold the queue")
    filed = new_recordings(folder, before)
    ended = wait_for(lambda: queue_events(driver, "ended")[len(filed) - 1:], 30)
    by_hand = [e for e in heard(driver) if e["id"] == "handaudio" and e["type"] == "ended"]
    ends = queue_events(driver, "ended")
    order = [e["src"].split("/")[-1] for e in ends]
    if not ended or order != filed:
        failures.append("played to the end %s, filed %s" % (order, filed))
    for end in ends:
        begun = [e for e in queue_events(driver, "playing") if e["src"] == end["src"]]
        if end["at"] < end["length"] - 0.05 or not begun or \
                end["when"] - begun[0]["when"] < 0.9 * end["length"]:
            failures.append("not played whole: %s after %s" % (end, begun[:1]))
    together = [e for e in driver.execute_script("return window.gehoert") if e["playing"] > 1]
    if together:
        failures.append("two played at once: %s" % together)
    if held and not by_hand:
        failures.append("the recording played by hand did not end")
    print("heard in order: %s" % order)
    return filed


def check_remembered(driver, failures):
    """After a reload the switch and the filters are as they were; then all is shown again."""
    driver.refresh()
    if not wait_for(lambda: driver.execute_script("return !document.getElementById('inhalt').hidden"), 10):
        failures.append("the page did not come back after a reload")
        return
    remembered = driver.execute_script("return [document.getElementById('mithoeren').checked,"
                                       " document.getElementById('von').value, document.getElementById('bis').value,"
                                       " document.getElementById('reihenfolge').value]")
    if remembered != [True, "22:00", "02:00", "alt"]:
        failures.append("after a reload Mithören and the filters are %s" % remembered)
    driver.find_element("id", "filterzurueck").click()


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
    big_day = prepared_recordings(folder)
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
        named = driver.execute_script("return [document.querySelector('h1').textContent, document.title]")
        if not all("e2e, Funkkreis 1" in text for text in named):
            failures.append("the heading and the title do not name the circuit: %s" % named)
        # What the recorder filed at its start (a short silence) was there before the switch.
        before = set(os.listdir(os.path.join(folder, "W")))
        driver.find_element("css selector", "label.schalter").click()
        check_big_day(driver, big_day, failures)
        check_filters(driver, failures)
        check_remembered(driver, failures)
        if new_recordings(folder, before):
            failures.append("the checks before the transmissions took too long")
        driver.execute_script("window.ohneNeuLaden = true;" + HEARD)
        # The transmission itself: the line shown, and the level up with the tone.
        if not wait_for(lambda: driver.execute_script(
                "return !document.getElementById('aufnahme').hidden &&"
                " Number(document.getElementById('pegelwert').textContent) > 50"), LEAD + 10):
            failures.append("the page never said \"Aufnahme läuft\" with the tone's level")
        elif screenshots:
            time.sleep(0.5)  # the level bar's own easing
            driver.save_screenshot(os.path.join(screenshots, "webseite-desktop.png"))
        filed = check_listening(driver, folder, before, failures)
        if not driver.execute_script("return window.ohneNeuLaden === true"):
            failures.append("the page was loaded again")
        if not filed:
            return 1
        newest = "W/" + filed[-1]
        driver.execute_script("document.getElementById('aufnahmenbereich').scrollTop = 0;")
        if not wait_for(lambda: [path for path, seconds in entries(driver) if path == newest and seconds >= TONE],
                        10):
            failures.append("the newest recording is not in the list: %s" % entries(driver))
            return 1
        played = plays_to_end(driver, newest)
        if played is not True:
            failures.append("the recording did not play to its end: %s" % played)
        # On a phone the player keeps its height, and with it pause, seeking and volume.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": 390, "height": 844, "deviceScaleFactor": 2, "mobile": True})
        player = driver.execute_script("return [window.innerWidth,"
                                       " document.getElementById('handaudio').getBoundingClientRect().height]")
        if player[0] != 390 or player[1] <= 0:
            failures.append("at a width of %s px the player is %s px high" % tuple(player))
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
            print("FAIL:\n  " + "\n  ".join(failures))
    if failures:
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
