#!/usr/bin/env python3
"""The web page under attack: what the recorder keeps while its server is abused.

Usage: bench/web_attacks.py PROGRAM [--scale F] [--only N[,N...]] [--password]

The program runs with --headless, its web page on a loopback port and the
file-fed input device playing six transmissions of 4 s (each at its own pitch)
with silences between them long enough for each to become a recording of its
own; a fresh program folder for each run. First a run without attack, the
baseline: the most resident memory (VmRSS) after the start, and the time of a
normal GET / and GET /api/status. Then one run for each attack, the first five
from 127.0.0.2:

  1. 2,000 idle connections (connected, nothing sent);
  2. 2,000 slow headers ("GET / HTTP/1.1\\r\\nX-a: ", then a byte every 3 s);
  3. one header line of 300 MB without end, as fast as the server takes it;
  4. a body of 300 MB posted to /api/anmelden, with a password set;
  5. 400 downloads of a 50 MB recording in W that read the answer's headers
     and then nothing more;

From many addresses (127.x.y.1, each in a /24 of its own), ending 12 s before
the input does, with the normal client asking every 0.5 s from 127.0.0.1 (the
machine's own address) and from 127.255.255.1 (a user elsewhere):

  6. 256 slowloris connections from 8 addresses ("GET / HTTP/1.1\r\n", then
     an 8-byte header line every 10 s);
  7. the same from 64 addresses;
  8. 2,000 idle connections from 2,000 addresses.

Their goals beside the recordings and memory: the median answer during the
attack within 0.5 s for each client, and from 2 s after it ended every request
answered within 0.5 s.

Beside the recorder and on for 10 s after the input has played, with the normal
client asking twice a second:

  9. wrong passwords from a new address each (127.66.0-3.x), 40 a second, while
     the owner logs in with the right one from 127.200.0.9 every 2 s;
 10. four connections (127.77.0.1-4) pipelining the listing of an archive day
     of 10,000 recordings, four at a time.

A connection the server refuses or closes is opened again, at most 200 a second
once the first wave is out. Meanwhile a normal client on 127.0.0.1 asks for
GET /api/status once a second (5 s timeout), with the session's cookie when a
password is set. --password sets one for every run (the login body always has
one); --scale F multiplies the 300 MB and 50 MB (trial runs on a small machine);
--only runs the numbered attacks alone.

Goals for each attack: all six transmissions recorded, each whole (its samples,
as fed, in a recording of its own); the most resident memory within 20 MB of the
baseline's; every normal request answered within 1 s.
Attacks 9 and 10: all six transmissions recorded whole;
for 9 every normal request within 1 s and every login of the owner accepted,
during and after; for 10 the median time of the normal request below 0.5 s
during, and every one below 0.5 s from 2 s after the attack on.
Exit 0: goals met, 2: a goal missed, 1: failed to measure.
"""
import argparse
import collections
import errno
import http.client
import json
import os
import re
import resource
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from audio_bench import spread, stop, with_load  # noqa: E402 - the benchmarks' shared helpers
from real_audio import RATE, silence, tone  # noqa: E402 - the end-to-end tests' transmissions
from headless import program_env  # noqa: E402
from web_page import free_port, listening, wait_for, wav  # noqa: E402

TONE = 4.0
PITCHES = (500, 600, 700, 800, 900, 1000)  # one a transmission, so each is found by its samples
MIN_RECORD = 1  # ed_AufnZeitMin: the silence that ends a recording, seconds
GAP = MIN_RECORD + 4.0  # the recording is saved within a tick of tmrZT1 (1 s)
LEAD = 6.0  # silence before the first transmission: the attack is up by then
FEED_SECONDS = LEAD + len(PITCHES) * (TONE + GAP)
PASSWORD = "Funkkreis-1-geheim"
RECORDING_NAME = re.compile(r"1_\d\d-\d\d-\d{4}_\d\d-\d\d-\d\d\.wav")
BIG_RECORDING = "2_01-01-2020_00-00-00.wav"  # another circuit's: the program neither lists nor deletes it
MB = 1_000_000
ATTACKER = "127.0.0.2"
RECONNECTS_PER_SECOND = 200
TRICKLE_SECONDS = 3.0
PROBE_TIMEOUT = 5.0
GOAL_ANSWER = 1.0
GOAL_RSS_KB = 20 * 1024
FILLER = memoryview(b"a" * 65536)


@dataclass
class Attack:
    name: str
    connections: int
    opening: object  # (port, cookie) -> the bytes each connection sends first
    stream: int = 0  # bytes after the opening, as fast as the server takes them
    trickle: bool = False  # one byte more every TRICKLE_SECONDS
    stall: bool = False  # reads the answer's headers, then nothing more
    password: bool = False


def attacks(scale, password):
    big = int(300 * MB * scale)
    login = b'{"passwort":"'
    return [
        Attack("2000 idle connections", 2000, lambda port, cookie: b"", password=password),
        Attack("2000 slow headers", 2000, lambda port, cookie: b"GET / HTTP/1.1\r\nX-a: ", trickle=True,
               password=password),
        Attack("%.0f MB header" % (big / MB), 1,
               lambda port, cookie: b"GET / HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nX-a: " % port, stream=big,
               password=password),
        Attack("%.0f MB login body" % (big / MB), 1,
               lambda port, cookie: b"POST /api/anmelden HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nContent-Type: "
               b"application/json\r\nContent-Length: %d\r\n\r\n%s" % (port, big, login), stream=big - len(login),
               password=True),
        Attack("400 stalled downloads", 400,
               lambda port, cookie: ("GET /datei?pfad=W/%s&herunterladen=1 HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n%s\r\n"
                                     % (BIG_RECORDING, port, "Cookie: %s\r\n" % cookie if cookie else "")).encode(),
               stall=True, password=password),
        SpreadAttack("256 slowloris from 8 addresses", 256, lambda port, cookie: SLOW_REQUEST_LINE, sources=8,
                     trickle=True, password=password),
        SpreadAttack("256 slowloris from 64 addresses", 256, lambda port, cookie: SLOW_REQUEST_LINE, sources=64,
                     trickle=True, password=password),
        SpreadAttack("2000 idle from 2000 addresses", 2000, lambda port, cookie: b"", sources=2000,
                     password=password),
    ]


def prepare_folder(work, transmissions, big_bytes):
    """The program folder with its settings and a big recording in W, and the input file."""
    folder = os.path.join(work, "program")
    os.makedirs(os.path.join(folder, "W"))
    with open(os.path.join(work, "feed.wav"), "wb") as f:
        f.write(wav(silence(LEAD) + b"".join(t + silence(GAP) for t in transmissions)))
    lines = ["bench", folder, "bench", "11025", "0", "1", "2", "46-0", "67", str(MIN_RECORD), "180", "5", "10",
             "3", "50", "1", "1", "0", "1", "0", "0", "10", "0", "1", "0", "6", "15", "15", "15", "6375"]
    with open(os.path.join(folder, "Kestrova.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    with open(os.path.join(folder, "W", BIG_RECORDING), "wb") as f:
        f.write(wav(bytes([128]) * big_bytes))
    return folder


def resident_kb(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            return next((int(line.split()[1]) for line in f if line.startswith("VmRSS:")), 0)
    except OSError:
        return 0


def timed_get(port, path, cookie):
    """Seconds until the whole answer was in, or None when not answered with 200 in time."""
    started = time.monotonic()
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=PROBE_TIMEOUT,
                                            source_address=("127.0.0.1", 0))
    try:
        connection.request("GET", path, headers={"Cookie": cookie} if cookie else {})
        response = connection.getresponse()
        response.read()
        return time.monotonic() - started if response.status == 200 else None
    except (OSError, http.client.HTTPException):
        return None
    finally:
        connection.close()


def log_in(port):
    """The session's cookie for the password, or None."""
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=PROBE_TIMEOUT)
    try:
        connection.request("POST", "/api/anmelden", body=json.dumps({"passwort": PASSWORD}),
                           headers={"Content-Type": "application/json"})
        response = connection.getresponse()
        response.read()
        cookie = (response.getheader("Set-Cookie") or "").split(";")[0]
        return cookie if response.status == 200 and cookie else None
    except (OSError, http.client.HTTPException):
        return None
    finally:
        connection.close()


class Prober(threading.Thread):
    """Times a normal request for each path once a second until stopped."""

    def __init__(self, port, cookie, paths):
        super().__init__(daemon=True)
        self.port, self.cookie = port, cookie
        self.times = {path: [] for path in paths}  # seconds, None for a request not answered
        self.stopped = threading.Event()

    def run(self):
        due = time.monotonic()
        while not self.stopped.wait(max(0.0, due - time.monotonic())):
            for path, times in self.times.items():
                times.append(timed_get(self.port, path, self.cookie))
            due = max(due + 1.0, time.monotonic())


class Link:
    __slots__ = ("sock", "connected", "pending", "left", "answer", "mask", "dead")

    def __init__(self, sock):
        self.sock, self.connected, self.pending, self.left = sock, False, FILLER[:0], 0
        self.answer, self.mask, self.dead = bytearray(), select.EPOLLOUT | select.EPOLLRDHUP, False


class Crowd(threading.Thread):
    """Holds the attack's connections from ATTACKER until stopped, in one epoll loop."""

    def __init__(self, attack, port, cookie, count_from):
        super().__init__(daemon=True)
        self.attack, self.port, self.count_from = attack, port, count_from
        self.opening = attack.opening(port, cookie)
        self.stopped = threading.Event()
        self.links = {}
        self.poller = select.epoll()
        self.opened = self.refused = self.closed = self.sent = 0
        self.answers = collections.Counter()  # status codes of the server's answers
        self.held = []  # connected links, once a second from count_from on

    def run(self):
        tokens, last = 0.0, time.monotonic()
        next_trickle, next_count = last, self.count_from
        try:
            while not self.stopped.is_set():
                now = time.monotonic()
                tokens = min(RECONNECTS_PER_SECOND / 10, tokens + (now - last) * RECONNECTS_PER_SECOND)
                last = now
                while len(self.links) < self.attack.connections and (
                        self.opened < self.attack.connections or tokens >= 1):
                    tokens -= 1 if self.opened >= self.attack.connections else 0
                    self.open()
                for fd, events in self.poller.poll(0.05):
                    if fd in self.links:
                        self.handle(self.links[fd], events)
                if self.attack.trickle and now >= next_trickle:
                    next_trickle = now + TRICKLE_SECONDS
                    self.trickle()
                if now >= next_count:
                    next_count += 1.0
                    self.held.append(sum(link.connected for link in self.links.values()))
        finally:
            for link in list(self.links.values()):
                self.close(link)
            self.poller.close()

    def source(self):
        return ATTACKER

    def open(self):
        self.opened += 1
        source = self.source()
        sock = socket.socket()
        sock.setblocking(False)
        try:
            sock.setsockopt(socket.IPPROTO_IP, getattr(socket, "IP_BIND_ADDRESS_NO_PORT", 24), 1)
            if self.attack.stall:  # a small window: the server, not this side's kernel, holds the rest
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 65536)
            sock.bind((source, 0))
            code = sock.connect_ex(("127.0.0.1", self.port))
        except OSError as error:
            code = error.errno
        if code not in (0, errno.EINPROGRESS):
            sock.close()
            self.refused += 1
            return
        link = Link(sock)
        self.links[sock.fileno()] = link
        self.poller.register(sock, link.mask)

    def handle(self, link, events):
        if not link.connected:
            if link.sock.getsockopt(socket.SOL_SOCKET, socket.SO_ERROR):
                self.refused += 1
                self.close(link)
                return
            link.connected, link.pending, link.left = True, memoryview(self.opening), self.attack.stream
        if events & select.EPOLLIN:
            self.receive(link)
        if events & select.EPOLLOUT:
            self.send(link)
        if link.dead or events & (select.EPOLLERR | select.EPOLLHUP | select.EPOLLRDHUP):
            self.closed += 1
            self.close(link)
        else:
            self.rearm(link)

    def send(self, link):
        while link.pending or link.left:
            if not link.pending:
                link.pending = FILLER[:min(link.left, len(FILLER))]
                link.left -= len(link.pending)
            try:
                sent = link.sock.send(link.pending)
            except BlockingIOError:
                return
            except OSError:
                link.dead = True
                return
            self.sent += sent
            link.pending = link.pending[sent:]

    def receive(self, link):
        try:
            data = link.sock.recv(4096 if link.answer is not None else 65536)
        except BlockingIOError:
            return
        except OSError:
            data = b""
        if not data:
            link.dead = True
        elif link.answer is not None:
            link.answer += data
            if b"\r\n\r\n" in link.answer:
                status = bytes(link.answer).split(b" ", 2)[1].decode(errors="replace")
                self.answers[status] += 1
                # A download refused (the page not ready yet) holds nothing: it is opened again.
                link.dead = self.attack.stall and status != "200"
                link.answer = None

    def rearm(self, link):
        reading = not (self.attack.stall and link.answer is None)
        mask = select.EPOLLRDHUP | (select.EPOLLIN if reading else 0)
        mask |= select.EPOLLOUT if link.pending or link.left else 0
        if mask != link.mask:
            link.mask = mask
            self.poller.modify(link.sock, mask)

    def trickle(self):
        for link in list(self.links.values()):
            if link.connected and not link.pending and not link.left:
                link.pending = FILLER[:1]
                self.send(link)
                self.rearm(link)

    def close(self, link):
        del self.links[link.sock.fileno()]
        self.poller.unregister(link.sock)
        link.sock.close()

    def summary(self):
        held = spread(self.held) if self.held else (0, 0, 0)
        answers = ", ".join("%s x%d" % item for item in sorted(self.answers.items())) or "none"
        return ("connections held %d / %d / %d; opened %d, refused %d, closed by the server %d; sent %.1f MB; "
                "answers: %s" % (held + (self.opened, self.refused, self.closed, self.sent / MB, answers)))


@dataclass
class Run:
    name: str
    peak_kb: int = 0
    kept: int = 0
    whole: int = 0
    times: dict = field(default_factory=dict)
    crowd: str = ""
    trouble: list = field(default_factory=list)


def recordings_found(folder, transmissions):
    """The recordings of the circuit in W that hold sound, and how many transmissions lie whole in
    one of them. The recording that starts with the recorder holds only the lead's silence."""
    recordings = os.path.join(folder, "W")
    contents = []
    for name in sorted(n for n in os.listdir(recordings) if RECORDING_NAME.fullmatch(n)):
        with open(os.path.join(recordings, name), "rb") as f:
            samples = f.read()[44:]
        if samples and max(samples) - 128 > 40:
            contents.append(samples)
    return len(contents), sum(1 for fed in transmissions if any(fed in samples for samples in contents))


def watch(run, kestrova, folder, port, attack, password, log_path):
    """Starts the normal client and the attack once the page is up, and notes the resident memory
    until the input has played; the client's times and the attack's summary go into the run."""
    if not wait_for(lambda: os.path.exists(os.path.join(folder, "capture.part.wav")), 30):
        raise RuntimeError("the recorder did not start:\n" + open(log_path).read()[-3000:])
    fed_from = time.monotonic()  # the input plays from the moment the recorder opened it
    if not wait_for(lambda: listening(port), 15):
        raise RuntimeError("the web page did not come up:\n" + open(log_path).read()[-3000:])
    cookie = log_in(port) if password else ""
    if cookie is None:
        raise RuntimeError("the login with the password was refused")
    helpers = [Prober(port, cookie, ["/api/status"] + ([] if attack else ["/"]))]
    helpers += [Crowd(attack, port, cookie, fed_from + LEAD)] if attack else []
    for helper in helpers:
        helper.start()
    try:
        while time.monotonic() < fed_from + FEED_SECONDS + 2.0 and kestrova.poll() is None:
            run.peak_kb = max(run.peak_kb, resident_kb(kestrova.pid))
            time.sleep(0.1)
    finally:
        for helper in helpers:
            helper.stopped.set()
        for helper in helpers:
            helper.join(timeout=PROBE_TIMEOUT + 5)
    run.times = helpers[0].times
    run.crowd = helpers[1].summary() if attack else ""
    if kestrova.poll() is not None:
        run.trouble.append("the program ended by itself with %d" % kestrova.returncode)


def run_program(program, name, password, transmissions, big_bytes, watcher, prepare=lambda folder: None):
    """One run of the program on a fresh folder (prepare(folder) may add to it; what it returns goes
    to the watcher), watched by watcher(run, kestrova, folder, port, log_path, prepared) until the
    input has played; then the recordings are judged."""
    work = tempfile.mkdtemp(prefix="kestrova-attack-")
    folder = prepare_folder(work, transmissions, big_bytes)
    prepared = prepare(folder)
    env = program_env(work)
    if password:
        setting = subprocess.run([program, "--program-folder", folder, "--set-web-password"], env=env,
                                 input=("%s\n%s\n" % (PASSWORD, PASSWORD)).encode(), capture_output=True)
        if setting.returncode != 0:
            raise RuntimeError("--set-web-password: " + setting.stderr.decode(errors="replace"))
    port = free_port()
    log_path = os.path.join(work, "kestrova.log")
    with open(log_path, "w") as log:
        kestrova = subprocess.Popen([program, "--headless", "--program-folder", folder, "--input-file",
                                     os.path.join(work, "feed.wav"), "--web", "127.0.0.1:%d" % port],
                                    env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                    preexec_fn=service_file_limit)
    run = Run(name)
    try:
        watcher(run, kestrova, folder, port, log_path, prepared)
    finally:
        stop(kestrova)
    if kestrova.returncode != 0 and not run.trouble:
        run.trouble.append("the program ended with %d after SIGTERM" % kestrova.returncode)
    run.kept, run.whole = recordings_found(folder, transmissions)
    if run.trouble:
        run.trouble.append("log: " + open(log_path, errors="replace").read()[-1500:])
    shutil.rmtree(work, ignore_errors=True)
    return run


def run_once(program, name, attack, password, transmissions, big_bytes):
    return run_program(program, name, password, transmissions, big_bytes,
                       lambda run, kestrova, folder, port, log_path, _: watch(run, kestrova, folder, port, attack,
                                                                             password, log_path))


def times_text(times):
    answered = [t for t in times if t is not None]
    figures = " / ".join("%.1f" % (1000 * t) for t in spread(answered)) if answered else "-"
    return "%s ms, %d of %d unanswered" % (figures, len(times) - len(answered), len(times))


def misses(run, baseline):
    found = list(run.trouble)
    if run.kept != len(PITCHES) or run.whole != len(PITCHES):
        found.append("%d recordings kept, %d of %d transmissions whole" % (run.kept, run.whole, len(PITCHES)))
    if run.peak_kb - baseline.peak_kb > GOAL_RSS_KB:
        found.append("VmRSS %.1f MB over the baseline" % ((run.peak_kb - baseline.peak_kb) / 1024))
    slow = [t for t in run.times["/api/status"] if t is None or t > GOAL_ANSWER]
    if slow:
        found.append("%d normal requests not answered within %.0f s" % (len(slow), GOAL_ANSWER))
    return found


def print_row(run, baseline):
    rss = ("%.1f MB" % (run.peak_kb / 1024) if baseline is None
           else "%+.1f MB" % ((run.peak_kb - baseline.peak_kb) / 1024))
    print(with_load("%-34s %d/%d  %d/%d   %-10s %s" % (run.name, run.kept, len(PITCHES), run.whole, len(PITCHES),
                                                     rss, times_text(run.times["/api/status"]))))
    if "/" in run.times:
        print("%-56s GET /: %s" % ("", times_text(run.times["/"])))
    if run.crowd:
        print("    " + run.crowd)


def service_file_limit():
    """The program starts as a service manager starts it: 1024 open files, soft."""
    hard = resource.getrlimit(resource.RLIMIT_NOFILE)[1]
    resource.setrlimit(resource.RLIMIT_NOFILE, (1024 if hard == resource.RLIM_INFINITY else min(1024, hard), hard))


def raise_file_limit(needed):
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    if soft < needed:
        resource.setrlimit(resource.RLIMIT_NOFILE, (needed if hard == resource.RLIM_INFINITY
                                                    else min(needed, hard), hard))
    return resource.getrlimit(resource.RLIMIT_NOFILE)[0] >= needed


# Attacks from many addresses, with the normal client asking every 0.5 s during and after them.

SLOW_REQUEST_LINE = b"GET / HTTP/1.1\r\n"
SLOW_HEADER_LINE = b"X-a: b\r\n"  # 8 bytes
SLOW_LINE_EVERY = 10.0
OWN_CLIENT = "127.0.0.1"
ELSEWHERE_CLIENT = "127.255.255.1"
SPREAD_PROBE_EVERY = 0.5
SPREAD_ENDS_BEFORE = 12.0  # the attack stops this long before the input has played
GOAL_DURING = 0.5  # median answer during the attack
GOAL_BACK_AFTER = 2.0  # from this long after the attack every request is answered within GOAL_DURING


@dataclass
class SpreadAttack(Attack):
    sources: int = 8  # addresses the connections come from, in turn


def spread_source(index, count):
    """The index'th of count attacking addresses, each in a /24 of its own, none in 127.0.0.0/24."""
    network = 1 + index % count
    return "127.%d.%d.1" % (1 + network // 256, network % 256)


class SpreadCrowd(Crowd):
    """The crowd of a SpreadAttack: its connections from many addresses in turn, and a header line
    now and then instead of a byte."""

    def __init__(self, attack, port, cookie, count_from):
        super().__init__(attack, port, cookie, count_from)
        self.next_source = 0
        self.next_line = 0.0

    def source(self):
        source = spread_source(self.next_source, self.attack.sources)
        self.next_source += 1
        return source

    def trickle(self):
        now = time.monotonic()
        if now < self.next_line:
            return
        self.next_line = now + SLOW_LINE_EVERY
        for link in list(self.links.values()):
            if link.connected and not link.pending and not link.left:
                link.pending = memoryview(SLOW_HEADER_LINE)
                self.send(link)
                self.rearm(link)


def timed_get_from(source, port, path, cookie):
    """As timed_get, from the given address."""
    started = time.monotonic()
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=PROBE_TIMEOUT, source_address=(source, 0))
    try:
        connection.request("GET", path, headers={"Cookie": cookie} if cookie else {})
        response = connection.getresponse()
        response.read()
        return time.monotonic() - started if response.status == 200 else None
    except (OSError, http.client.HTTPException):
        return None
    finally:
        connection.close()


class SpreadProber(threading.Thread):
    """Asks for /api/status every SPREAD_PROBE_EVERY from one address, noting when each request began."""

    def __init__(self, source, port, cookie):
        super().__init__(daemon=True)
        self.source, self.port, self.cookie = source, port, cookie
        self.probes = []  # (began, seconds or None)
        self.stopped = threading.Event()

    def run(self):
        due = time.monotonic()
        while not self.stopped.wait(max(0.0, due - time.monotonic())):
            began = time.monotonic()
            self.probes.append((began, timed_get_from(self.source, self.port, "/api/status", self.cookie)))
            due = max(due + SPREAD_PROBE_EVERY, time.monotonic())


def spread_verdict(prober, attack_from, attack_until):
    """The text of one client's answers during and after the attack, and what missed its goals."""
    during = [t for began, t in prober.probes if attack_from <= began < attack_until]
    after = [(began - attack_until, t) for began, t in prober.probes if began >= attack_until]
    answered = sorted(t for t in during if t is not None)
    median = answered[len(answered) // 2] if len(answered) * 2 > len(during) else None
    late = [since for since, t in after if since >= GOAL_BACK_AFTER and (t is None or t > GOAL_DURING)]
    back = next((since for since, t in after if t is not None and t <= GOAL_DURING), None)
    text = "%s: during %s ms median of %d (%d unanswered), back %s after the end" % (
        prober.source, "-" if median is None else "%.0f" % (1000 * median), len(during),
        len(during) - len(answered), "-" if back is None else "%.1f s" % back)
    found = []
    if median is None or median > GOAL_DURING:
        found.append("%s: median during the attack not within %.1f s" % (prober.source, GOAL_DURING))
    if late or back is None:
        found.append("%s: %d requests from %.0f s after the attack not answered within %.1f s"
                     % (prober.source, len(late), GOAL_BACK_AFTER, GOAL_DURING))
    return text, found


def watch_spread(run, kestrova, folder, port, attack, password, log_path):
    """As watch, for a SpreadAttack: the attack stops SPREAD_ENDS_BEFORE the input's end, the clients go on."""
    if not wait_for(lambda: os.path.exists(os.path.join(folder, "capture.part.wav")), 30):
        raise RuntimeError("the recorder did not start:\n" + open(log_path).read()[-3000:])
    fed_from = time.monotonic()
    if not wait_for(lambda: listening(port), 15):
        raise RuntimeError("the web page did not come up:\n" + open(log_path).read()[-3000:])
    cookie = log_in(port) if password else ""
    if cookie is None:
        raise RuntimeError("the login with the password was refused")
    probers = [SpreadProber(source, port, cookie) for source in (OWN_CLIENT, ELSEWHERE_CLIENT)]
    crowd = SpreadCrowd(attack, port, cookie, fed_from + LEAD)
    attack_from, attack_until = fed_from + LEAD, fed_from + FEED_SECONDS - SPREAD_ENDS_BEFORE
    for prober in probers:
        prober.start()
    try:
        while time.monotonic() < fed_from + FEED_SECONDS + 2.0 and kestrova.poll() is None:
            now = time.monotonic()
            if attack_from <= now < attack_until and not crowd.is_alive():
                crowd.start()
            elif now >= attack_until and crowd.is_alive() and not crowd.stopped.is_set():
                crowd.stopped.set()
                crowd.join(timeout=PROBE_TIMEOUT + 5)
                attack_until = time.monotonic()  # its connections are closed from here on
            run.peak_kb = max(run.peak_kb, resident_kb(kestrova.pid))
            time.sleep(0.1)
    finally:
        crowd.stopped.set()
        for helper in probers + ([crowd] if crowd.is_alive() else []):
            helper.stopped.set()
            helper.join(timeout=PROBE_TIMEOUT + 5)
    run.times = {"/api/status": [t for _, t in probers[0].probes]}
    verdicts = [spread_verdict(prober, attack_from, attack_until) for prober in probers]
    run.crowd = crowd.summary() + "".join("\n    " + text for text, _ in verdicts)
    run.trouble += [miss for _, found in verdicts for miss in found]
    if kestrova.poll() is not None:
        run.trouble.append("the program ended by itself with %d" % kestrova.returncode)


def run_spread_once(program, name, attack, password, transmissions, big_bytes):
    """As run_once, watched by watch_spread."""
    return run_program(program, name, password, transmissions, big_bytes,
                       lambda run, kestrova, folder, port, log_path, _: watch_spread(run, kestrova, folder, port,
                                                                                    attack, password, log_path))


def main():
    parser = argparse.ArgumentParser(description="The web page under attack.")
    parser.add_argument("program")
    parser.add_argument("--scale", type=float, default=1.0, help="multiplies the 300 MB and 50 MB")
    parser.add_argument("--only", default="", help="the numbers of the attacks to run, as 1,3")
    parser.add_argument("--password", action="store_true", help="a password for every run")
    arguments = parser.parse_args()
    program = os.path.abspath(arguments.program)
    chosen = [attack for number, attack in enumerate(attacks(arguments.scale, arguments.password), 1)
              if not arguments.only or str(number) in arguments.only.split(",")]
    if not raise_file_limit(max([a.connections for a in chosen] + [0]) + 200):
        print("FAIL: too few file descriptors allowed for the attack's connections")
        return 1
    transmissions = [tone(TONE, pitch) for pitch in PITCHES]
    big_bytes = int(50 * MB * arguments.scale)
    print("web page under attack: %d transmissions of %.0f s each run, scale %g, attacks 1-5 from %s"
          % (len(PITCHES), TONE, arguments.scale, ATTACKER))
    print("%-34s kept whole VmRSS peak GET /api/status min / median / max" % "")
    baselines, missed = {}, []
    try:
        for password in sorted({a.password for a in chosen}):
            baseline = run_once(program, "baseline" + (" (password)" if password else ""), None, password,
                                transmissions, big_bytes)
            print_row(baseline, None)
            if misses(baseline, baseline):
                print("FAIL: the baseline itself: %s" % "; ".join(misses(baseline, baseline)))
                return 1
            baselines[password] = baseline
            sys.stdout.flush()
        for attack in chosen:
            run = (run_spread_once if isinstance(attack, SpreadAttack) else run_once)(
                program, attack.name + (" (password)" if attack.password else ""), attack, attack.password,
                transmissions, big_bytes)
            print_row(run, baselines[attack.password])
            found = misses(run, baselines[attack.password])
            print("    goal %s%s" % ("MISSED: " if found else "met", "; ".join(found)))
            missed += [attack.name] if found else []
            sys.stdout.flush()
        missed += run_more_attacks(program, arguments.only.split(",") if arguments.only else [], transmissions,
                                   big_bytes, baselines)
    except RuntimeError as error:
        print("FAIL: %s" % error)
        return 1
    print("goals (all %d recorded whole, VmRSS within %d MB of the baseline, every normal request within %.0f s) %s"
          % (len(PITCHES), GOAL_RSS_KB // 1024, GOAL_ANSWER, "MISSED: " + ", ".join(missed) if missed else "met"))
    return 2 if missed else 0


# Attacks 9 and 10: from many addresses (127.x.y.z, all routed to lo), while the user asks for
# /api/status twice a second. Each runs beside the recorder as the others do, then goes on for
# AFTER seconds once the attack has stopped.
POLL_SECONDS = 0.5
AFTER = 10.0
GUESSER_THREADS = 4
GUESSES_PER_SECOND = 40
OWNER = "127.200.0.9"  # the owner's network: none of the guessers'
OWNER_EVERY = 2.0
OWNER_PATIENCE = 30.0
LISTING_DAY = 10_000
LISTERS = 4
PIPELINED = 4
GOAL_MEDIAN = 0.5
GOAL_BACK = 2.0


def guesser_address(n):
    """A new address for every guess, in the four networks 127.66.0.0 to 127.66.3.0."""
    return "127.66.%d.%d" % (n % 4, 1 + (n // 4) % 250)


def request_from(source, port, method, path, body=None, headers=None, timeout=PROBE_TIMEOUT):
    """(status or None, Set-Cookie, seconds) of one request from the source address."""
    started = time.monotonic()
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout, source_address=(source, 0))
    try:
        connection.request(method, path, body=body, headers=headers or {})
        response = connection.getresponse()
        response.read()
        return response.status, response.getheader("Set-Cookie") or "", time.monotonic() - started
    except (OSError, http.client.HTTPException):
        return None, "", time.monotonic() - started
    finally:
        connection.close()


def login_from(source, port, password, timeout=PROBE_TIMEOUT):
    return request_from(source, port, "POST", "/api/anmelden", json.dumps({"passwort": password}),
                        {"Content-Type": "application/json"}, timeout)


class Repeater(threading.Thread):
    """Calls step(n) every `every` seconds (or as fast as it returns) until stopped; keeps
    (started, result) of each call."""

    def __init__(self, step, every):
        super().__init__(daemon=True)
        self.step, self.every = step, every
        self.results = []
        self.stopped = threading.Event()

    def run(self):
        due, n = time.monotonic(), 0
        while not self.stopped.wait(max(0.0, due - time.monotonic())):
            started = time.monotonic()
            self.results.append((started, self.step(n)))
            n += 1
            due = max(due + self.every, time.monotonic())


def read_answer(sock, buffer):
    """The status of the next answer on the socket; buffer keeps what follows it."""
    while b"\r\n\r\n" not in buffer:
        data = sock.recv(65536)
        if not data:
            raise OSError("closed")
        buffer += data
    head, _, rest = bytes(buffer).partition(b"\r\n\r\n")
    length = int(re.search(rb"(?im)^content-length:\s*(\d+)", head).group(1))
    del buffer[:len(head) + 4]
    while len(buffer) < length:
        data = sock.recv(1 << 20)
        if not data:
            raise OSError("closed")
        buffer += data
    del buffer[:length]
    return int(head.split(b" ", 2)[1])


def pipelined_listing(source, port, path, stopped, answers):
    """One connection that sends PIPELINED listings at a time and reads their answers, again
    and again, opened anew when the server closes it."""
    request = ("GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n\r\n" % (path, port)).encode() * PIPELINED
    while not stopped.is_set():
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=300, source_address=(source, 0)) as sock:
                buffer = bytearray()
                while not stopped.is_set():
                    sock.sendall(request)
                    for _ in range(PIPELINED):
                        answers[read_answer(sock, buffer)] += 1
        except (OSError, AttributeError, ValueError):
            answers["closed"] += 1
            time.sleep(0.1)


def fill_day(folder):
    """LISTING_DAY recordings of today in the dated archive, 8 s apart; the day's path."""
    day = time.localtime()
    hours = "%s/Fk_1/Ja_%04d/Mo-%02d/Tg-%02d" % (folder, day.tm_year, day.tm_mon, day.tm_mday)
    content = wav(bytes([128]) * 800)
    for n in range(LISTING_DAY):
        moment = n * 86400 // LISTING_DAY
        hour, minute, second = moment // 3600, moment // 60 % 60, moment % 60
        hour_folder = "%s/hh-%02d" % (hours, hour)
        os.makedirs(hour_folder, exist_ok=True)
        name = "1_%02d-%02d-%04d_%02d-%02d-%02d.wav" % (day.tm_mon, day.tm_mday, day.tm_year, hour, minute, second)
        with open(os.path.join(hour_folder, name), "wb") as f:
            f.write(content)
    return os.path.relpath(hours, folder)


def run_beside_recorder(program, name, password, transmissions, big_bytes, prepare, attack):
    """Like run_once, for an attack given as attack(port, cookie, day) -> (threads, summary, judge):
    the threads run from the page's start until the input has played (stopped is set then), the
    user's poll AFTER seconds longer; judge(poll, attack_end) stops what still runs and lists the
    goals missed."""
    def watch_beside(run, kestrova, folder, port, log_path, day):
        if not wait_for(lambda: os.path.exists(os.path.join(folder, "capture.part.wav")), 30):
            raise RuntimeError("the recorder did not start:\n" + open(log_path).read()[-3000:])
        fed_from = time.monotonic()
        if not wait_for(lambda: listening(port), 15):
            raise RuntimeError("the web page did not come up:\n" + open(log_path).read()[-3000:])
        cookie = log_in(port) if password else ""
        if cookie is None:
            raise RuntimeError("the login with the password was refused")
        poll = Repeater(lambda n: timed_get(port, "/api/status", cookie), POLL_SECONDS)
        threads, stopped, summary, judge = attack(port, cookie, day)
        for thread in [poll] + threads:
            thread.start()
        end, attack_end = fed_from + FEED_SECONDS + 2.0, None
        while time.monotonic() < end + AFTER and kestrova.poll() is None:
            if time.monotonic() >= end and not stopped.is_set():
                stopped.set()
                attack_end = time.monotonic()
            run.peak_kb = max(run.peak_kb, resident_kb(kestrova.pid))
            time.sleep(0.1)
        stopped.set()
        poll.stopped.set()
        poll.join(timeout=PROBE_TIMEOUT + 5)
        run.trouble += judge(poll.results, attack_end or end)
        for thread in threads:
            thread.join(timeout=PROBE_TIMEOUT + 30)
        run.times = {"/api/status": [t for _, t in poll.results]}
        run.crowd = summary()
        if kestrova.poll() is not None:
            run.trouble.append("the program ended by itself with %d" % kestrova.returncode)

    return run_program(program, name, password, transmissions, big_bytes, watch_beside, prepare)


def password_guessing(port, cookie, day):
    """Wrong passwords from a new address each, GUESSES_PER_SECOND in all, while the owner logs in
    with the right one from another network every OWNER_EVERY seconds."""
    stopped = threading.Event()
    guesses = collections.Counter()
    counter = iter(range(10 ** 9))

    def guess(_):
        status = login_from(guesser_address(next(counter)), port, "falsch-geraten")[0]
        guesses[status] += 1
        time.sleep(GUESSER_THREADS / GUESSES_PER_SECOND)

    guessers = [Repeater(guess, 0) for _ in range(GUESSER_THREADS)]
    # A browser waits for its login as long as the check takes.
    owner = Repeater(lambda n: login_from(OWNER, port, PASSWORD, OWNER_PATIENCE)[0], OWNER_EVERY)
    for thread in guessers:
        thread.stopped = stopped

    def summary():
        tries = [status for _, status in owner.results]
        return ("owner's logins accepted %d of %d; guesses answered: %s" % (
            tries.count(200), len(tries), ", ".join("%s x%d" % (k, v) for k, v in sorted(
                guesses.items(), key=lambda item: str(item[0])))))

    def judge(poll, attack_end):
        owner.stopped.set()
        owner.join(timeout=PROBE_TIMEOUT + 5)
        found = ["the owner's login at %.0f s %s" % (started - attack_end, status or "unanswered")
                 for started, status in owner.results if status != 200]
        slow = [t for _, t in poll if t is None or t > GOAL_ANSWER]
        if slow:
            found.append("%d normal requests not answered within %.0f s" % (len(slow), GOAL_ANSWER))
        return found

    return guessers + [owner], stopped, summary, judge


def pipelined_listings(port, cookie, day):
    """LISTERS connections, each from an address of its own, pipelining the day's listing."""
    stopped = threading.Event()
    answers = collections.Counter()
    path = "/api/archiv/tag?pfad=" + day
    listers = [threading.Thread(target=pipelined_listing, args=("127.77.0.%d" % (n + 1), port, path, stopped,
                                                                  answers), daemon=True) for n in range(LISTERS)]

    def summary():
        return "listings answered: %s" % (", ".join("%s x%d" % item for item in sorted(
            answers.items(), key=lambda item: str(item[0]))) or "none")

    def judge(poll, attack_end):
        during = [t if t is not None else float("inf") for started, t in poll if started < attack_end]
        after = [t for started, t in poll if started >= attack_end + GOAL_BACK]
        found = []
        if not during or spread(during)[1] >= GOAL_MEDIAN:
            found.append("median of /api/status during the attack not below %.1f s" % GOAL_MEDIAN)
        if not after or any(t is None or t >= GOAL_MEDIAN for t in after):
            found.append("/api/status not back below %.1f s within %.0f s after" % (GOAL_MEDIAN, GOAL_BACK))
        if not answers[200]:
            found.append("no listing answered")
        return found

    return listers, stopped, summary, judge


def more_attacks():
    """(number, name, password, prepare, attack) of the attacks run with run_beside_recorder."""
    return [
        (9, "guessing from rotating addresses", True, lambda folder: "", password_guessing),
        (10, "4 x pipelined day of %d" % LISTING_DAY, False, fill_day, pipelined_listings),
    ]


def run_more_attacks(program, only, transmissions, big_bytes, baselines):
    """Runs the chosen further attacks and prints their rows; the names of those that missed."""
    missed = []
    for number, name, password, prepare, attack in more_attacks():
        if only and str(number) not in only:
            continue
        run = run_beside_recorder(program, name + (" (password)" if password else ""), password, transmissions,
                                  big_bytes, prepare, attack)
        baseline = baselines.get(password)
        print_row(run, baseline)
        found = list(run.trouble)
        if run.kept != len(PITCHES) or run.whole != len(PITCHES):
            found.append("%d recordings kept, %d of %d transmissions whole" % (run.kept, run.whole, len(PITCHES)))
        print("    peak VmRSS %.1f MB; goal %s%s" % (run.peak_kb / 1024, "MISSED: " if found else "met",
                                                    "; ".join(found)))
        missed += [name] if found else []
        sys.stdout.flush()
    return missed


if __name__ == "__main__":
    sys.exit(main())
