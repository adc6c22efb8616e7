#!/usr/bin/env python3
"""An export of a time range, made and checked by the shipped program with a new user's settings.

The service's first start enters three recordings it finds in W into the day's
manifest. An export of the first hour holds the two recordings of that hour and
verifies once unpacked; one changed byte in it is found. A taken name is refused and
left as it was, an empty range writes nothing, and a recording changed in the archive
is exported with the report saying so; an export's description put into the archive
hides no change there.

Usage: export.py HEADLESS KESTROVA. Exit 0: passed, 1: failed.
"""
import datetime
import os
import signal
import subprocess
import sys
import tarfile
import tempfile

from headless import coded, program_env, verdict, wait_for, wav

# A new user's settings keep a recording longer than 20 s.
SECONDS = 22


def run(program, folder, env, *arguments):
    done = subprocess.run([program, "--program-folder", folder, *arguments], env=env, capture_output=True,
                          text=True, timeout=120)
    return done.returncode, done.stdout + done.stderr


def main():
    headless, kestrova = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="kestrova-export-")
    folder = os.path.join(work, "program")
    os.makedirs(os.path.join(folder, "W"))
    env = program_env(work)
    day = datetime.date.today()
    names = ["1_%s_%s.wav" % (day.strftime("%m-%d-%Y"), t) for t in ("09-00-10", "09-59-59", "10-00-00")]
    for seed, name in enumerate(names):
        with open(os.path.join(folder, "W", name), "wb") as f:
            f.write(wav(coded(SECONDS, seed)))
    failures = []

    manifest = os.path.join(folder, "Manifeste", "1_%s.txt" % day.isoformat())
    service = subprocess.Popen([headless, "--program-folder", folder], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    entered = wait_for(lambda: os.path.exists(manifest) and open(manifest).read().count("\n") >= 3, 60)
    service.send_signal(signal.SIGTERM)
    service.wait(timeout=30)
    if not entered:
        return verdict(["the start entered no manifest lines for the recordings"], work)

    date = day.isoformat()
    target = os.path.join(work, "hour.tar")
    status, output = run(kestrova, folder, env, "--export", date, "09:00", date, "09:59", target)
    if status != 0 or "alles in Ordnung, 2 Aufnahmen geprüft" not in output:
        failures.append("export of the hour: %d\n%s" % (status, output))
    size = os.path.getsize(target) if os.path.exists(target) else 0
    status, output = run(kestrova, folder, env, "--export", date, date, target)
    if status != 2 or "gibt es schon" not in output or os.path.getsize(target) != size:
        failures.append("a taken name was not refused: %d\n%s" % (status, output))
    status, output = run(kestrova, folder, env, "--export", date + " 12:00", date + " 13:00",
                         os.path.join(work, "empty.tar"))
    if status != 2 or "keine Aufnahme" not in output or os.path.exists(os.path.join(work, "empty.tar")):
        failures.append("an empty range: %d\n%s" % (status, output))

    unpacked = os.path.join(work, "unpacked")
    with tarfile.open(target) as tar:
        recordings = sorted(os.path.basename(n) for n in tar.getnames() if n.endswith(".wav"))
        tar.extractall(unpacked, **({"filter": "data"} if hasattr(tarfile, "data_filter") else {}))
    if recordings != names[:2]:
        failures.append("the export holds %s" % recordings)
    top = os.path.join(unpacked, "hour")
    status, output = run(kestrova, folder, env, "--verify", top)
    if status != 0:
        failures.append("the unpacked export does not verify: %d\n%s" % (status, output))
    changed = os.path.join(top, "W", names[1])
    with open(changed, "r+b") as f:
        f.seek(5000)
        byte = f.read(1)
        f.seek(5000)
        f.write(bytes([byte[0] ^ 1]))
    status, output = run(kestrova, folder, env, "--verify", top)
    if status != 1 or "Verändert: W/" + names[1] not in output:
        failures.append("a changed byte in the export was not found: %d\n%s" % (status, output))

    with open(os.path.join(folder, "W", names[0]), "r+b") as f:
        f.truncate(1000)
    status, output = run(kestrova, folder, env, "--export", date, date, os.path.join(work, "day.tar"))
    if status != 1 or "Verändert: W/" + names[0] not in output or not os.path.exists(os.path.join(work, "day.tar")):
        failures.append("a changed recording in the archive: %d\n%s" % (status, output))

    # An export's description put into the archive must not hide a change outside its range.
    os.replace(os.path.join(top, "Auszug.txt"), os.path.join(folder, "Auszug.txt"))
    with open(os.path.join(folder, "W", names[2]), "r+b") as f:
        f.truncate(1000)
    status, output = run(kestrova, folder, env, "--verify", folder)
    if status != 1 or "Verändert: W/" + names[2] not in output:
        failures.append("a description in the archive hid a change: %d\n%s" % (status, output))
    return verdict(failures, work)


if __name__ == "__main__":
    sys.exit(main())
