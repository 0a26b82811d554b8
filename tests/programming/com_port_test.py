#!/usr/bin/env python3
"""The serial adapter on a Windows COM port, run under Wine against a pseudo-terminal.

The slave of a fresh pty pair is linked into the tests' Wine prefix as a COM port that no
other test uses; com_port_probe.exe drives the adapter on it and prints what it got, while
this script holds the master (the wire) and, at each of the probe's pauses, looks at the
bytes that arrived and at the settings Wine gave the slave.

    com_port_test.py PROBE EMULATOR [EMULATOR_ARGUMENT...]

Every failed check is named and the script exits 1; nothing is skipped.
"""

import fcntl
import os
import random
import re
import select
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

# The wire format (src/programming/wire_format.h).
USB_BLOCK = bytes([0, 0x01]) + bytes(528 - 2)
SLOTS = bytes(slot & 0xFF for slot in range(1, 388))
FRAME = bytes([0x00, 0x00]) + SLOTS
REPLY_BLOCK_SIZE = 272
LINE_STALLED = 0x101
FT_OK, FT_DEVICE_NOT_FOUND = 0, 2

# struct termios2 of <asm/termbits.h>: four flag words, the line discipline, 19 control
# characters, then the input and output rates.
TCGETS2 = 0x802C542A
TERMIOS2 = struct.Struct("4IB19s2I")
CBAUD, CMSPAR = 0o10017, 0o10000000000

# A probe that hangs is killed at this deadline, well within the test's time limit.
PROBE_SECONDS = 45
ARRIVAL_SECONDS = 5

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, flush=True)


def wine_prefix(emulator):
    """The prefix the emulator runs programs in, made now if it is not there yet: the tests'
    own under wine-run.sh, else Wine's as the environment names it."""
    if os.path.basename(emulator[0]) == "wine-run.sh":
        script = os.path.join(os.path.dirname(emulator[0]), "wine-prefix-app.sh")
        made = subprocess.run(
            ["bash", "-c",
             '. "$1" && lumora_wine_prefix "$lumora_tests_prefix" && echo "$WINEPREFIX"',
             "bash", script],
            check=True, stdout=subprocess.PIPE, text=True)
        return made.stdout.strip()
    prefix = os.environ.get("WINEPREFIX") or os.path.expanduser("~/.wine")
    if not os.path.isdir(os.path.join(prefix, "dosdevices")):
        subprocess.run(emulator + ["wineboot"], check=True, stdout=subprocess.DEVNULL)
    return prefix


class Line:
    """A pty pair whose slave the prefix maps to COM<number>; this end keeps the slave open
    too, to read its settings."""

    def __init__(self, dosdevices):
        self.master, self.slave = os.openpty()
        os.set_blocking(self.master, False)
        self.received = bytearray()
        self.link = None
        # A number in a range the system's own ports never reach; the link is made only if
        # nobody holds that number.
        for number in random.sample(range(100, 250), 150):
            link = os.path.join(dosdevices, f"com{number}")
            try:
                os.symlink(os.ttyname(self.slave), link)
            except FileExistsError:
                continue
            self.link, self.port = link, f"COM{number}"
            return
        raise RuntimeError(f"no free COM number in {dosdevices}")

    def close(self):
        if self.link:
            os.unlink(self.link)
        self.hang_up()
        os.close(self.slave)

    def hang_up(self):
        if self.master >= 0:
            os.close(self.master)
        self.master = -1

    def collect(self):
        while self.master >= 0:
            try:
                chunk = os.read(self.master, 65536)
            except BlockingIOError:
                return
            if not chunk:
                return
            self.received += chunk

    def await_bytes(self, count):
        """How many bytes have arrived, polled until count have or the deadline passes."""
        deadline = time.monotonic() + ARRIVAL_SECONDS
        self.collect()
        while len(self.received) < count and time.monotonic() < deadline:
            time.sleep(0.01)
            self.collect()
        return len(self.received)

    def send(self, data):
        check(os.write(self.master, data) == len(data), "the master takes what it sends")

    def settings(self):
        fields = TERMIOS2.unpack(fcntl.ioctl(self.slave, TCGETS2, bytes(TERMIOS2.size)))
        iflag, oflag, cflag, lflag = fields[:4]
        return {"iflag": iflag, "oflag": oflag, "cflag": cflag, "lflag": lflag,
                "rate": fields[7]}


def probe_lines(process, deadline):
    """The probe's output lines as they come, until it closes its output or the deadline."""
    pending = b""
    stream = process.stdout.fileno()
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            check(False, f"the probe answers within {PROBE_SECONDS} s")
            return
        if not select.select([stream], [], [], left)[0]:
            continue
        chunk = os.read(stream, 4096)
        if not chunk:
            return
        pending += chunk
        *complete, pending = pending.split(b"\n")
        for line in complete:
            yield line.decode().strip()


def run_probe(probe, emulator, arguments, on_pause):
    """Runs the probe to its end (killed at the deadline); returns its output's lines (pauses
    answered) and the rates Wine's serial driver said it could not set exactly, in order."""
    env = dict(os.environ, WINEDEBUG="-all,warn+comm")
    with tempfile.TemporaryFile("w+") as log:
        process = subprocess.Popen(emulator + [probe] + arguments, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, stderr=log, env=env)
        lines = []
        deadline = time.monotonic() + PROBE_SECONDS
        try:
            for line in probe_lines(process, deadline):
                lines.append(line)
                if line.startswith("pause "):
                    on_pause(line[len("pause "):], lines)
                    process.stdin.write(b"go\n")
                    process.stdin.flush()
            process.wait(timeout=max(1, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            check(False, f"the probe ends within {PROBE_SECONDS} s")
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        log.seek(0)
        wine_log = log.read()
    print(f"probe {' '.join(arguments)}:", *lines, sep="\n  ", flush=True)
    check(process.returncode == 0, f"probe {arguments[0]} ends with 0, not {process.returncode}")
    rates = [int(rate) for rate in re.findall(r"non-standard baud rate (\d+)", wine_log)]
    return lines, rates


def fields(lines, head):
    return [line.split()[len(head.split()):] for line in lines if line.startswith(head + " ")]


def check_rate(asked, settings, unexact, where):
    """The slave runs at the rate asked; or, for a rate outside the system's list, Wine's
    serial driver has said it was asked for exactly that rate and (a pseudo-terminal taking
    no divisor of its own) left the line at 38400 baud."""
    if settings["rate"] == asked:
        return
    check(unexact and unexact[0] == asked and settings["cflag"] & CBAUD == termios.B38400,
          f"{where}: line at {settings['rate']} baud for {asked} (Wine named {unexact[:1]})")
    if unexact:
        unexact.pop(0)


def test_link(probe, emulator, line):
    """The link's whole way, line change by line change, as the Linux pty test has it."""
    snapshots = []

    def on_pause(label, lines):
        if label == "line":
            change = lines[-2].split()
            written = int(change[5])
            snapshots.append((line.await_bytes(written), line.settings()))
        elif label == "reply":
            line.send(bytes([0x55]) * REPLY_BLOCK_SIZE)

    lines, unexact = run_probe(probe, emulator, ["link", line.port], on_pause)
    check(fields(lines, "status") == [["open", "0"], ["frame", "0"]], "open and frame are FT_OK")
    line.await_bytes(2 * len(USB_BLOCK) + len(FRAME))
    check(bytes(line.received) == USB_BLOCK + FRAME + USB_BLOCK,
          f"the wire carries block, frame, block: {len(line.received)} bytes")

    usb, break_sent, frame_sent = len(USB_BLOCK), len(USB_BLOCK) + 1, len(USB_BLOCK + FRAME)
    # (rate, stop bits code, bytes written by then): the opening, the USB programmer, the
    # standard one, the break and back, the USB programmer again.
    expected = [(9600, 0, 0), (2_000_000, 0, 0), (2_000_000, 0, 0), (250_000, 0, usb),
                (250_000, 2, usb), (21_429, 2, usb), (250_000, 2, break_sent),
                (2_000_000, 2, frame_sent), (2_000_000, 0, frame_sent)]
    changes = fields(lines, "line")
    check(len(changes) == len(expected) == len(snapshots),
          f"{len(expected)} line changes, not {len(changes)}")
    for i, (want, change, (received, settings)) in enumerate(zip(expected, changes, snapshots)):
        result, rate, bits, stop, written, drained = (int(value) for value in change)
        where = f"change {i}"
        check((result, rate, bits, stop, written) == (0, want[0], 8, want[1], want[2]),
              f"{where}: asked {change}, expected rate/stop/written {want}")
        # Everything written under the old settings had left before the new ones applied.
        check(i == 0 or drained == 1, f"{where}: drained first")
        check(received == written, f"{where}: {received} bytes on the wire, {written} written")
        cflag = settings["cflag"]
        check(not cflag & (termios.PARODD | CMSPAR), f"{where}: no parity")
        check(bool(cflag & termios.CSTOPB) == (want[1] == 2), f"{where}: stop bits {want[1]}")
        check_rate(want[0], settings, unexact, where)
        # Raw both ways: no byte is changed or swallowed on the way.
        check(not settings["oflag"] & termios.OPOST, f"{where}: raw output")
        check(not settings["lflag"] & (termios.ICANON | termios.ECHO | termios.ISIG),
              f"{where}: raw input")
        check(not settings["iflag"] & (termios.IXON | termios.IXOFF | termios.ICRNL
                                        | termios.ISTRIP), f"{where}: no input translation")
    check(not unexact, f"Wine named rates no change asked: {unexact}")


def test_settings(probe, emulator, line):
    """Each divisor becomes the rate it means on the FTDI chip; each format the stop bits and
    parity it names. A pseudo-terminal keeps 8 bits and no parity bit whatever it is given,
    but it keeps the parity's kind: odd or mark, and mark or space."""
    snapshots = []

    def on_pause(label, lines):
        if label == "line":
            snapshots.append(line.settings())

    lines, unexact = run_probe(probe, emulator, ["settings", line.port], on_pause)
    rates = [(0, 3_000_000), (1, 2_000_000), (2, 1_500_000), (12, 250_000), (140, 21_429),
             (0x4000 | 12, 240_000), (3, 1_000_000), (0xC000 | 2, 1_411_765)]
    # (data bits, stop bits code, parity code): odd, even, mark, space, none.
    formats = [(7, 0, 1), (8, 2, 2), (7, 2, 3), (8, 0, 4), (8, 0, 0)]
    check(fields(lines, "divisor") == [[str(divisor), "0"] for divisor, _ in rates],
          "every divisor is FT_OK")
    # One and a half stop bits and 9 data bits are no line's format.
    check(fields(lines, "format") == [[str(v) for v in (*f, 0)] for f in formats]
          + [["8", "1", "0", "4"], ["9", "0", "0", "4"]],
          "the formats are FT_OK, 8N1.5 and 9N1 FT_IO_ERROR")
    changes = [[int(v) for v in change] for change in fields(lines, "line")]
    expected = [[0, 9600, 8, 0]] + [[0, rate, 8, 0] for _, rate in rates] + [
        [0, 1_411_765, *f[:2]] for f in formats]
    check([change[:4] for change in changes] == expected and len(snapshots) == len(expected),
          f"the line changes asked: {changes}")
    for i, (want, settings) in enumerate(zip(expected, snapshots)):
        check_rate(want[1], settings, unexact, f"change {i}")
    check(not unexact, f"Wine named rates no change asked: {unexact}")
    for (bits, stop, parity), settings in zip(formats, snapshots[1 + len(rates):]):
        cflag = settings["cflag"]
        where = f"format {bits} {stop} {parity}"
        check(bool(cflag & termios.CSTOPB) == (stop == 2), f"{where}: stop bits")
        check(bool(cflag & termios.PARODD) == (parity in (1, 3)), f"{where}: odd or mark")
        check(bool(cflag & CMSPAR) == (parity in (3, 4)), f"{where}: mark or space")


def test_timeouts(probe, emulator, line):
    """Reads end at their time-outs with what came since the opening; a write nobody reads
    ends short."""
    every_byte = bytes(range(256))

    def on_pause(label, lines):
        if label == "send":
            line.send(every_byte)

    # Bytes that came before the opening are thrown away by it. Until the adapter sets the
    # line raw, the pseudo-terminal echoes them, as no serial line would: the echo is left out.
    line.send(b"stale")
    line.await_bytes(len(b"stale"))
    line.received.clear()
    lines, _ = run_probe(probe, emulator, ["timeouts", line.port], on_pause)
    reads = {read[0]: read[1:] for read in fields(lines, "read")}
    check(len(reads) == 3, f"three reads: {reads}")
    status, moved, ms, data = reads.get("some", ["?"] * 4)
    check((status, moved, data) == ("0", "256", "-" + every_byte.hex()),
          f"a read takes every byte sent, unchanged: {status} {moved}")
    # The read asked for more than came, so it waits out its 100 ms time-out.
    check(ms.isdigit() and 100 <= int(ms) < 2000, f"a read ends at its time-out: {ms} ms")
    status, moved, ms, _ = reads.get("waiting", ["?"] * 4)
    check((status, moved) == ("0", "0") and ms.isdigit() and 300 <= int(ms) < 2000,
          f"a read with nothing to read ends empty at its 300 ms time-out: {status} {moved} {ms}")
    status, moved, ms, _ = reads.get("at-once", ["?"] * 4)
    # Well before the 300 ms the read before waited.
    check((status, moved) == ("0", "0") and ms.isdigit() and int(ms) < 200,
          f"a read with no time-out ends at once: {status} {moved} {ms}")
    writes = fields(lines, "write flood")
    check(len(writes) == 1, "one flood write")
    status, moved, ms, size = writes[0] if writes else ["?"] * 4
    check(status == "0" and moved.isdigit() and 0 < int(moved) < int(size),
          f"a write nobody reads ends FT_OK and short: {status} {moved} of {size}")
    check(ms.isdigit() and 100 <= int(ms) < 5000, f"the write ends at its time-out: {ms} ms")
    line.await_bytes(int(moved) if moved.isdigit() else 0)
    check(bytes(line.received) == bytes([0xAA]) * len(line.received) and len(line.received)
          == (int(moved) if moved.isdigit() else -1),
          f"the wire has the {moved} bytes written: {len(line.received)}")


def test_stall(probe, emulator, line):
    """Standard frames into a line nobody reads: the link reports the stall."""
    lines, _ = run_probe(probe, emulator, ["stall", line.port], lambda label, lines: None)
    stalls = fields(lines, "stall")
    check(len(stalls) == 1, "the frames end")
    status, frames, ms = (int(value) for value in stalls[0]) if stalls else (-1, -1, -1)
    check(status == LINE_STALLED and 1 < frames < 2000,
          f"a frame the line does not take is kLineStalled: {status} after {frames} frames")
    check(ms < 5000, f"the stalled frame ends at its write time-out: {ms} ms")


def test_gone(probe, emulator, line):
    """Unplugged after a frame: the next frame says the device is gone."""
    def on_pause(label, lines):
        if label == "unplug":
            line.hang_up()

    lines, _ = run_probe(probe, emulator, ["gone", line.port], on_pause)
    check(fields(lines, "status") == [["open", "0"], ["before", "0"], ["after", "2"]],
          "the frame after the unplug is FT_DEVICE_NOT_FOUND")


def test_unplugged(probe, emulator, line):
    """Unplugged while open: every call after it says the device is gone."""
    def on_pause(label, lines):
        if label == "unplug":
            line.hang_up()

    lines, _ = run_probe(probe, emulator, ["unplugged", line.port], on_pause)
    gone = str(FT_DEVICE_NOT_FOUND)
    check(fields(lines, "call") == [["write", gone], ["read", gone], ["rate", gone],
                                    ["format", gone], ["rts", gone], ["close", "0"]],
          "write, read, rate, format and RTS are FT_DEVICE_NOT_FOUND; the close FT_OK")


def test_open(probe, emulator, line, dosdevices):
    """The port by LUMORA_ADAPTER's name opens, and again once closed; a port that is not
    there is not found."""
    missing = next(f"COM{n}" for n in range(250, 100, -1)
                   if not os.path.lexists(os.path.join(dosdevices, f"com{n}")))
    lines, _ = run_probe(probe, emulator, ["open", line.port, missing], lambda *_: None)
    check(fields(lines, "open") == [[line.port, "0", "1"], [line.port, "0", "1"],
                                    [missing, str(FT_DEVICE_NOT_FOUND), "0"]],
          "the port opens twice in turn; the missing one is FT_DEVICE_NOT_FOUND, no handle")
    # A pseudo-terminal has no modem lines: setting them is no error.
    check(fields(lines, "modem") == [["0", "0", "0"]] * 2, "RTS and DTR set and cleared")


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: com_port_test.py PROBE EMULATOR [EMULATOR_ARGUMENT...]")
    probe, emulator = sys.argv[1], sys.argv[2:]
    # CTest ends a test that runs too long with SIGTERM: the links and the probe go first.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    dosdevices = os.path.join(wine_prefix(emulator), "dosdevices")
    if not os.path.isdir(dosdevices):
        sys.exit(f"no {dosdevices} to map the ports in")
    cases = [test_link, test_settings, test_timeouts, test_stall, test_gone, test_unplugged,
             lambda p, e, line: test_open(p, e, line, dosdevices)]
    for case in cases:
        line = Line(dosdevices)
        try:
            case(probe, emulator, line)
        finally:
            line.close()
    if failures:
        sys.exit(f"{len(failures)} checks failed")
    print("all checks passed")


if __name__ == "__main__":
    main()
