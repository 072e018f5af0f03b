#!/usr/bin/env python3
"""varnel-cli where a run meets a fault on its fastest path, the joins that
the system copies from file to file: a file system that fills, a file-size
limit, an input cut short while its pages are on their way, a signal that
comes while OUTPUT is put in place. Whatever happens, what the program says
and its exit status agree with what became of OUTPUT.

The program is held at a chosen system call by strace, where it is
installed and allowed to trace; a small file system is a tmpfs mounted
here, where mounting is allowed. Otherwise those cases are skipped.

CTest runs each case as cli.SUITE.NAME with the environment:
    VARNEL_CLI       the varnel-cli program of the native build
"""

import fcntl
import os
import resource
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "support"))
from expected import sample_bytes  # noqa: E402

CLI = os.environ["VARNEL_CLI"]
STRACE = shutil.which("strace")
NO_ROOM = "no room for it"
TOO_LARGE = "the file would be too large"


def wav(data, rate=8000):
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pattern(size, seed):
    """Bytes that differ from their neighbours, none of them zero."""
    return bytes((i * 7 + seed) % 255 + 1 for i in range(size))


def tracing_refused():
    if not STRACE:
        return "strace is not installed"
    if subprocess.run([STRACE, "-o", "/dev/null", "true"], stderr=subprocess.DEVNULL).returncode != 0:
        return "strace may not trace here"
    return None


class OutcomeTestCase(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def path(self, *names):
        return os.path.join(self.folder.name, *names)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def small_file_system(self, name, size="64k"):
        """A tmpfs of `size` at `name` in the folder, gone with the test."""
        os.mkdir(self.path(name))
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=" + size, "tmpfs", self.path(name)],
                                 stderr=subprocess.PIPE, text=True)
        if mounted.returncode != 0:
            self.skipTest("mounting a tmpfs is refused here: " + mounted.stderr.strip())
        self.addCleanup(subprocess.run, ["umount", "-l", self.path(name)])


# Two inputs of 40,000 bytes each: a join of 80,000 bytes that a 64 KiB
# file system or a 50,000-byte limit stops part way through the second.
JOINS = [(function, inputs, output, options)
         for function in ("join12", "join21")
         for inputs, output, options in ((("a.pcm", "b.pcm"), "keep.pcm", []),
                                         (("a.pcm", "b.pcm"), "keep.wav", ["-r", "8000"]),
                                         (("a.wav", "b.wav"), "keep.pcm", []))]


class FailedWrite(OutcomeTestCase):
    def setUp(self):
        super().setUp()
        self.write("a.pcm", pattern(40000, 1))
        self.write("b.pcm", pattern(40000, 2))
        self.write("a.wav", wav(pattern(40000, 3)))
        self.write("b.wav", wav(pattern(40000, 4)))

    def assert_failed_and_kept(self, folder, cause, function, inputs, output, options, **limits):
        for existing in (True, False):
            with self.subTest(function=function, inputs=inputs, output=output, existing=existing):
                target = os.path.join(folder, output)
                if existing:
                    self.write(target, b"KEEPDATA")
                before = sorted(os.listdir(self.path(folder)))
                run = subprocess.run([CLI, *options, function, *inputs, target], cwd=self.folder.name,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, **limits)
                self.assertEqual(run.returncode, 1, run.stderr)
                self.assertEqual(run.stderr, f"varnel-cli: cannot write '{target}': {cause}\n")
                self.assertEqual(sorted(os.listdir(self.path(folder))), before, "no new or temporary file")
                if existing:
                    self.assertEqual(self.read(target), b"KEEPDATA")
                    os.remove(self.path(target))

    def test_a_join_that_fills_the_file_system_fails_and_leaves_output_as_it_was(self):
        self.small_file_system("small")
        for join in JOINS:
            self.assert_failed_and_kept("small", NO_ROOM, *join)

    def test_a_join_past_the_file_size_limit_fails_and_leaves_output_as_it_was(self):
        def limited():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (50000, 50000))

        for join in JOINS:
            self.assert_failed_and_kept(".", TOO_LARGE, *join, preexec_fn=limited)


def stopped_holding(tracer, size):
    """The program strace runs, once it holds `size` bytes in a pipe of its
    own: its copy pipe, with an input's pages not yet in the output. (The
    sanitizers' pipes hold a few bytes now and then.)"""
    while tracer.poll() is None:
        for task in os.listdir(f"/proc/{tracer.pid}/task"):
            with open(f"/proc/{tracer.pid}/task/{task}/children") as children:
                for child in children.read().split():
                    if size in pipe_contents(int(child)):
                        return int(child)
    raise AssertionError("the program ended before it copied")


def pipe_contents(pid):
    """How many bytes each pipe the process holds has in it."""
    held = []
    try:
        for fd in os.listdir(f"/proc/{pid}/fd"):
            if not os.readlink(f"/proc/{pid}/fd/{fd}").startswith("pipe:"):
                continue
            pipe = os.open(f"/proc/{pid}/fd/{fd}", os.O_RDONLY | os.O_NONBLOCK)
            try:
                held.append(struct.unpack("i", fcntl.ioctl(pipe, termios.FIONREAD, b"\0\0\0\0"))[0])
            finally:
                os.close(pipe)
    except OSError:  # gone, or not yet ours to look at
        pass
    return held


def traced(call, injected, arguments):
    """strace's command that runs varnel-cli with `injected` at `call`."""
    return [STRACE, "-f", "-qq", "-o", "/dev/null", "-e", "trace=" + call, "-e", f"inject={call}:{injected}:when=1",
            CLI, *arguments]


# LeakSanitizer cannot look for leaks in a traced program, and says so.
TRACED_ENVIRONMENT = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")


class CutShortInput(OutcomeTestCase):
    # The kernel's copy moves references to the input's pages; a truncation
    # zeroes them before they reach the output. strace stops the program
    # right after its first copy took an input's pages into its pipe; the
    # input is cut short there, and the program goes on.
    def test_an_input_cut_short_under_the_copy_is_named_and_never_written_as_samples(self):
        refused = tracing_refused()
        if refused:
            self.skipTest(refused)
        for function, first in (("join12", 1), ("join21", 2)):
            with self.subTest(function=function):
                self.write("in1.pcm", pattern(300000, 1))
                self.write("in2.pcm", pattern(300000, 2))
                self.write("out.pcm", b"KEEPDATA")
                arguments = [function, "in1.pcm", "in2.pcm", "out.pcm"]
                tracer = subprocess.Popen(traced("splice", "signal=SIGSTOP", arguments), cwd=self.folder.name,
                                          stdin=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                                          env=TRACED_ENVIRONMENT)
                program = stopped_holding(tracer, 300000)
                try:
                    os.truncate(self.path(f"in{first}.pcm"), 5000)
                finally:
                    os.kill(program, signal.SIGCONT)
                _, err = tracer.communicate()
                self.assertEqual(tracer.returncode, 1, err)
                self.assertEqual(err, f"varnel-cli: cannot read input {first} 'in{first}.pcm': "
                                      "it became shorter during the run\n")
                self.assertEqual(self.read("out.pcm"), b"KEEPDATA")
                self.assertEqual(sorted(os.listdir(self.folder.name)), ["in1.pcm", "in2.pcm", "out.pcm"])


class SignalAtCommit(OutcomeTestCase):
    # A signal that comes while OUTPUT is put in place is held until it is,
    # and then ends the program as a signal does, so that a script that
    # loops over files stops; the line says that OUTPUT is whole. strace
    # sends it as the call that puts OUTPUT in place begins: a rename over
    # an existing OUTPUT, a link that names a new one.
    def test_a_signal_held_while_output_is_put_in_place_ends_the_run_saying_output_is_whole(self):
        refused = tracing_refused()
        if refused:
            self.skipTest(refused)
        self.write("a.pcm", sample_bytes([1, 2, 3]))
        self.write("b.pcm", sample_bytes([4, 5]))
        # Whichever of its kin the C library calls ("?": not on every architecture).
        for sent, call, existing in ((signal.SIGTERM, "?rename,?renameat,renameat2", True),
                                     (signal.SIGINT, "?link,linkat", False)):
            with self.subTest(signal=sent.name, existing=existing):
                if existing:
                    self.write("out.pcm", b"OLD")
                run = subprocess.run(traced(call, "signal=" + sent.name, ["join12", "a.pcm", "b.pcm", "out.pcm"]),
                                     cwd=self.folder.name, stdin=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                                     env=TRACED_ENVIRONMENT)
                self.assertEqual(run.returncode, -sent, run.stderr)
                self.assertEqual(run.stderr, "varnel-cli: interrupted after 'out.pcm' was written in full\n")
                self.assertEqual(self.read("out.pcm"), sample_bytes([1, 2, 3, 4, 5]))
                self.assertEqual(sorted(os.listdir(self.folder.name)), ["a.pcm", "b.pcm", "out.pcm"])
                os.remove(self.path("out.pcm"))


if __name__ == "__main__":
    unittest.main()
