#!/usr/bin/env python3
"""One page over two circuits (`kestrova --leitstelle`) in a real browser.

Two circuits' program folders get a new user's settings through `--setze` (their
number and name, nothing else), the control room's own folder a password through
`--set-web-password`. Each circuit has a recording in its recordings folder; the
second's is played whole from the one page. A recording filed afterwards into the
first circuit's folder appears without a reload, each row names its circuit, the
filter by circuit shows one circuit's rows only, a third circuit's folder that is
missing is told on the page, and nothing is written into the circuits' folders.
With --screenshot FILE it photographs the page.

Exit 0: passed, 1: failed.
"""
import math
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from web_page import RATE, browser, free_port, listening, log_in, plays_to_end, wait_for, wav  # noqa: E402

PASSWORD = "Leitstelle-geheim"


def tone(seconds):
    return wav(bytes(int(128 + 90 * math.sin(2 * math.pi * 600 * i / RATE)) for i in range(int(seconds * RATE))))


def file_recording(folder, circuit, moment, seconds):
    name = time.strftime("%d_%%m-%%d-%%Y_%%H-%%M-%%S.wav" % circuit, time.localtime(moment))
    os.makedirs(os.path.join(folder, "W"), exist_ok=True)
    with open(os.path.join(folder, "W", name), "wb") as f:
        f.write(tone(seconds))
    return "W/" + name


def tree(folder):
    return sorted((root, tuple(sorted(files)), tuple(os.stat(os.path.join(root, f)).st_mtime_ns for f in sorted(files)))
                  for root, _, files in os.walk(folder))


def rows(driver):
    return driver.execute_script(
        "return Array.from(document.querySelectorAll('#aufnahmen li')).map(li =>"
        " [li.dataset.pfad, li.querySelector('.kreisname') ? li.querySelector('.kreisname').textContent : null]);")


def main():
    program = sys.argv[1]
    screenshot = sys.argv[sys.argv.index("--screenshot") + 1] if "--screenshot" in sys.argv else None
    work = tempfile.mkdtemp(prefix="kestrova-leitstelle-")
    env = dict(os.environ, HOME=work, XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM="offscreen")
    circuits = [(os.path.join(work, "kreis%d" % n), n, name) for n, name in ((1, "Kreis Nord"), (2, "Kreis Süd"))]
    now = time.time()
    for folder, number, name in circuits:
        os.makedirs(folder)
        subprocess.run([program, "--program-folder", folder, "--setze", "Funkkreis=%d" % number,
                        "Name des Funkkreises=%s" % name], env=env, check=True, capture_output=True)
        file_recording(folder, number, now - 600 + number, 2.0)
    control = os.path.join(work, "leitstelle")
    os.makedirs(control)
    subprocess.run([program, "--program-folder", control, "--set-web-password"], env=env, check=True,
                   input=(PASSWORD + "\n" + PASSWORD + "\n").encode(), capture_output=True)
    before = [tree(folder) for folder, _, _ in circuits]
    port = free_port()
    log = open(os.path.join(work, "leitstelle.log"), "w")
    # A third circuit's copy that has not come yet: said on the page, and the others shown all the same.
    missing = os.path.join(work, "kopie-kreis3")
    page = subprocess.Popen([program, "--leitstelle", circuits[0][0], circuits[1][0], missing, "--program-folder", control,
                             "--web", "127.0.0.1:%d" % port], env=env, stdout=subprocess.DEVNULL, stderr=log)
    failures = []
    driver = None
    try:
        if not wait_for(lambda: listening(port), 30):
            failures.append("the page did not come up")
            return 1
        driver = browser(1280, 860)
        driver.set_script_timeout(30)
        if log_in(driver, port, PASSWORD) != "in":
            failures.append("the control room's password did not let in")
            return 1
        if not wait_for(lambda: len(rows(driver)) == 2, 10):
            failures.append("the two circuits' recordings are not listed: %s" % rows(driver))
            return 1
        table = driver.execute_script("return document.getElementById('kreistabelle').tBodies[0].innerText")
        if "kopie-kreis3" not in table or "gibt es nicht" not in table:
            failures.append("the missing folder is not told on the page: %r" % table)
        named = {name for _, name in rows(driver)}
        if named != {"Kreis Nord", "Kreis Süd"}:
            failures.append("the rows do not name their circuits: %s" % rows(driver))
        second = [path for path, name in rows(driver) if name == "Kreis Süd"][0]
        played = plays_to_end(driver, second)
        if played is not True:
            failures.append("the second circuit's recording did not play to its end: %s" % played)
        filed = "1/" + file_recording(circuits[0][0], 1, time.time(), 1.0)
        if not wait_for(lambda: filed in [path for path, _ in rows(driver)], 10):
            failures.append("a recording filed afterwards did not appear: %s" % rows(driver))
        driver.execute_script("const s = document.getElementById('funkkreis'); s.value = '2';"
                              " s.dispatchEvent(new Event('change'));")
        if not wait_for(lambda: [name for _, name in rows(driver)] == ["Kreis Süd"], 5):
            failures.append("the filter by circuit shows %s" % rows(driver))
        if screenshot:
            driver.execute_script("const s = document.getElementById('funkkreis'); s.value = '';"
                                  " s.dispatchEvent(new Event('change'));")
            time.sleep(0.5)
            driver.save_screenshot(screenshot)
        # Nothing written there: without the recording filed above, each folder is as it was.
        os.remove(os.path.join(circuits[0][0], filed[2:]))
        for (folder, _, _), old in zip(circuits, before):
            if tree(folder) != old:
                failures.append("the page changed %s" % folder)
    finally:
        if driver:
            driver.quit()
        page.terminate()
        page.wait(10)
        log.close()
        if failures:
            print("\n".join("FAIL: " + f for f in failures))
            print(open(os.path.join(work, "leitstelle.log")).read())
    print("%d passed, %d failed" % ((0, 1) if failures else (1, 0)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
