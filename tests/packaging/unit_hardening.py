#!/usr/bin/env python3
"""The configured system units: locked down, yet open to what the recorder needs.

Each unit must hold every limit below, must still reach the sound card, the serial
ports and the network (the page, MQTT, a sound server's socket, rclone), must keep its
program folder out of what ProtectHome hides, and must tell systemd when it is ready
and ping its watchdog. systemd-analyze must rate it 3.0 or lower.

Usage: unit_hardening.py UNIT_FILE... Exit 0: passed, 1: failed, 77: no systemd-analyze.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

LIMITS = {
    "Type": "notify", "NotifyAccess": "main", "Restart": "on-failure", "NoNewPrivileges": "yes",
    "ProtectSystem": "full", "ProtectHome": "yes", "PrivateTmp": "yes", "PrivateDevices": "no",
    "DevicePolicy": "closed", "ProtectClock": "yes", "ProtectHostname": "yes",
    "ProtectKernelTunables": "yes", "ProtectKernelModules": "yes", "ProtectKernelLogs": "yes",
    "ProtectControlGroups": "yes", "ProtectProc": "invisible", "CapabilityBoundingSet": "",
    "RestrictSUIDSGID": "yes", "LockPersonality": "yes", "RestrictRealtime": "yes",
    "RestrictNamespaces": "yes", "MemoryDenyWriteExecute": "yes", "SystemCallArchitectures": "native",
    "SystemCallFilter": "@system-service", "SystemCallErrorNumber": "EPERM", "UMask": "0027",
}
DEVICES = {"char-alsa rw", "char-ttyS rw", "char-ttyUSB rw", "char-ttyACM rw"}
FAMILIES = {"AF_UNIX", "AF_INET", "AF_INET6"}
HIDDEN = ("/home", "/root", "/run/user")
HIGHEST_EXPOSURE = 3.0


def service_section(path):
    """Each key of [Service] with all the values it was given, in order."""
    values, section = {}, None
    with open(path) as f:
        for line in f:
            line = line.strip()
            if line.startswith("["):
                section = line
            elif section == "[Service]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                values.setdefault(key, []).append(value)
    return values


def faults_of(path):
    service = service_section(path)
    faults = ["%s=%s, not %s" % (key, service.get(key), wanted)
              for key, wanted in LIMITS.items() if service.get(key, [None])[-1] != wanted]
    missing = DEVICES - set(service.get("DeviceAllow", []))
    if missing:
        faults.append("DeviceAllow lacks " + ", ".join(sorted(missing)))
    families = set(" ".join(service.get("RestrictAddressFamilies", [])).split())
    if not FAMILIES <= families:
        faults.append("RestrictAddressFamilies lacks " + ", ".join(sorted(FAMILIES - families)))
    watchdog = service.get("WatchdogSec", ["0"])[-1]
    if not watchdog.isdigit() or not 10 <= int(watchdog) <= 120:
        faults.append("WatchdogSec=%s" % watchdog)
    for key in ("WorkingDirectory", "ExecStart"):
        for value in service.get(key, []):
            if any(hidden in value for hidden in HIDDEN):
                faults.append("%s=%s lies where ProtectHome hides it" % (key, value))
    return faults


def exposure(path, work):
    # A template is rated as one of its instances.
    name = os.path.basename(path).replace("@.", "@kreis1.")
    unit = os.path.join(work, name)
    shutil.copyfile(path, unit)
    done = subprocess.run(["systemd-analyze", "security", "--offline=true", "--no-pager", unit],
                          capture_output=True, text=True)
    found = re.search(r"Overall exposure level for \S+: (\d+\.\d+)", done.stdout + done.stderr)
    return float(found.group(1)) if found else None


def main(units):
    failures = []
    for path in units:
        failures += ["%s: %s" % (os.path.basename(path), fault) for fault in faults_of(path)]
    if shutil.which("systemd-analyze") is None:
        print("SKIP: systemd-analyze is missing; the limits themselves were checked")
        return 1 if failures else 77
    with tempfile.TemporaryDirectory() as work:
        for path in units:
            rated = exposure(path, work)
            if rated is None or rated > HIGHEST_EXPOSURE:
                failures.append("%s: rated %s by systemd-analyze" % (os.path.basename(path), rated))
            else:
                print("%s: %.1f" % (os.path.basename(path), rated))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
