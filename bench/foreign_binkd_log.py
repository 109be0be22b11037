#!/usr/bin/env python3
"""A binkd log for the benchmark, written from a model of a binkd node of its
own: none of the program's own log generator is used, so that the parse is
timed on lines that generator never thought of. Deterministic from its seed.

  foreign_binkd_log.py --out FILE --bytes SIZE --end YYYY-MM-DD [--mix NAME]
                       [--seed N] [--links N] [--days D] [knobs]

The mix sets the knobs below; a knob given on the command line wins:
  --probes SHARE   of the incoming sessions, those that end "done (?, failed, ...)"
  --refused SHARE  of the calls, those whose connect fails (no session follows)
  --debug N        debug lines (blank mark) per session, on average
  --long SHARE     of the debug lines, those of 300 to 1000 bytes
  --crowd F        sessions last F times longer and come in bigger bursts, so
                   that many more pids are open at once
  --level N        binkd's loglevel: 2 keeps the "+", "?" and "!" lines, 3 the "-"
                   ones too, 4 (the default) also the blank-marked connect lines
  --generation G   0.9, 1.0, 1.1a or mixed (a third of the days each, in order)
"""

import argparse
import datetime
import random

MONTHS = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()
WEEKDAYS = "Mon Tue Wed Thu Fri Sat Sun".split()

MIXES = {
    # A quiet node at loglevel 4 to 5: few probes, a few refused calls.
    "plain": dict(probes=0.04, refused=0.08, debug=0.0, long=0.0, crowd=1.0),
    # A node scanned all day: a third of the incoming connects name no address.
    "probes": dict(probes=0.35, refused=0.08, debug=0.0, long=0.0, crowd=1.0),
    # Links that are down: half the calls fail to connect.
    "refused": dict(probes=0.04, refused=0.5, debug=0.0, long=0.0, crowd=1.0),
    # loglevel 8 and more: debug lines, some of them up to binkd's cut.
    "debug": dict(probes=0.04, refused=0.08, debug=12.0, long=0.25, crowd=1.0),
    # A hub: hundreds of sessions open at once, their lines interleaved.
    "crowd": dict(probes=0.04, refused=0.08, debug=0.0, long=0.0, crowd=12.0),
    # loglevel 8 without dumps: short debug lines, most of the log.
    "chatty": dict(probes=0.04, refused=0.08, debug=24.0, long=0.0, crowd=1.0),
    # loglevel 2: only the "+", "?" and "!" lines.
    "terse": dict(probes=0.04, refused=0.08, debug=0.0, long=0.0, crowd=1.0, level=2),
    # Everything at once.
    "worst": dict(probes=0.35, refused=0.5, debug=6.0, long=0.25, crowd=8.0),
}

DEBUG_WORDS = [
    "send_block: sent {n} bytes", "recv_block: got {n} bytes", "msg M_NUL sent",
    "rcvd msg M_NUL", "bsy_add: {path}.bsy", "bsy_remove: {path}.bsy", "fetched {n} bytes",
    "select: {n} ready", "timeout remain {n}", "got block {n} bytes, CRC {hex}",
    "Sending M_EOB", "rcvd M_GOT {name} {n} {ts}", "queue: {n} items", "scan: {path}",
    "zlib: deflated {n} to {m}", "setsockopt SO_KEEPALIVE", "exec: {path} {name}",
]
SYSOP_FIRST = ["Ivan", "Sergey", "Alexey", "Pavel", "Jan", "Erik", "Mark", "Dmitry", "Ole",
               "\xc9\xd7\xc1\xce", "\x8f\xa0\xa2\xa5\xab", "Nick", "Kurt", "Tom"]
SYSOP_LAST = ["Petrov", "Smirnov", "Novak", "Hansen", "Kuznetsov", "Miller", "de Vries",
              "\xf0\xc5\xd4\xd2\xcf\xd7", "Berg", "Olsen", "Ivanov"]
TOWNS = ["Moscow, Russia", "Saint Petersburg", "Kyiv, Ukraine", "Riga", "Berlin, Germany",
         "Oslo", "Praha, CZ", "Novosibirsk", "Tallinn, Estonia", "Minsk", "Toronto, ON"]
VERSIONS = ["binkd/1.1a-115/Linux binkp/1.1", "binkd/1.0.4/Win32 binkp/1.1",
            "binkd/0.9.11/OS2 binkp/1.1", "binkd/1.1a-99/FreeBSD binkp/1.1",
            "Argus/3.210 binkp/1.1", "mbcico/1.0.7 binkp/1.1", "Radius/4.010 binkp/1.0",
            "binkd/1.1a-113/Win64 binkp/1.1", "qico/0.59.1 binkp/1.1"]
ERRORS = ["recv: connection closed by foreign host", "rerror: Connection reset by peer",
          "got M_BSY: Too many servers", "timeout!", "send: {104} Connection reset by peer",
          "got M_ERR: Incorrect password"]
CONNECT_FAILURES = ["connection to {a}@fidonet failed: {{111}} Connection refused",
                    "connection to {a}@fidonet failed: {{110}} Connection timed out",
                    "unable to connect: {{113}} No route to host",
                    "unable to connect: {{101}} Network is unreachable"]


class Link:
    def __init__(self, rng, number):
        zone = rng.choice([2, 2, 2, 2, 1, 3])
        net = rng.choice([5020, 5030, 450, 467, 5010, 4500]) if zone == 2 else rng.randint(100, 400)
        node = rng.randint(1, 9999)
        self.address = f"{zone}:{net}/{node}"
        if number % 11 == 0:
            self.address += f".{rng.randint(1, 99)}"
        kind = rng.random()
        self.ip = ".".join(str(rng.randint(1, 223)) for _ in range(4))
        if kind < 0.5:
            self.host = f"f{node}.n{net}.z{zone}.binkp.net"
        elif kind < 0.8:
            self.host = rng.choice(["bbs", "fido", "node", "gate"]) + f"{number}.example.net"
        elif kind < 0.9:
            self.ip = f"2001:db8:{number:x}::{rng.randint(1, 0xffff):x}"
            self.host = self.ip
        else:
            self.host = self.ip
        self.akas = [self.address] + [f"{zone}:{rng.randint(1, 9999)}/{rng.randint(1, 999)}"
                                      for _ in range(rng.choice([0, 0, 1, 2, 4]))]
        self.sysop = f"{rng.choice(SYSOP_FIRST)} {rng.choice(SYSOP_LAST)}"
        self.system = rng.choice(["Station", "BBS", "Point", "Hub", "Gate"]) + f" {number}"
        self.town = rng.choice(TOWNS) if rng.random() < 0.85 else None
        self.version = rng.choice(VERSIONS)
        self.password = rng.random() < 0.7
        self.weight = rng.paretovariate(1.2)


class Node:
    """The node whose log this is: its links, its pids, its binkd's generation."""

    def __init__(self, rng, knobs, links):
        self.rng = rng
        self.k = knobs
        self.links = [Link(rng, n) for n in range(links)]
        self.weights = [link.weight for link in self.links]
        self.next_pid = rng.randint(300, 30000)
        self.manager = self.next_pid
        self.windows = self.addresses = False

    def pid(self):
        if self.windows:  # thread ids, masked to 16 bits, taken again soon
            return self.rng.randint(1, 0xffff)
        if self.addresses:  # a port that logs the thread's address
            return 0x40000000 + self.rng.randint(1, 0xfffff) * 16
        self.next_pid += self.rng.randint(1, 4)
        if self.next_pid > self.limit:
            self.next_pid = 300
        return self.next_pid

    def set_generation(self, generation):
        self.generation = generation
        self.windows = generation == "0.9" and self.rng.random() < 0.5
        self.addresses = generation == "0.9" and not self.windows
        self.limit = 4194304 if generation == "1.1a" else 32768
        self.outbound = "C:\\FIDO\\OUTBOUND\\" if generation == "0.9" else "/var/spool/ftn/outb/"
        self.inbound = "C:\\FIDO\\INBOUND\\" if generation == "0.9" else "/var/spool/ftn/inb/"

    def session_line(self, link, incoming, port):
        host, ip = link.host, link.ip
        if self.generation == "0.9":
            return f"session with {host} ({ip})"
        word = "incoming" if incoming else "outgoing"
        if self.generation == "1.0":
            return f"{word} session with {host} [{ip}] ({port})"
        shown = host if incoming else f"{host}:24554"
        return f"{word} session with {shown}" + ("" if host == ip else f" [{ip}]")

    def debug(self, lines, t, pid):
        rng = self.rng
        count = int(self.k.debug) + (1 if rng.random() < self.k.debug % 1 else 0)
        for _ in range(count):
            word = rng.choice(DEBUG_WORDS).format(
                n=rng.randint(1, 32768), m=rng.randint(1, 9999), hex=f"{rng.getrandbits(32):08x}",
                path=self.outbound + f"{rng.getrandbits(32):08x}", name=self.name(),
                ts=rng.getrandbits(31))
            if rng.random() < self.k.long:
                dump = " ".join(f"{rng.getrandbits(8):02x}" for _ in range(rng.randint(100, 330)))
                word = (word + ": " + dump)[:1000]
            t += rng.random() * 2
            lines.append((t, " ", pid, word))
        return t

    def name(self):
        rng = self.rng
        day = rng.choice(["su", "mo", "tu", "we", "th", "fr", "sa"])
        return rng.choice([f"{rng.getrandbits(32):08x}.pkt",
                           f"{rng.getrandbits(32):08x}.{day}{rng.randint(0, 9)}",
                           f"nodelist.{rng.randint(1, 365):03d}", f"file {rng.randint(1, 99)}.zip",
                           f"{rng.getrandbits(24):06x}.tic"])

    def files(self, lines, t, pid, addr):
        """Transfers of one session; returns sent, received counts and bytes, and the time."""
        rng = self.rng
        clock = [t]

        def add(mark, text, step=0.3):
            clock[0] += rng.random() * step
            lines.append((clock[0], mark, pid, text))

        s = r = sb = rb = 0
        pending = []
        for _ in range(rng.choice([0, 0, 1, 1, 2, 3, 5, 8])):
            name = self.name()
            size = rng.randint(60, 2_000_000)
            seconds = size // 20000
            cps = f"{size / max(1, seconds):.2f}"
            roll = rng.random()
            if roll < 0.45:
                path = self.outbound + name
                add("+", f"sending {path} as {name} ({size})")
                if rng.random() < 0.05:
                    add("+", f"sending {name} from {rng.randint(1, size)}")
                if rng.random() < 0.05:
                    add("+", f"{name} skipped by remote")
                    continue
                if rng.random() < 0.03:
                    add("+", f"remote already has {name}")
                    continue
                done = f"sent: {path} ({size}, {cps} CPS, {addr}@fidonet)"
                if pending or rng.random() < 0.2:
                    pending.append(done)  # NR mode: comes after later lines
                else:
                    add("+", done, seconds + 1)
                s += 1
                sb += size
            elif roll < 0.9:
                off = rng.randint(1, size) if rng.random() < 0.05 else 0
                if off:
                    add("+", f"have {off} byte(s) of {name}")
                add("-", f"receiving {name} ({size} byte(s), off {off})")
                if rng.random() < 0.04:
                    add("?", f"receiving of {name} interrupted at {rng.randint(0, size)}", 30)
                    add("+", f"{name}: partial .pkt")
                    continue
                add("+", f"rcvd: {name} ({size}, {cps} CPS, {addr}@fidonet)", seconds + 1)
                add("+", f"{name} -> {self.inbound}{name}")
                r += 1
                rb += size
            elif roll < 0.95:
                add("+", f"already have {name} ({rng.getrandbits(31)}, {size} byte(s))")
            elif roll < 0.98:
                add("+", f"skipping {name} (non-destructive)")
            else:
                add("?", f"skipping {name} (destructive, {size} byte(s), mask *.zip)")
        for done in pending:
            add("+", done, 2)
        return s, r, sb, rb, clock[0]

    def remote(self, lines, t, pid, link):
        rng = self.rng
        clock = [t]

        def add(mark, text):
            clock[0] += rng.random() * 0.2
            lines.append((clock[0], mark, pid, text))

        add("-", f"OPT CRAM-MD5-{rng.getrandbits(128):032x}")
        add("+", "Remote supports EXTCMD mode")
        if rng.random() < 0.5:
            add("+", "Remote supports GZ mode")
        add("-", f"SYS {link.system}")
        add("-", f"ZYZ {link.sysop}")
        if link.town:
            add("-", f"LOC {link.town}")
        add("-", "NDL 115200,TCP,BINKP")
        day = rng.randint(1, 28)
        add("-", f"TIME {rng.choice(WEEKDAYS)}, {day} Dec 2026 {rng.randint(0, 23):02d}:"
            f"{rng.randint(0, 59):02d}:{rng.randint(0, 59):02d} "
            + rng.choice(["+0300", "+0100", "-0500"]))
        add("-", f"VER {link.version}")
        if rng.random() < 0.2:
            add("-", f"QSIZE {rng.randint(0, 9)} files {rng.randint(0, 99999)} bytes")
        for aka in link.akas:
            tail = "" if rng.random() < 0.9 else rng.choice([" (n/a or busy)", " (unresolvable)"])
            add("+", f"addr: {aka}@fidonet{tail}")
        if link.password:
            add("+", "pwd protected session (MD5)")
        add("-", f"TRF {rng.randint(0, 99999)} {rng.randint(0, 99999)}")
        return clock[0]

    def session(self, lines, t):
        rng, k = self.rng, self.k
        link = rng.choices(self.links, self.weights)[0]
        pid = self.pid()
        incoming = rng.random() < 0.5
        if not incoming:
            lines.append((t, "+", pid, f"call to {link.address}@fidonet"))
            lines.append((t, " ", pid, f"trying {link.host} [{link.ip}]..."))
            if rng.random() < k.refused:
                failure = rng.choice(CONNECT_FAILURES).format(a=link.address)
                lines.append((t + rng.randint(0, 30), "?", pid, failure))
                return
            lines.append((t + rng.random() * 0.4, " ", pid, "connected"))
        else:
            port = rng.randint(1024, 65535)
            lines.append((t, "-", self.manager, f"incoming from {link.ip} ({port})"))
            if rng.random() < k.probes:
                lines.append((t, "+", pid, self.session_line(link, True, rng.randint(1024, 65535))))
                lines.append((t + rng.random() * 20, "?", pid, rng.choice(ERRORS[:4])))
                lines.append((t + 20 + rng.random(), "+", pid,
                              "done (?, failed, S/R: 0/0 (0/0 bytes))"))
                return
        port = rng.randint(1024, 65535)
        lines.append((t + 0.5, "+", pid, self.session_line(link, incoming, port)))
        t = self.remote(lines, t + 0.5, pid, link)
        t = self.debug(lines, t, pid)
        s, r, sb, rb, t = self.files(lines, t, pid, link.address)
        t = self.debug(lines, t + rng.random() * 10, pid)
        if rng.random() < 0.01:
            return  # killed with its process: no done line
        failed = rng.random() < 0.08
        if failed:
            lines.append((t, "?", pid, rng.choice(ERRORS)))
        word = "from" if incoming else "to"
        status = "failed" if failed else "OK"
        lines.append((t + 0.1, "+", pid, f"done ({word} {link.address}@fidonet, {status}, "
                      f"S/R: {s}/{r} ({sb}/{rb} bytes))"))


def day_lines(node, sessions):
    """One day's lines, in time order, the sessions interleaved as they ran.
    A crowd stretches each session and packs most of them into busy hours."""
    rng, crowd = node.rng, node.k.crowd
    busy = rng.uniform(0, 86400 - 86400 / crowd) if crowd > 1 else 0
    lines = []
    started = 0
    while started < sessions:
        if crowd > 1 and rng.random() < 0.7:
            t = busy + rng.uniform(0, 86400 / crowd)
        else:
            t = rng.uniform(0, 86400)
        burst = rng.randint(2, int(4 * crowd) + 2) if rng.random() < 0.3 else 1
        for _ in range(min(burst, sessions - started)):
            first = len(lines)
            start = t + rng.random() * 3
            node.session(lines, start)
            if crowd > 1:
                lines[first:] = [(start + (at - start) * crowd, *rest)
                                 for at, *rest in lines[first:]]
            started += 1
    lines.sort(key=lambda line: line[0])
    return lines


def write(args, knobs):
    rng = random.Random(args.seed)
    node = Node(rng, knobs, args.links)
    target = parse_size(args.bytes)
    days = args.days or max(3, min(300, target // (8 << 20)))
    end = datetime.date.fromisoformat(args.end)
    # Bytes a session takes, from a sample day of the same knobs.
    sampler = Node(random.Random(args.seed + 1), knobs, args.links)
    sampler.set_generation("1.1a")
    sample = day_lines(sampler, 200)
    dropped = {2: "- ", 3: " "}.get(int(knobs.level), "")
    per_session = sum(len(text) + 30 for _, mark, _, text in sample if mark not in dropped) / 200
    sessions = max(1, int(target / days / per_session))
    written = 0
    with open(args.out, "wb") as out:
        for index in range(days):
            date = end - datetime.timedelta(days=days - 1 - index)
            generation = args.generation
            if generation == "mixed":
                generation = ["0.9", "1.0", "1.1a"][min(2, index * 3 // days)]
            if index == 0 or generation != node.generation or rng.random() < 0.15:
                node.set_generation(generation)
                node.manager = node.pid()
                # A new binkd writes an empty line before its first one.
                at = rng.uniform(0, 86000)
                restart = [(at, None, 0, ""), (at, "+", node.manager, f"BEGIN, binkd/{generation}"),
                           (at, "+", node.manager, "servmgr started")]
            else:
                restart = []
            chunk = b""
            stamp = f"{date.day:02d} {MONTHS[date.month - 1]}"
            text = []
            size = written + len(chunk)
            for t, mark, pid, message in sorted(restart + day_lines(node, sessions),
                                                key=lambda line: line[0]):
                t = min(int(t), 86399)
                if mark is None:
                    text.append("\n")
                    continue
                if mark in dropped:
                    continue
                text.append(f"{mark} {stamp} {t // 3600:02d}:{t // 60 % 60:02d}:{t % 60:02d} "
                            f"[{pid}] {message}\n")
                size += len(text[-1])
                if size >= target:
                    break
            chunk += "".join(text).encode("latin-1")
            out.write(chunk)
            written += len(chunk)
            if written >= target:
                break


def parse_size(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    if text[-1].upper() in units:
        return int(float(text[:-1]) * units[text[-1].upper()])
    return int(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--bytes", required=True)
    parser.add_argument("--end", required=True)
    parser.add_argument("--mix", choices=sorted(MIXES), default="plain")
    parser.add_argument("--seed", type=int, default=29)
    parser.add_argument("--links", type=int, default=400)
    parser.add_argument("--days", type=int, default=0)
    parser.add_argument("--generation", choices=["0.9", "1.0", "1.1a", "mixed"], default="mixed")
    for knob in ("probes", "refused", "debug", "long", "crowd", "level"):
        parser.add_argument("--" + knob, type=float)
    args = parser.parse_args()
    knobs = {"level": 4, **MIXES[args.mix]}
    for knob in knobs:
        if getattr(args, knob) is not None:
            knobs[knob] = getattr(args, knob)
    write(args, argparse.Namespace(**knobs))


if __name__ == "__main__":
    main()
