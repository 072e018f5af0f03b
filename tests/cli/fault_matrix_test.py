#!/usr/bin/env python3
"""varnel-cli's promises over whole runs, fault by fault: a seeded covering
set of every function, input kind, size and output kind under file-size
limits, full disks, signals, pipes that end early and inputs cut short
while they are read, and rows for standard streams, odd names and the
commit. Outputs are checked against a model of the functions written here,
never against the program's own code.

Every case checks the same promise: exit 0 exactly when OUTPUT holds the
model's bytes; any other end leaves an existing OUTPUT as it was, no new
one, nothing else in its folder, and a message naming OUTPUT or the
failing input. A failing test lists its broken cases, one a line.

CTest runs each group as cli.SUITE.NAME with the environment:
    VARNEL_CLI           the varnel-cli program of the native build
    VARNEL_MATRIX_SHARE  N: run one case in N of each group (the sanitized
                         build's share), 1 or unset for all
    VARNEL_SANITIZED     1 when the program is built with AddressSanitizer,
                         which reserves far more address space than a
                         limit on it leaves
"""

import array
import contextlib
import fcntl
import functools
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time
import unittest
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass

CLI = os.environ["VARNEL_CLI"]
SHARE = max(1, int(os.environ.get("VARNEL_MATRIX_SHARE", "1") or "1"))
SANITIZED = os.environ.get("VARNEL_SANITIZED") == "1"
STRACE = shutil.which("strace")
SEED = 2718
RATE = 8000
KIB, MIB, PAGE = 1 << 10, 1 << 20, 4096
WORKERS = 2
# Only against a program that hangs: no case needs more than seconds.
HUNG_AFTER = 120

# FUNCTION: (words before the inputs, inputs, output channels)
FUNCTIONS = {
    "mono": (["mono"], 2, 1),
    "mono3": (["mono"], 3, 1),
    "mono-pad": (["--pad", "mono"], 2, 1),
    "mono-average": (["--average", "mono"], 2, 1),
    "stereo": (["stereo"], 2, 2),
    "stereo-pad": (["--pad", "stereo"], 2, 2),
    "join12": (["join12"], 2, 1),
    "join21": (["join21"], 2, 1),
    "join3": (["join"], 3, 1),
}
# raw files, WAV files, a raw file on standard input, raw files of odd length
INPUT_KINDS = ["raw", "wav", "stdin", "odd"]
# The first input's length; the others are a little shorter, so that --pad
# has something to cover.
SIZES = {"small": 5 * KIB, "piece": MIB + 1, "big": 3 * MIB + 1}
OUTPUT_KINDS = ["new", "existing", "wav", "stdout"]
FAULTS = ["none", "fsize-header", "fsize-mid", "fsize-1mib", "fsize-last", "disk-header", "disk-mid", "disk-1mib",
          "disk-last", "sigint", "sigkill", "pipe-ends", "truncated"]
GROUPS = {
    "no_fault": ["none"],
    "file_size_limit": ["fsize-header", "fsize-mid", "fsize-1mib", "fsize-last"],
    "full_disk": ["disk-header", "disk-mid", "disk-1mib", "disk-last"],
    "signals": ["sigint", "sigkill"],
    "pipe_ends_early": ["pipe-ends"],
    "input_truncated": ["truncated"],
}
OLD_OUTPUT = b"KEEP" * 1000
SYSCALL_READ, SYSCALL_SPLICE = 0, 275
COMMIT_SYSCALLS = {"linkat": 265, "rename": 82, "renameat": 264, "renameat2": 316}


# --- The model: what each function writes, from the definitions alone ------

def samples(data):
    values = array.array("h", data[: len(data) // 2 * 2])
    if sys.byteorder != "little":
        values.byteswap()
    return values


def sample_bytes(values):
    values = array.array("h", values)
    if sys.byteorder != "little":
        values.byteswap()
    return values.tobytes()


def mean_to_even(total, count):
    whole, rest = divmod(total, count)
    return whole + 1 if 2 * rest > count or (2 * rest == count and whole % 2) else whole


def mixed(datas, pad, average):
    inputs = [samples(d) for d in datas]
    length = max(map(len, inputs)) if pad else min(map(len, inputs))
    inputs = [s[:length] + array.array("h", bytes(2 * max(0, length - len(s)))) for s in inputs]
    if average:
        return sample_bytes(mean_to_even(sum(column), len(column)) for column in zip(*inputs))
    return sample_bytes(max(-32768, min(32767, sum(column))) for column in zip(*inputs))


def interleaved(left, right, pad):
    left, right = samples(left), samples(right)
    length = max(len(left), len(right)) if pad else min(len(left), len(right))
    frames = array.array("h", bytes(4 * length))
    frames[0::2] = left[:length] + array.array("h", bytes(2 * (length - len(left[:length]))))
    frames[1::2] = right[:length] + array.array("h", bytes(2 * (length - len(right[:length]))))
    return sample_bytes(frames)


@functools.lru_cache(maxsize=32)
def cached_model(function, datas):
    return model_samples(function, datas)


def model_samples(function, datas):
    """The output's samples (no header) from the inputs' samples: a raw
    file's bytes, a WAV file's data chunk."""
    if function.startswith("join"):
        return b"".join(reversed(datas) if function == "join21" else datas)
    if function.startswith("stereo"):
        return interleaved(datas[0], datas[1], function == "stereo-pad")
    return mixed(datas, function == "mono-pad", function == "mono-average")


def wav_header(data_bytes, channels, claimed=None, junk=False):
    """The canonical 44-byte header; `claimed` 0xFFFFFFFF for a stream;
    `junk`, the header of an output whose length was not known when it began:
    a JUNK chunk keeps room for RF64's sizes, 80 bytes in all."""
    block = 2 * channels
    room = b"JUNK" + struct.pack("<I", 28) + bytes(28) if junk else b""
    riff = claimed if claimed is not None else 36 + len(room) + data_bytes + data_bytes % 2
    data = claimed if claimed is not None else data_bytes
    return (b"RIFF" + struct.pack("<I", riff) + b"WAVE" + room + b"fmt " +
            struct.pack("<IHHIIHH", 16, 1, channels, RATE, RATE * block, block, 16) + b"data" + struct.pack("<I", data))


def wav_file(data, channels=1, junk=False):
    return wav_header(len(data), channels, junk=junk) + data + b"\0" * (len(data) % 2)


def has_junk_chunk(output):
    """Whether a WAV OUTPUT kept room for RF64's sizes: one whose inputs' length was not known."""
    return output is not None and output[12:16] == b"JUNK"


def first_difference(got, wanted):
    if got == wanted:
        return None
    low, high = 0, min(len(got), len(wanted))
    while low < high:  # the longest common prefix, by halves
        middle = (low + high + 1) // 2
        if got[:middle] == wanted[:middle]:
            low = middle
        else:
            high = middle - 1
    return low


def differs(got, wanted):
    at = first_difference(got, wanted)
    return None if at is None else f"{len(got)} bytes where the model has {len(wanted)}, first difference at {at}"


# --- The inputs ------------------------------------------------------------

def input_data(kind, size, index):
    """The samples input `index` holds: the same bytes for the same kind and
    size in every case and every run."""
    length = SIZES[size] - index * 2 * 301
    if kind == "wav":
        length -= length % 2
    elif kind == "odd":
        length |= 1
    return random.Random(f"{SEED}/{kind}/{size}/{index}").randbytes(length)


def file_bytes(kind, data):
    return wav_file(data) if kind == "wav" else data


# --- The covering set ------------------------------------------------------

@dataclass(frozen=True)
class Case:
    function: str
    fault: str
    inputs: str
    output: str
    size: str

    @property
    def name(self):
        return f"{self.function}/{self.inputs}/{self.size}/{self.output}/{self.fault}"


def covering_set():
    """Every pair of values of any two dimensions in some case (function x
    fault, input kind x fault, size x output kind...): greedily, each case
    chosen among seeded random candidates for the most pairs it adds."""
    dimensions = [list(FUNCTIONS), FAULTS, INPUT_KINDS, OUTPUT_KINDS, list(SIZES)]
    wanted = {(i, a, j, b) for i in range(5) for j in range(i + 1, 5) for a in dimensions[i] for b in dimensions[j]}
    chooser = random.Random(SEED)
    cases = []
    while wanted:
        i, a, j, b = min(wanted)
        best, best_gain = None, -1
        for _ in range(60):
            candidate = [chooser.choice(d) for d in dimensions]
            candidate[i], candidate[j] = a, b
            gain = sum((x, candidate[x], y, candidate[y]) in wanted for x in range(5) for y in range(x + 1, 5))
            if gain > best_gain:
                best, best_gain = candidate, gain
        wanted -= {(x, best[x], y, best[y]) for x in range(5) for y in range(x + 1, 5)}
        cases.append(Case(*best))
    return cases


MATRIX = covering_set()


def share(cases):
    """The sanitized build's share: one case in SHARE, the same ones each run."""
    return cases[::SHARE]


# --- Running a case --------------------------------------------------------

def limited(argv, fsize=None, address_space=None):
    """argv under a resource limit set in the child, SIGXFSZ ignored so that
    a write past the limit fails as a write, as a shell's `ulimit -f` with
    `trap '' XFSZ` gives."""
    if fsize is None and address_space is None:
        return argv
    script = ("import os, resource, signal, sys\n"
              "signal.signal(signal.SIGXFSZ, signal.SIG_IGN)\n"
              "for limit, value in ((resource.RLIMIT_FSIZE, sys.argv[1]), (resource.RLIMIT_AS, sys.argv[2])):\n"
              "    if value != '-': resource.setrlimit(limit, (int(value), int(value)))\n"
              "os.execv(sys.argv[3], sys.argv[3:])\n")
    return [sys.executable, "-c", script, "-" if fsize is None else str(fsize),
            "-" if address_space is None else str(address_space), *argv]


def mount_tmpfs(folder, size):
    try:
        return subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", folder],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
    except OSError:  # no mount program
        return False


def mounting_refused():
    with tempfile.TemporaryDirectory() as folder:
        if not mount_tmpfs(folder, PAGE):
            return True
        subprocess.run(["umount", folder], check=True)
        return False


MOUNTING_REFUSED = mounting_refused()


def proc_syscalls(pid):
    """(number, first argument) of the system call each thread of `pid` is
    in, for those that are blocked or stopped in one."""
    calls = []
    try:
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/syscall") as f:
                fields = f.read().split()
            if fields and fields[0].lstrip("-").isdigit() and len(fields) > 1:
                calls.append((int(fields[0]), int(fields[1], 16)))
    except OSError:
        pass
    return calls


def fd_of(pid, path):
    target = os.path.realpath(path)
    try:
        for fd in os.listdir(f"/proc/{pid}/fd"):
            if os.path.realpath(f"/proc/{pid}/fd/{fd}") == target:
                return int(fd)
    except OSError:
        pass
    return None


def wait_until(process, condition):
    """Polls until `condition` holds or the program ends; never a timed
    outcome: the program decides when it gets there."""
    deadline = time.monotonic() + HUNG_AFTER
    while time.monotonic() < deadline:
        if condition():
            return True
        if process.poll() is not None:
            return False
        time.sleep(0.002)
    return False


def open_fifo_for_writing(process, path):
    """The write end, once the program has opened the read end (None if it
    ended first)."""
    deadline = time.monotonic() + HUNG_AFTER
    while time.monotonic() < deadline and process.poll() is None:
        try:
            fd = os.open(path, os.O_WRONLY | os.O_NONBLOCK)
        except OSError:
            time.sleep(0.002)
            continue
        fcntl.fcntl(fd, fcntl.F_SETFL, fcntl.fcntl(fd, fcntl.F_GETFL) & ~os.O_NONBLOCK)
        return fd
    return None


def feed(fd, data):
    view, done = memoryview(data), 0
    try:
        while done < len(view):
            done += os.write(fd, view[done:done + MIB])
        return True
    except OSError:  # the program went away: what it read is what counts
        return False


def unread_bytes(fd):
    buffer = array.array("i", [0])
    fcntl.ioctl(fd, termios.FIONREAD, buffer)
    return buffer[0]


class Run:
    """One run of the program in a folder of its own: in/ the inputs, out/
    OUTPUT's folder (a small tmpfs for a full disk)."""

    def __init__(self, root, case):
        self.case = case
        self.folder = os.path.join(root, case.name.replace("/", "_"))
        os.makedirs(os.path.join(self.folder, "in"))
        self.output_folder = os.path.join(self.folder, "fs", "out") if case.fault.startswith("disk") else \
            os.path.join(self.folder, "out")
        words, count, self.channels = FUNCTIONS[case.function]
        self.datas = [input_data(case.inputs, case.size, i) for i in range(count)]
        self.file_kind = "wav" if case.inputs == "wav" else "raw"
        # The input the program reads first, which signals and truncation
        # wait behind, and the one truncated while the run waits there.
        self.gate = 1 if case.function == "join21" else 0
        self.truncated = max(i for i in range(count) if i != self.gate)
        self.stdin_input = (self.truncated if case.fault in ("sigint", "sigkill", "pipe-ends", "truncated")
                            else 0) if case.inputs == "stdin" else None
        self.paths = [f"in/{i + 1}.{'wav' if self.file_kind == 'wav' else 'pcm'}" for i in range(count)]
        self.fifo = case.fault in ("sigint", "sigkill", "pipe-ends", "truncated")
        self.output_name = "out/o.wav" if case.output == "wav" else "out/o.pcm"
        # Not quiet: the summary's notes are checked too.
        self.argv = [CLI, "-r", str(RATE), *words[:-1], words[-1]]
        self.argv += ["-" if i == self.stdin_input else p for i, p in enumerate(self.paths)]
        self.argv.append("-" if case.output == "stdout" else self.output_name)
        self.expected = self.model(self.datas)

    def model(self, datas, junk=False):
        data = cached_model(self.case.function, tuple(datas))
        return wav_file(data, self.channels, junk) if self.case.output == "wav" else data

    def path(self, name):
        return os.path.join(self.folder, name)

    def prepare(self):
        """Returns a note when the case cannot be set up here, else None."""
        case = self.case
        if case.fault.startswith("disk"):
            free = {"disk-header": 20, "disk-mid": len(self.expected) // 2 | 1, "disk-1mib": MIB,
                    "disk-last": len(self.expected) - 1}[case.fault]
            old = -(-len(OLD_OUTPUT) // PAGE) if case.output == "existing" else 0
            fs = self.path("fs")
            os.makedirs(fs)
            # A page more than the room left, taken by a file beside OUTPUT's
            # folder: tmpfs takes no size of 0 pages.
            if MOUNTING_REFUSED or not mount_tmpfs(fs, (old + free // PAGE + 1) * PAGE):
                return "mounting a tmpfs is refused here"
            self.mounted = fs
            with open(os.path.join(fs, "filler"), "wb") as f:
                f.write(b"\0" * PAGE)
        os.makedirs(self.output_folder)
        if self.output_folder != self.path("out"):
            os.symlink(self.output_folder, self.path("out"))
        for i, data in enumerate(self.datas):
            with open(self.path(self.paths[i]), "wb") as f:
                f.write(file_bytes(self.file_kind, data))
        if self.fifo:
            os.unlink(self.path(self.paths[self.gate]))
            os.mkfifo(self.path(self.paths[self.gate]))
        if case.output in ("existing", "stdout"):
            with open(self.path(self.output_name), "wb") as f:
                f.write(OLD_OUTPUT if case.output == "existing" else b"")
        return None

    def fault_limit(self):
        fault = self.case.fault
        if not fault.startswith("fsize"):
            return None
        return {"fsize-header": 20, "fsize-mid": len(self.expected) // 2 | 1, "fsize-1mib": MIB,
                "fsize-last": len(self.expected) - 1}[fault]

    def execute(self):
        case = self.case
        stdin = open(self.path(self.paths[self.stdin_input]), "rb") if self.stdin_input is not None else None
        stdout = open(self.path(self.output_name), "r+b") if case.output == "stdout" else None
        try:
            # stderr into a pipe: a file-size limit would cut a file short.
            process = subprocess.Popen(limited(self.argv, fsize=self.fault_limit()), cwd=self.folder,
                                       stdin=stdin or subprocess.DEVNULL, stdout=stdout or subprocess.DEVNULL,
                                       stderr=subprocess.PIPE)
            said = []
            reader = threading.Thread(target=lambda: said.append(process.stderr.read()))
            reader.start()
            self.fed = self.datas
            if self.fifo:
                self.drive(process)
            try:
                self.status = process.wait(timeout=HUNG_AFTER)
            except subprocess.TimeoutExpired:
                process.kill()
                self.status = "hung"
                process.wait()
            reader.join()
            process.stderr.close()
            self.stderr = said[0].decode(errors="replace")
        finally:
            for f in (stdin, stdout):
                if f:
                    f.close()

    def drive(self, process):
        """Feeds the first input through its pipe: half of it, then, once the
        program has taken all of that and waits for more, the fault."""
        case = self.case
        whole = file_bytes(self.file_kind, self.datas[self.gate])
        header = 44 if self.file_kind == "wav" else 0
        half = header + (len(whole) - header) // 2
        half -= (half - header) % 2 if self.file_kind == "wav" else 0
        if self.file_kind != "wav":
            half |= 1  # a pipe that ends in an odd byte
        fd = open_fifo_for_writing(process, self.path(self.paths[self.gate]))
        if fd is None:
            return
        try:
            if case.fault == "pipe-ends":
                feed(fd, whole[:half])
                self.fed = [whole[header:half] if i == self.gate else d for i, d in enumerate(self.datas)]
                return
            if not feed(fd, whole[:half]):
                return
            # The program's descriptor is looked up each time: its open of
            # the pipe may not have returned when ours did.
            gate = self.path(self.paths[self.gate])
            wait_until(process, lambda: unread_bytes(fd) == 0 and (SYSCALL_READ, fd_of(process.pid, gate)) in
                       proc_syscalls(process.pid))
            if case.fault == "sigint":
                process.send_signal(signal.SIGINT)
            elif case.fault == "sigkill":
                process.kill()
            else:
                data = self.datas[self.truncated]
                self.cut = len(data) // 3 - len(data) // 3 % 2
                os.truncate(self.path(self.paths[self.truncated]), header + self.cut)
                feed(fd, whole[half:])
        finally:
            os.close(fd)

    def honest(self, output):
        """None when `output` is what the inputs held, else what is wrong."""
        if self.case.fault != "truncated":
            return differs(output, self.model(self.fed, has_junk_chunk(output)))
        return honest_after_cut(self.case.function, self.datas, self.truncated, getattr(self, "cut", None),
                                output, self.channels if self.case.output == "wav" else None)

    def broken(self):
        """The promises this run broke, in words."""
        case, broken = self.case, []
        status, named = self.status, case.output != "stdout"
        output_path = self.path(self.output_name)
        exists = os.path.exists(output_path)
        output = read(output_path) if exists else None
        if status == "hung":
            return ["did not end"]
        if "Sanitizer" in self.stderr or "runtime error" in self.stderr:
            broken.append("a sanitizer report")
        if status == 0:
            wrong = self.honest(output) if exists else "no OUTPUT"
            if wrong:
                broken.append(f"exit 0 with OUTPUT not the model's: {wrong}")
            if "changed length" in self.stderr and case.fault != "truncated":
                broken.append("says an input changed length, which none did")
        else:
            own_signal = {"sigint": (130, -signal.SIGINT), "sigkill": (-signal.SIGKILL,)}.get(case.fault, ())
            if status not in (1, *own_signal):
                broken.append(f"exit status {status}")
            if case.fault in ("none", "pipe-ends") or (case.fault.startswith("fsize")
                                                        and self.fault_limit() >= len(self.expected)):
                broken.append(f"failed with room for all: {first_line(self.stderr)}")
            if named and case.output == "existing" and output != OLD_OUTPUT:
                broken.append("the existing OUTPUT changed")
            if named and case.output != "existing" and exists:
                broken.append("a new OUTPUT was left")
            names = [self.output_name if named else "standard output", *self.paths]
            if status != -signal.SIGKILL and not any(f"'{n}'" in self.stderr or n in self.stderr for n in names):
                if not (status == 130 and not named and self.stderr.strip()):
                    broken.append(f"no file named: {first_line(self.stderr)}")
        left = sorted(set(os.listdir(self.output_folder)) - {os.path.basename(self.output_name)})
        if left:
            broken.append(f"left in OUTPUT's folder: {' '.join(left)}")
        for i, data in enumerate(self.datas):
            if i == self.gate and self.fifo or case.fault == "truncated" and i == self.truncated:
                continue
            if read(self.path(self.paths[i])) != file_bytes(self.file_kind, data):
                broken.append(f"input {i + 1} changed")
        return broken

    def cleanup(self):
        if getattr(self, "mounted", None):
            subprocess.run(["umount", "-l", self.mounted], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def first_line(text):
    return (text.strip().splitlines() or ["(nothing on stderr)"])[0][:160]


def honest_after_cut(function, datas, target, cut, output, wav_channels):
    """An input truncated to `cut` bytes of samples while the run reads it
    held, at the moments the program read it, some prefix of at least `cut`
    bytes: the output must be the model's for one such prefix."""
    if wav_channels is not None:
        junk = has_junk_chunk(output)
        header = 80 if junk else 44
        if len(output) < header:
            return "a WAV OUTPUT without a whole header"
        size = struct.unpack_from("<I", output, header - 4)[0]
        data = output[header:header + size]
        if output != wav_file(data, wav_channels, junk):
            return "a WAV OUTPUT whose header does not match its samples"
        output = data
    if cut is None:  # the run ended before the cut
        return differs(output, model_samples(function, datas))
    held = [d[:cut] if i == target else d for i, d in enumerate(datas)]
    if function.startswith("join"):
        order = list(reversed(range(len(datas)))) if function == "join21" else list(range(len(datas)))
        before = b"".join(datas[i] for i in order[:order.index(target)])
        after = b"".join(datas[i] for i in order[order.index(target) + 1:])
        middle = output[len(before):len(output) - len(after)]
        if (not output.startswith(before) or not output.endswith(after) or len(middle) < cut
                or datas[target][:len(middle)] != middle):
            return "not the inputs with a prefix of the truncated one: " + (
                differs(output, model_samples(function, held)) or "")
        return None
    full = model_samples(function, datas)
    if not function.endswith("-pad"):
        if full[:len(output)] != output or len(output) < len(model_samples(function, held)):
            return "not the model over a prefix of the truncated input: " + (
                differs(output, model_samples(function, held)) or "")
        return None
    unit = 4 if function.startswith("stereo") else 2
    silent = model_samples(function, [b"" if i == target else d for i, d in enumerate(datas)])
    if len(output) > len(silent):
        return None if full.startswith(output) and len(output) // unit * 2 >= cut else "not a prefix of the model"
    agreed = (first_difference(output, full) or len(output)) // unit * unit
    if len(output) != len(silent) or output[agreed:] != silent[agreed:] or agreed // unit * 2 < min(cut, len(
            silent) // unit * 2):
        return "not the model over a prefix of the truncated input, padded"
    return None


def run_case(root, case):
    run = Run(root, case)
    try:
        note = run.prepare()
        if note:
            return case, None, note
        run.execute()
        return case, run.broken(), None
    finally:
        run.cleanup()


class FaultMatrix(unittest.TestCase):
    def run_group(self, faults):
        cases = share([c for c in MATRIX if c.fault in faults])
        with tempfile.TemporaryDirectory() as root, ThreadPoolExecutor(WORKERS) as pool:
            results = list(pool.map(lambda c: run_case(root, c), cases))
        notes = sorted({note for _, _, note in results if note})
        failures = [f"{case.name}: {'; '.join(broken)}" for case, broken, _ in results if broken]
        ran = sum(1 for _, broken, _ in results if broken is not None)
        print(f"{ran} of {len(cases)} cases run" + "".join(f"; skipped: {n}" for n in notes), file=sys.stderr)
        if ran == 0 and notes:
            self.skipTest("; ".join(notes))
        if failures:
            self.fail(f"{len(failures)} of {ran} cases broke a promise:\n" + "\n".join(failures))

    def test_no_fault(self):
        self.run_group(GROUPS["no_fault"])

    def test_file_size_limit(self):
        self.run_group(GROUPS["file_size_limit"])

    def test_full_disk(self):
        self.run_group(GROUPS["full_disk"])

    def test_signals(self):
        self.run_group(GROUPS["signals"])

    def test_pipe_ends_early(self):
        self.run_group(GROUPS["pipe_ends_early"])

    def test_input_truncated(self):
        self.run_group(GROUPS["input_truncated"])


def traced(argv, folder, strace_options):
    """argv under strace; a sanitized program's leak check, which traces
    the program itself, cannot run there."""
    options = os.environ.get("ASAN_OPTIONS", "")
    environment = dict(os.environ, ASAN_OPTIONS=(options + ":" if options else "") + "detect_leaks=0")
    return subprocess.Popen([STRACE, "-f", "-qq", "-o", "/dev/null", *strace_options, *argv], cwd=folder,
                            env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def traced_child(tracer):
    """The program strace started, once it has."""
    try:
        with open(f"/proc/{tracer.pid}/task/{tracer.pid}/children") as f:
            children = f.read().split()
        return int(children[0]) if children else None
    except OSError:
        return None


def signal_exit(status, number):
    return status in (128 + number, -number)


class FaultRows(unittest.TestCase):
    """Single runs the covering set cannot reach: the names the user types,
    standard streams that stand at an offset or are an input, pipes into a
    WAV pipe, a truncation and a signal at a chosen instant, and an
    address-space limit. Each row's broken promise is listed, as above."""

    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.folder = folder.name
        self.failures = []
        self.s1 = random.Random(f"{SEED}/s1").randbytes(1600)
        self.s2 = random.Random(f"{SEED}/s2").randbytes(1000)
        self.write("s1.pcm", self.s1)
        self.write("s2.pcm", self.s2)

    def path(self, name):
        return os.path.join(self.folder, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        return read(self.path(name)) if os.path.exists(self.path(name)) else None

    def run_cli(self, *words, stdin=None, stdout=None, fsize=None, address_space=None, feed_bytes=None):
        """(exit status, stdout if piped, stderr) of a run in the folder."""
        if feed_bytes is not None:
            stdin, writer = os.pipe()
        process = subprocess.Popen(limited([CLI, *words], fsize=fsize, address_space=address_space),
                                   cwd=self.folder, stdin=stdin or subprocess.DEVNULL,
                                   stdout=stdout or subprocess.PIPE, stderr=subprocess.PIPE)
        if feed_bytes is not None:
            os.close(stdin)
            threading.Thread(target=lambda: (feed(writer, feed_bytes), os.close(writer))).start()
        try:
            out, err = process.communicate(timeout=HUNG_AFTER)
        except subprocess.TimeoutExpired:
            process.kill()
            out, err = process.communicate()
            return "hung", out, err.decode(errors="replace")
        return process.returncode, out, err.decode(errors="replace")

    def broke(self, row, what):
        self.failures.append(f"{row}: {what}")

    def report(self):
        if self.failures:
            self.fail(f"{len(self.failures)} rows broke a promise:\n" + "\n".join(self.failures))

    def test_names_are_taken_literally(self):
        decoys = {name: b"DECOY" + name.encode() for name in ("take", "a", "b", "out", "x", "-")}
        for name in ("[take]", "[a,b]", "a,b", "x=y", "-lead", "with space", "[out]", "[-]"):
            for as_output in (False, True):
                for decoy, data in decoys.items():
                    self.write(decoy, data)
                for leftover in set(os.listdir(self.folder)) - set(decoys) - {"s1.pcm", "s2.pcm"}:
                    os.unlink(self.path(leftover))
                if not as_output:
                    self.write(name, self.s1)
                words = ["s1.pcm", "s2.pcm", name] if as_output else [name, "s2.pcm", "o.pcm"]
                row = f"{'output' if as_output else 'input 1'} {name!r}"
                status, _, err = self.run_cli("-q", "join12", "--", *words)
                if status != 0:
                    self.broke(row, f"exit {status}: {first_line(err)}")
                elif self.read(words[2]) != self.s1 + self.s2:
                    self.broke(row, f"{words[2]!r} is not input 1 then input 2")
                changed = [d for d, data in decoys.items() if self.read(d) != data]
                if changed:
                    self.broke(row, f"another file was used or written: {' '.join(changed)}")
                made = set(os.listdir(self.folder)) - set(decoys) - {"s1.pcm", "s2.pcm", name, words[2]}
                if made:
                    self.broke(row, f"other files made: {' '.join(sorted(made))}")
        self.report()

    def test_standard_output_that_is_an_input_is_refused(self):
        for function, position in (("join12", 1), ("join21", 1), ("mono", 1), ("stereo", 1), ("join12", 2)):
            row = f"{function} ... >> input {position}"
            inputs = ["i.pcm", "s2.pcm"] if position == 1 else ["s2.pcm", "i.pcm"]
            self.write("i.pcm", self.s1)
            with open(self.path("i.pcm"), "ab") as appended:
                # A limit stops a join that would read what it writes.
                status, _, err = self.run_cli("-q", function, *inputs, "-", stdout=appended, fsize=MIB)
            if status != 1 or self.read("i.pcm") != self.s1 or f"input {position}" not in err:
                self.broke(row, f"exit {status}, input {len(self.read('i.pcm'))} bytes: {first_line(err)}")
        self.report()

    def test_a_wav_on_standard_output_begins_where_standard_output_stands(self):
        prefix = b"PREFIX"
        w1 = random.Random(f"{SEED}/w1").randbytes(2400)
        self.write("w1.wav", wav_file(w1))
        self.write("w2.wav", wav_file(self.s2))
        rows = {  # row: (words, piped input, the model's samples)
            "raw pipe": (["-r", str(RATE), "join12", "-", "s2.pcm"], self.s1, self.s1 + self.s2),
            "WAV pipe": (["join12", "-", "w2.wav"], wav_file(w1), w1 + self.s2),
            "files only": (["join12", "w1.wav", "w2.wav"], None, w1 + self.s2),
        }
        for (row, (words, piped, data)), appending in ((r, a) for r in rows.items() for a in (True, False)):
            row = f"{row}, {'appended' if appending else 'at offset 6'}"
            self.write("ap.wav", prefix)
            with open(self.path("ap.wav"), "ab" if appending else "r+b") as out:
                out.seek(len(prefix))
                status, _, err = self.run_cli("-q", "-t", "wav", *words, "-", stdout=out, feed_bytes=piped)
            got = self.read("ap.wav")
            # A pipe's length is not known: the header keeps room for RF64's sizes.
            true = prefix + wav_file(data, junk=bool(piped))
            streamed = prefix + wav_header(len(data), 1, claimed=0xFFFFFFFF) + data + b"\0" * (len(data) % 2)
            # Appending, the header cannot be corrected: streaming sizes then.
            if status != 0 or got not in ((true, streamed) if appending and piped else (true,)):
                self.broke(row, f"exit {status}, {len(got)} bytes, RIFF at "
                                f"{[i for i in range(len(got)) if got.startswith(b'RIFF', i)]}: {first_line(err)}")
        self.report()

    def test_standard_input_is_read_from_where_it_stands(self):
        w1 = random.Random(f"{SEED}/w1").randbytes(2400)
        self.write("junk-then-wav", b"JUNK" + wav_file(w1))
        rows = {  # row: (file, offset, words, output)
            "join12 at 100": ("s1.pcm", 100, ["join12", "-", "s2.pcm"], self.s1[100:] + self.s2),
            "join21 at 101": ("s1.pcm", 101, ["join21", "-", "s2.pcm"], self.s2 + self.s1[101:]),
            "mono at 100": ("s1.pcm", 100, ["mono", "-", "s2.pcm"], mixed([self.s1[100:], self.s2], False, False)),
            "stereo at 100": ("s1.pcm", 100, ["stereo", "s2.pcm", "-"], interleaved(self.s2, self.s1[100:], False)),
            "a WAV at 4": ("junk-then-wav", 4, ["join12", "-", "s2.pcm"], w1 + self.s2),
        }
        for row, (name, offset, words, output) in rows.items():
            with open(self.path(name), "rb") as stdin:
                stdin.seek(offset)
                status, _, err = self.run_cli("-q", *words, "o.pcm", stdin=stdin)
            wrong = differs(self.read("o.pcm") or b"", output)
            if status != 0 or wrong:
                self.broke(row, f"exit {status}, {wrong}: {first_line(err)}")
        self.report()

    def test_raw_pipes_into_a_wav_pipe(self):
        w1 = random.Random(f"{SEED}/w1").randbytes(2400)
        self.write("w1.wav", wav_file(w1))
        rows = {  # row: (words, piped, samples, channels)
            "mono": (["mono", "s1.pcm", "-"], self.s1, mixed([self.s1, self.s1], False, False), 1),
            "join12": (["join12", "-", "s2.pcm"], self.s1, self.s1 + self.s2, 1),
            "join21": (["join21", "-", "s2.pcm"], self.s1, self.s2 + self.s1, 1),
            "stereo": (["stereo", "-", "s2.pcm"], self.s1, interleaved(self.s1, self.s2, False), 2),
            "--raw, a WAV piped": (["--raw", "join12", "-", "s2.pcm"], wav_file(w1), wav_file(w1) + self.s2, 1),
        }
        for row, (words, piped, data, channels) in rows.items():
            status, out, err = self.run_cli("-q", "-r", str(RATE), "-t", "wav", *words, "-", feed_bytes=piped)
            streamed = wav_header(len(data), channels, claimed=0xFFFFFFFF) + data + b"\0" * (len(data) % 2)
            if status != 0 or out not in (streamed, wav_file(data, channels)):
                self.broke(row, f"exit {status}, {len(out)} bytes: {first_line(err)}")
        self.report()

    def check_truncated_join(self, row, function, status, err, cut, exact):
        """A failure naming the truncated input, or the join of what it held:
        exactly its first `cut` bytes when `exact`, else some prefix of at
        least `cut` bytes (the run may have read more before the cut)."""
        if status == 1 and "a.pcm" in err and self.read("o.pcm") is None:
            return
        wrong = f"exit {status}" if status != 0 else honest_after_cut(
            function, [self.a, self.s2], 0, cut, self.read("o.pcm") or b"", None)
        if exact and not wrong:
            wrong = differs(self.read("o.pcm"), model_samples(function, [self.a[:cut], self.s2]))
        if wrong:
            self.broke(row, f"{wrong}: {first_line(err)}")

    def test_an_input_truncated_during_a_join(self):
        self.a = random.Random(f"{SEED}/a").randbytes(3 * MIB + 1)
        chooser = random.Random(SEED)
        # A race by nature: where the copy stands when the file shrinks.
        for attempt in range(40):
            function = ("join12", "join21")[attempt % 2]
            cut = chooser.randrange(1, 2 * MIB) | 1
            self.write("a.pcm", self.a)
            with contextlib.suppress(FileNotFoundError):
                os.unlink(self.path("o.pcm"))
            process = subprocess.Popen([CLI, "-q", function, "a.pcm", "s2.pcm", "o.pcm"], cwd=self.folder,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

            def copying():
                at = fd_of(process.pid, self.path("a.pcm"))
                try:
                    with open(f"/proc/{process.pid}/fdinfo/{at}") as f:
                        return at is not None and int(f.readline().split()[1]) > 0
                except OSError:
                    return False
            wait_until(process, copying)
            os.truncate(self.path("a.pcm"), cut)
            _, err = process.communicate(timeout=HUNG_AFTER)
            self.check_truncated_join(f"try {attempt + 1}, {function}, cut at {cut}", function, process.returncode,
                                      err.decode(errors="replace"), cut, exact=False)
        # At a chosen instant: the second splice of the run held back while
        # the file shrinks. join12: the first MiB of a.pcm taken into the
        # program's pipe, not yet written; join21: a.pcm not yet read.
        if not STRACE:
            print("skipped the truncation at a chosen instant: strace is not installed", file=sys.stderr)
            return self.report()
        for function in ("join12", "join21"):
            self.write("a.pcm", self.a)
            with contextlib.suppress(FileNotFoundError):
                os.unlink(self.path("o.pcm"))
            tracer = traced([CLI, "-q", function, "a.pcm", "s2.pcm", "o.pcm"], self.folder,
                            ["-e", "trace=splice", "-e", "inject=splice:delay_enter=300000:when=2+2"])
            held = wait_until(tracer, lambda: any(n == SYSCALL_SPLICE for n, _ in proc_syscalls(traced_child(tracer))))
            if held:
                os.truncate(self.path("a.pcm"), 1000)
            _, err = tracer.communicate(timeout=HUNG_AFTER)
            if not held:  # a program that copies otherwise: no instant to cut at
                print(f"{function}: no second splice, so no truncation at a chosen instant", file=sys.stderr)
            self.check_truncated_join(f"{function}, cut at 1000 during a held splice", function, tracer.returncode,
                                      err.decode(errors="replace"), 1000 if held else len(self.a), exact=True)
        self.report()

    def test_a_signal_held_across_the_commit(self):
        if not STRACE:
            self.skipTest("strace is not installed")
        calls = ",".join(COMMIT_SYSCALLS)
        for existing, number in ((False, signal.SIGTERM), (True, signal.SIGTERM), (False, signal.SIGINT),
                                 (True, signal.SIGINT)):
            row = f"{signal.Signals(number).name} while {'an existing' if existing else 'a new'} OUTPUT is put in place"
            with contextlib.suppress(FileNotFoundError):
                os.unlink(self.path("o.pcm"))
            if existing:
                self.write("o.pcm", OLD_OUTPUT)
            tracer = traced([CLI, "join12", "s1.pcm", "s2.pcm", "o.pcm"], self.folder,
                            ["-e", f"trace={calls}", "-e", f"inject={calls}:delay_enter=1000000"])
            if wait_until(tracer, lambda: any(n in COMMIT_SYSCALLS.values()
                                              for n, _ in proc_syscalls(traced_child(tracer)))):
                os.kill(traced_child(tracer), number)
            else:
                self.broke(row, f"the run made none of the calls {calls}: the signal was not sent (another call "
                                "puts OUTPUT in place?)")
            _, err = tracer.communicate(timeout=HUNG_AFTER)
            err, status, got = err.decode(errors="replace"), tracer.returncode, self.read("o.pcm")
            replaced = got == self.s1 + self.s2
            kept = got == (OLD_OUTPUT if existing else None)
            says_kept = "left as it was" in err or "was not created" in err
            if status == 0:
                if not replaced or "join12:" not in err:
                    self.broke(row, f"exit 0 without the new OUTPUT and its report: {first_line(err)}")
            elif not signal_exit(status, number):
                self.broke(row, f"exit {status}: {first_line(err)}")
            elif replaced and (says_kept or "'o.pcm'" not in err):
                self.broke(row, f"OUTPUT replaced, exit {status}, and said: {err.strip() or '(nothing)'}")
            elif not replaced and not (kept and says_kept):
                self.broke(row, f"OUTPUT {len(got or b'')} bytes, exit {status}: {first_line(err)}")
        self.report()

    def test_an_address_space_limit(self):
        if SANITIZED:
            self.skipTest("AddressSanitizer reserves more address space than the limit leaves")
        datas = [random.Random(f"{SEED}/as/{i}").randbytes(3 * MIB + 1 - i * 4096) for i in range(3)]
        for i, data in enumerate(datas):
            self.write(f"{i}.pcm", data)
        rows = {  # row: (function words, inputs, model function)
            "mono of three": (["mono"], [0, 1, 0], "mono"),
            "--average mono of three": (["--average", "mono"], [0, 1, 2], "mono-average"),
            "--pad mono of three": (["--pad", "mono"], [0, 1, 2], "mono-pad"),
            "join of three": (["join"], [0, 1, 2], "join"),
            "mono of two": (["mono"], [0, 1], "mono"),
            "stereo": (["stereo"], [0, 1], "stereo"),
        }
        for row, (words, inputs, function) in rows.items():
            with contextlib.suppress(FileNotFoundError):
                os.unlink(self.path("o.pcm"))
            status, _, err = self.run_cli("-q", *words, *(f"{i}.pcm" for i in inputs), "o.pcm",
                                          address_space=6 * MIB)
            if status == 0:
                wrong = differs(self.read("o.pcm") or b"", model_samples(function, [datas[i] for i in inputs]))
                if wrong:
                    self.broke(row, f"exit 0: {wrong}")
            elif status != 1 or not err.strip() or self.read("o.pcm") is not None:
                self.broke(row, f"exit {status}: {first_line(err)}")
        self.report()


if __name__ == "__main__":
    unittest.main()
