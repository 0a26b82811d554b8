#!/usr/bin/env python3
"""Programs an emulated FT232 chip from a QEMU guest and checks what reached its serial side.

The guest boots Debian's kernel with an xHCI controller and runs the build's own lumora-cli and
lumora from the host's tree (shared read-only over 9p) through the real libusb, libftdi and the
kernel's ftdi_sio driver. The host plugs a chip in for each run (QEMU's usb-serial, vendor 0403
product 6001) and pulls it out (device_del) when a run asks or mid-transfer, plays the Brightwave
USB programmer's replies on the chip's serial side, and keeps every byte the chip sent and QEMU's
trace of what the program asked of the chip, one pair of files a plug-in. Afterwards
guest_wire_check decodes each chip's bytes with the project's own wire decoder and packet
receiver and compares them with the image's packets and the line settings the protocol needs.

  guest.py --build BUILD --source SOURCE SCENARIO      SCENARIO: libftdi, kernel-driver, window

What QEMU's chip does otherwise than a real FT232, and so what is not checked here:
- It hands every byte to its character device at once, whatever the rate: the line's timing
  (the break's length, the marks, the gaps) is not modelled, so the rates are checked in the
  trace; and it reports its transmitter empty at once, so the wait before each rate change is
  not checked either (the backends' own tests check both against a modelled clock).
- It NAKs a read it has nothing for, where a real chip answers with its two status bytes every
  latency period: here the host answers every USB block with a reply, as the programmer does.
- QEMU's xHCI leaves a transfer to a chip already pulled unanswered, where a real controller
  fails it within microseconds: a control request the kernel's driver makes at that moment
  waits out its 5 s time-out. So the chip is pulled where the program makes no control
  request if it can: while it waits for a block's reply. A standard burst makes its control
  requests between frames without waiting for anything; when the kernel's driver reports a
  request that failed after the pull (it names a time-out -110 only for some), the program's
  second or two counts from that report.
"""

import argparse
import ctypes
import json
import os
import queue
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass, field

# What lumora-cli says when the programmer is lost and when the user may not open it, and the
# message the window shows (in Polish: the guest's locale is C).
LOST_PROGRAMMER = re.compile(r"programmer lost")
ACCESS_DENIED = re.compile(r"Programming from a normal user account")
WINDOW_LOST_PROGRAMMER = "Brak połączenia z programatorem"

# What QEMU's chip does otherwise than a real one, as the output says it (see above).
QEMU_CHIP_NOTES = [
    "QEMU's FT232 hands each byte on at once: rates and formats are checked in its trace, the "
    "line's timing (a break's length, the wait before a rate change) is not",
    "QEMU's FT232 NAKs a read it has nothing for, where a real one answers its status bytes "
    "every latency period: the host answers each USB block as the programmer does",
]
BLOCK = 528  # a USB programmer block
REPLY = 272  # the programmer's answer to each block
FRAME = 389  # a standard frame: the break byte, the start code and 387 slots
UNPLUG_LIMIT_S = 2.0  # from the chip pulled to the lost-programmer message
# The kernel's serial driver reporting a request to the chip that failed, after a time-out
# when QEMU left it unanswered.
KERNEL_DRIVER_FAILURE = re.compile(r"^\[ *[0-9.]+\] ftdi_sio \S+: ")
GUEST_LIMIT_S = 200  # a whole guest
QUIET_LIMIT_S = 90  # a guest that says nothing for this long has hung

# Settings other than the window's starting values (all controllers, program 1, speed 20, 16
# tubes): one DMX address (above 255, so both address bytes count), a solo program, a speed, fewer
# tubes.
USB_SETTINGS = ["--address", "300", "--solo-program", "5", "--speed", "9", "--tubes", "11"]
STANDARD_SETTINGS = ["--address", "7", "--solo-program", "56", "--speed", "32", "--tubes", "1"]


@dataclass
class Chip:
    """One plug-in of the emulated chip: what the program sends on it and how it ends."""

    name: str
    programmer: str  # usb or standard: the programmer behind the chip
    transfers: list  # "complete" and "cut", in order, as the wire must show them
    settings: list = field(default_factory=list)
    cut_after: int = 0  # bytes after the start of the transfer to cut, 0: none
    user: str = "root"  # lumora-cli's user


def cli_chips():
    """lumora-cli through one backend: each programmer cut off mid-transfer, then whole on the
    chip plugged in again, then as an ordinary user who may not open the chip."""
    return [
        # Pulled while the program waits for the 60th packet's reply; and as the 101st frame's
        # break and start code come (the program may be a frame further on by then).
        Chip("usb-cut", "usb", ["cut"], USB_SETTINGS, BLOCK * 61),
        Chip("usb", "usb", ["complete"], USB_SETTINGS),
        Chip("standard-cut", "standard", ["cut"], STANDARD_SETTINGS, BLOCK + FRAME * 100 + 2),
        Chip("standard", "standard", ["complete"], STANDARD_SETTINGS),
        Chip("denied", "usb", [], USB_SETTINGS, user="nobody"),
    ]


SCENARIOS = {
    "libftdi": ("usb", cli_chips()),
    "kernel-driver": ("tty:/dev/ttyUSB0", cli_chips()),
    # The window programs once, then again until the chip is pulled (60 blocks into the
    # transfer), then once more on the chip plugged back in.
    "window": (
        None,
        [
            Chip("window", "usb", ["complete", "cut"], cut_after=BLOCK * 60),
            Chip("window-again", "usb", ["complete"]),
        ],
    ),
}


def die_with_parent():
    """In the child before QEMU starts: the kernel kills QEMU when the runner dies, by any
    road (a time limit of CTest's included)."""
    pr_set_pdeathsig = 1
    ctypes.CDLL(None, use_errno=True).prctl(pr_set_pdeathsig, 9)


class Guest:
    """A QEMU guest with its console, its QMP monitor and the chips plugged into it."""

    def __init__(self, env, source, out, sockets):
        self.out = out
        self.sockets = sockets
        self.lines = queue.Queue()  # (time, console line)
        self.log = open(os.path.join(out, "console.log"), "w", encoding="utf-8")
        script = os.path.join(source, "tests", "guest", "guest_runs.sh")
        qmp = os.path.join(sockets, "qmp.sock")
        command = [
            "qemu-system-x86_64", "-accel", env["accel"], "-m", "1024", "-smp", "1",
            "-display", "none", "-vga", "none", "-nic", "none", "-no-reboot",
            "-serial", "stdio", "-monitor", "none", "-qmp", f"unix:{qmp},server=on,wait=off",
            "-kernel", env["kernel"], "-initrd", env["initrd"],
            "-append", f"console=ttyS0 panic=-1 quiet lumora_script={script} lumora_out={out}",
            "-fsdev", "local,id=host,path=/,security_model=none,readonly=on,multidevs=remap",
            "-device", "virtio-9p-pci,fsdev=host,mount_tag=host",
            "-fsdev", f"local,id=out,path={out},security_model=none",
            "-device", "virtio-9p-pci,fsdev=out,mount_tag=out",
            "-device", "qemu-xhci,id=xhci",
            "-trace", "usb_serial_*", "-trace", "usb_xhci_xfer_*",
            "-D", os.path.join(out, "boot.trace"),
        ]  # fmt: skip
        self.qemu = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT, preexec_fn=die_with_parent)
        self.console = threading.Thread(target=self._read_console, daemon=True)
        self.console.start()
        self.deleting = None  # the chip whose removal is under way
        self.pulled = set()
        try:
            self.qmp = self._connect(qmp)
            self.qmp.settimeout(30)  # a QEMU that stops answering fails the guest
            self.qmp_file = self.qmp.makefile("rw", encoding="utf-8")
            json.loads(self.qmp_file.readline())  # the greeting
            self.command("qmp_capabilities")
        except (OSError, RuntimeError, ValueError):
            self.stop()
            raise

    @staticmethod
    def _connect(path):
        for _ in range(200):
            try:
                client = socket.socket(socket.AF_UNIX)
                client.connect(path)
                return client
            except OSError:
                time.sleep(0.05)
        raise RuntimeError(f"QEMU's socket {path} never opened")

    def _read_console(self):
        for raw in self.qemu.stdout:
            line = raw.decode("utf-8", "replace").rstrip("\r\n")
            self.log.write(line + "\n")
            self.log.flush()
            self.lines.put((time.monotonic(), line))
        self.lines.put((time.monotonic(), None))

    def command(self, name, **arguments):
        self.qmp_file.write(json.dumps({"execute": name, "arguments": arguments}) + "\n")
        self.qmp_file.flush()
        while True:
            answer = json.loads(self.qmp_file.readline())
            if answer.get("event") == "DEVICE_DELETED":
                if self.deleting == answer["data"].get("device"):
                    self.deleting = None
            elif "return" in answer:
                return answer["return"]
            elif "error" in answer:
                raise RuntimeError(f"QEMU refused {name}: {answer['error']['desc']}")

    def plug(self, chip, reply):
        """Plugs a new chip in, its serial side a socket of ours, its trace a file of its own."""
        deadline = time.monotonic() + 10
        while self.deleting and time.monotonic() < deadline:
            self.command("query-status")  # reads the events that came meanwhile
            time.sleep(0.05)
        path = os.path.join(self.sockets, chip.name + ".sock")
        self.command("chardev-add", id="line-" + chip.name, backend={
            "type": "socket",
            "data": {"addr": {"type": "unix", "data": {"path": path}}, "server": True,
                     "wait": False}})
        wire = Wire(self._connect(path), os.path.join(self.out, chip.name + ".wire"), reply)
        self.command("human-monitor-command",
                     **{"command-line": "logfile " + os.path.join(self.out, chip.name + ".trace")})
        self.command("device_add", driver="usb-serial", id=chip.name, chardev="line-" + chip.name,
                     bus="xhci.0")
        return wire

    def unplug(self, chip):
        """Pulls the chip out, unless it is out already."""
        if chip.name in self.pulled:
            return
        self.pulled.add(chip.name)
        self.deleting = chip.name
        self.command("device_del", id=chip.name)

    def stop(self):
        """Stops QEMU if it still runs; returns its exit code."""
        if self.qemu.poll() is None:
            self.qemu.kill()
        code = self.qemu.wait()
        self.console.join(timeout=5)
        self.log.close()
        return code


class Wire:
    """The chip's serial side: every byte kept in a file, each USB block answered, and the
    moment to pull the chip out when one is set."""

    def __init__(self, connection, path, reply):
        self.connection = connection
        self.file = open(path, "wb")
        self.reply = reply
        self.count = 0
        self.cut_at = None
        self.cut_reached = threading.Event()
        self.lock = threading.Lock()
        threading.Thread(target=self._read, daemon=True).start()

    def cut_after(self, count):
        """Pulls the chip out once count more bytes have come. The block that reaches the count
        gets no reply: the program is waiting for it then, between two control requests."""
        with self.lock:
            self.cut_at = self.count + count

    def _read(self):
        while True:
            try:
                data = self.connection.recv(65536)
            except OSError:
                data = b""
            if not data:
                self.file.close()
                return
            self.file.write(data)
            self.file.flush()
            with self.lock:
                blocks_before = self.count // BLOCK
                self.count += len(data)
                answers = self.count // BLOCK - blocks_before
                if self.cut_at is not None and self.count >= self.cut_at:
                    self.cut_reached.set()
                    answers = 0
            if self.reply and answers:
                try:
                    self.connection.sendall(bytes(REPLY * answers))
                except OSError:
                    pass


def run_guest(env, source, out, chips, adapter, build):
    """Runs the guest through the plan; returns what happened, by chip: times and lines."""
    with open(os.path.join(out, "plan"), "w", encoding="utf-8") as plan:
        plan.write(f"build {build}\n")
        if adapter is None:
            plan.write("window window\n")
        else:
            for chip in chips:
                plan.write(f"cli {chip.name} {chip.user} {adapter} "
                           f"--programmer {chip.programmer} {' '.join(chip.settings)}\n")
    by_name = {chip.name: chip for chip in chips}
    events = {}  # (what, chip name) -> (time, text)
    sockets = tempfile.mkdtemp(prefix="lumora-guest-")
    wires = {}
    cutting = None  # (chip, wire) to pull out once its wire says so
    failure = None
    start = time.monotonic()
    heard = start
    guest = None
    try:
        guest = Guest(env, source, out, sockets)
        while True:
            now = time.monotonic()
            if now - start > GUEST_LIMIT_S:
                failure = f"the guest did not finish within {GUEST_LIMIT_S} s"
                break
            if now - heard > QUIET_LIMIT_S:
                failure = f"the guest said nothing for {QUIET_LIMIT_S} s"
                break
            if cutting and cutting[1].cut_reached.is_set():
                events[("pulled", cutting[0].name)] = (time.monotonic(), "")
                guest.unplug(cutting[0])
                cutting = None
            try:
                heard, line = guest.lines.get(timeout=0.005)
            except queue.Empty:
                continue
            if line is None:
                break
            if KERNEL_DRIVER_FAILURE.match(line):
                events[("kernel-failure", str(heard))] = (heard, line)
            said = re.match(r"lumora-guest: (\S+) ?(\S*) ?(.*)", line)
            if not said:
                continue
            what, name, rest = said.groups()
            events[(what, name)] = (heard, rest)
            # A transfer runs on the chip of its name, or of its name without its last word
            # (the window's "window-complete" and "window-cut" on the chip "window").
            chip = by_name.get(name) or by_name.get(name.rsplit("-", 1)[0])
            if what == "plug" and chip:
                wires[chip.name] = guest.plug(chip, chip.programmer == "usb")
            elif what == "start" and chip and name.endswith("-cut"):
                wires[chip.name].cut_after(chip.cut_after)
                cutting = (chip, wires[chip.name])
            elif what == "unplug" and chip:
                guest.unplug(chip)
            elif what == "window" and name == "failed":
                failure = "the window driver failed " + rest
    except (OSError, RuntimeError, ValueError) as error:
        failure = f"the host's side of the guest failed: {error}"
    finally:
        code = guest.stop() if guest else None
        shutil.rmtree(sockets, ignore_errors=True)
    if failure is None and events.get(("exit", "0")) is None:
        failure = f"the guest did not finish its plan (QEMU's exit code {code})"
    return events, failure, time.monotonic() - start


def check_wire(build, out, chip):
    """guest_wire_check on the chip's wire and trace; returns (passed, its report)."""
    command = [os.path.join(build, "tests", "guest", "guest_wire_check"),
               os.path.join(out, chip.name + ".wire"), os.path.join(out, chip.name + ".trace"),
               os.path.join(out, "image.bin"), "--programmer", chip.programmer,
               "--transfers", ",".join(chip.transfers)] + chip.settings
    result = subprocess.run(command, capture_output=True, text=True, check=False)
    return result.returncode == 0, (result.stdout + result.stderr).strip()


def read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as text:
            return text.read()
    except OSError:
        return ""


def check_runs(build, out, chips, events, scenario):
    """Every expectation of the runs; returns the failures and prints what was seen."""
    failures = []

    def expect(condition, text):
        if not condition:
            failures.append(text)

    for chip in chips:
        print(f"{scenario} {chip.name}:")
        if scenario == "window":
            latency_from = "message"
        else:
            latency_from = "ended"
            ended = events.get(("ended", chip.name))
            code = ended[1] if ended else "none"
            err = read(os.path.join(out, chip.name + ".err")).strip()
            said = err or read(os.path.join(out, chip.name + ".out")).strip()
            print(f"  lumora-cli exit {code}: {said.splitlines()[-1] if said else '(nothing)'}")
            if chip.user != "root":
                expect(code == "3", f"{chip.name}: exit {code}, not 3")
                expect(ACCESS_DENIED.search(err), f"{chip.name}: no access-denied message")
                wire = os.path.join(out, chip.name + ".wire")
                expect(read(wire) == "", f"{chip.name}: bytes sent without access")
                continue
            if chip.transfers[-1] == "cut":
                expect(code == "3", f"{chip.name}: exit {code}, not 3")
                expect(LOST_PROGRAMMER.search(err), f"{chip.name}: no lost-programmer message")
            else:
                expect(code == "0", f"{chip.name}: exit {code}, not 0")
                tty = events.get(("ttyUSB", chip.name), (0, "not looked for"))[1]
                print(f"  the kernel's serial driver after the run: /dev/ttyUSB0 {tty}")
                expect(tty == "back", f"{chip.name}: /dev/ttyUSB0 {tty} after the run")
        pulled = events.get(("pulled", chip.name))
        if "cut" in chip.transfers:
            cut_name = chip.name if chip.name.endswith("-cut") else chip.name + "-cut"
            shown = events.get((latency_from, cut_name))
            expect(pulled is not None, f"{chip.name}: the chip was never pulled")
            if pulled and shown:
                since = pulled[0]
                print(f"  {latency_from} {shown[0] - since:.2f} s after the chip was pulled")
                for (what, _), (when, line) in events.items():
                    if what == "kernel-failure" and since < when < shown[0]:
                        since = when
                        print(f"  {shown[0] - since:.2f} s after the kernel reported: {line}")
                latency = shown[0] - since
                expect(latency <= UNPLUG_LIMIT_S,
                       f"{chip.name}: {latency_from} {latency:.2f} s after the chip was pulled")
            else:
                expect(False, f"{chip.name}: nothing {latency_from} after the chip was pulled")
        passed, report = check_wire(build, out, chip)
        print("  " + report.replace("\n", "\n  "))
        expect(passed, f"{chip.name}: the wire does not hold the transfers expected")
    if scenario == "window":
        message = events.get(("message", "window-cut"), (0, ""))[1]
        after = events.get(("after", "window-cut"), (0, ""))[1]
        ended = events.get(("ended", "window"), (0, "none"))[1]
        print(f"  the message: \"{message}\"; then {after}; lumora exit {ended}")
        expect(message == WINDOW_LOST_PROGRAMMER, f"the window showed \"{message}\"")
        expect(after == 'progress 0, "Programuj sterownik" disabled',
               f"after the message the window shows {after}")
        expect(ended == "0", f"lumora exit {ended}: its driver found a window not as expected")
        while_open = events.get(("ttyUSB", "window-open"), (0, "not looked for"))[1]
        closed = events.get(("ttyUSB", "window-closed"), (0, "not looked for"))[1]
        print(f"  /dev/ttyUSB0 while the programming window is open: {while_open}; "
              f"after it closed: {closed}")
        expect(while_open == "absent", f"/dev/ttyUSB0 {while_open} while libftdi has the chip")
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    here = os.path.join(build, "tests", "guest")
    env_file = os.path.join(here, "guest.env")
    env = dict(line.rstrip("\n").split("=", 1) for line in open(env_file, encoding="utf-8"))
    adapter, chips = SCENARIOS[args.scenario]
    out = os.path.join(here, args.scenario)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    subprocess.run([os.path.join(here, "guest_fixture_files"), out], check=True)
    subprocess.run([os.path.join(build, "src", "cli", "lumora-cli"), "image", "show.prj",
                    "--table", "str.tab", "-o", "image.bin"], cwd=out, check=True)
    print(f"guest: {'KVM' if env['accel'] == 'kvm' else 'plain emulation (TCG)'}: "
          f"{env['accel_reason']}")
    for note in QEMU_CHIP_NOTES:
        print("guest: " + note)
    source = os.path.abspath(args.source)
    events, failure, seconds = run_guest(env, source, out, chips, adapter, build)
    print(f"guest: {args.scenario} ran for {seconds:.0f} s; its files are in {out}")
    failures = [failure] if failure else []
    failures += check_runs(build, out, chips, events, args.scenario)
    for text in failures:
        print("FAILED: " + text)
    if failures:
        print("the guest's console, last lines:\n" + "\n".join(read(
            os.path.join(out, "console.log")).splitlines()[-25:]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
