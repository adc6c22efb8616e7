#!/usr/bin/env python3
"""Dead carrier: how much longer the transmitter is keyed than the sound it sends.

Usage: bench/dead_carrier.py TEST_ON_AIR [runs]      (default 3 runs)

TEST_ON_AIR is tests/e2e/OnAirTest.cpp built: the push-to-talk line against the
sound that really leaves the program, through a PulseAudio server of its own
(Auto-CQ with three calls, the timed transmission of two files, and a file sent
from the sound window with the transmitter keyed by hand). Each of its cases
prints "keyed longer than the sound sent: CASE SECONDS"; this collects them over
the runs.

Goal: every figure at most 0.5 s, and the test's own checks pass (nothing cut,
nothing heard un-keyed).
Exit 0: goal met, 1: goal missed or the test failed, 77: skipped (no PulseAudio).
"""
import os
import re
import subprocess
import sys

GOAL = 0.5
LINE = re.compile(r"^keyed longer than the sound sent: (.+) (-?\d+\.\d+) s$")


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 1
    test = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    figures = {}
    failed = False
    for run in range(runs):
        result = subprocess.run([test], env=env, capture_output=True, text=True, timeout=300)
        if result.returncode == 77:
            print("SKIP: " + result.stdout.strip())
            return 77
        if result.returncode != 0:
            failed = True
            print("run %d: the test failed:\n%s" % (run + 1, result.stdout[-4000:]))
        for line in result.stdout.splitlines():
            match = LINE.match(line.strip())
            if match:
                figures.setdefault(match.group(1), []).append(float(match.group(2)))
        print("  run %d of %d done" % (run + 1, runs))
        sys.stdout.flush()
    if not figures:
        print("FAIL: no figures in the test's output")
        return 1
    print("keyed longer than the sound sent, over %d runs (min / median / max, seconds):" % runs)
    worst = 0.0
    for case, values in figures.items():
        ordered = sorted(values)
        worst = max(worst, ordered[-1])
        print("  %-20s %.3f / %.3f / %.3f  (%d figures)"
              % (case, ordered[0], ordered[len(ordered) // 2], ordered[-1], len(ordered)))
    met = not failed and worst <= GOAL
    print("goal (every figure at most %.1f s, the test passes) %s" % (GOAL, "met" if met else "MISSED"))
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
