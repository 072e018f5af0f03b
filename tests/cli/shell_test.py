#!/usr/bin/env python3
"""varnel-cli as a shell runs it on POSIX: on a real terminal (a pty) that
gets Ctrl-C, into real pipes whose reader goes away, with names that hold
control characters, bytes that are no UTF-8 or a list's brackets, with its
standard streams on files at an offset or appended to, and under a limit of
its address space.

CTest runs each case as cli.SUITE.NAME with the environment:
    VARNEL_CLI       the varnel-cli program of the native build
    VARNEL_SANITIZE  1 when that program is built with the sanitizers
"""

import errno
import json
import os
import pty
import resource
import signal
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "support"))
from expected import clipped_sum, sample_bytes, samples_of  # noqa: E402

CLI = os.environ["VARNEL_CLI"]
MIB = 1 << 20


class ShellTestCase(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(os.fsencode(self.folder.name), os.fsencode(name))

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()


def read_until(master, wanted, seen=b""):
    """Reads the terminal until `wanted` has appeared (or it ends)."""
    while wanted not in seen:
        try:
            more = os.read(master, 4096)
        except OSError as error:  # EIO: the program's side is closed
            if error.errno != errno.EIO:
                raise
            break
        if not more:
            break
        seen += more
    return seen


class Interrupt(ShellTestCase):
    def test_ctrl_c_on_a_terminal_ends_the_progress_line_and_says_the_old_output_was_kept(self):
        self.write("out.pcm", b"old")
        self.write("two.pcm", sample_bytes([1, 2]))
        os.mkfifo(self.path("slow.pcm"))
        pid, master = pty.fork()
        if pid == 0:
            os.chdir(self.folder.name)
            os.execv(CLI, [CLI, "--progress", "join12", "slow.pcm", "two.pcm", "out.pcm"])
        # The input is a pipe that delivers 3 MiB and then nothing: the run
        # waits in the middle, its progress line drawn.
        writer = os.open(self.path("slow.pcm"), os.O_WRONLY)
        try:
            os.write(writer, bytes(3 * MIB))
            seen = read_until(master, b"MiB done")
            self.assertIn(b"MiB done", seen)
            os.write(master, b"\x03")  # Ctrl-C, typed: the terminal sends SIGINT
            seen = read_until(master, b"\xff", seen)  # all, to the end
        finally:
            os.close(writer)
        _, status = os.waitpid(pid, 0)
        os.close(master)
        self.assertTrue(os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGINT, status)  # status 130
        tail = seen[seen.rindex(b"MiB done"):]
        # The terminal echoes ^C after the bar; the line is ended there.
        self.assertRegex(tail, rb"^MiB done, [^\r\n]*\r\nvarnel-cli: interrupted; 'out.pcm' is left as it was\r\n$")
        with open(self.path("out.pcm"), "rb") as f:
            self.assertEqual(f.read(), b"old")
        self.assertEqual(sorted(os.listdir(self.folder.name)), ["out.pcm", "slow.pcm", "two.pcm"])

    def test_a_signal_off_a_terminal_says_in_one_line_that_nothing_was_created(self):
        self.write("two.pcm", sample_bytes([1, 2]))
        os.mkfifo(self.path("slow.pcm"))
        program = subprocess.Popen([CLI, "mono", "slow.pcm", "two.pcm", "new.pcm"], cwd=self.folder.name,
                                   stderr=subprocess.PIPE)
        with open(self.path("slow.pcm"), "wb") as writer:
            program.send_signal(signal.SIGTERM)
            err = program.stderr.read()
        self.assertEqual(program.wait(), -signal.SIGTERM)
        self.assertEqual(err, b"varnel-cli: interrupted; 'new.pcm' was not created\n")
        del writer


class BrokenPipe(ShellTestCase):
    def test_a_reader_of_standard_output_that_goes_away_ends_the_run_quietly_with_141(self):
        self.write("one.pcm", bytes(2 * MIB))
        self.write("two.pcm", bytes(2 * MIB))
        # varnel-cli join12 one.pcm two.pcm - | head -c 10
        program = subprocess.Popen([CLI, "join12", "one.pcm", "two.pcm", "-"], cwd=self.folder.name,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.assertEqual(len(program.stdout.read(10)), 10)
        program.stdout.close()  # 4 MiB are more than a pipe holds: the program is still writing
        err = program.stderr.read()
        self.assertEqual(program.wait(), 141)
        self.assertEqual(err, b"")

    def test_a_named_output_whose_reader_went_away_still_gets_its_message(self):
        self.write("one.pcm", bytes(2 * MIB))
        os.mkfifo(self.path("fifo.pcm"))
        program = subprocess.Popen([CLI, "join12", "one.pcm", "one.pcm", "fifo.pcm"], cwd=self.folder.name,
                                   stderr=subprocess.PIPE)
        with open(self.path("fifo.pcm"), "rb") as reader:
            self.assertEqual(len(reader.read(10)), 10)
        err = program.stderr.read()
        self.assertEqual(program.wait(), 1)
        self.assertTrue(err.startswith(b"varnel-cli: cannot write 'fifo.pcm': "), err)


class Names(ShellTestCase):
    def run_cli(self, *arguments):
        return subprocess.run([CLI, *arguments], cwd=self.folder.name, capture_output=True)

    def test_control_characters_and_terminal_escapes_in_a_name_are_shown_escaped(self):
        self.write("two.pcm", sample_bytes([1]))
        name = b"a\nb\x1b[2J\x7f\xc2\x9b.pcm"
        outcome = self.run_cli(name, "two.pcm", "two.pcm", "out.pcm")  # as the function
        self.assertEqual(outcome.returncode, 2)
        self.assertEqual(outcome.stderr.splitlines()[0],
                         b"varnel-cli: unknown function 'a\\nb\\x1b[2J\\x7f\\u009b.pcm': mono, stereo, join, join12 or join21")
        outcome = self.run_cli("mono", name, "two.pcm", "out.pcm")
        self.assertEqual(outcome.returncode, 1)
        self.assertEqual(outcome.stderr,
                         b"varnel-cli: cannot open input 1 'a\\nb\\x1b[2J\\x7f\\u009b.pcm': no such file\n")

    def test_json_is_valid_utf8_for_a_latin1_name_which_it_gives_back_in_hexadecimal(self):
        name = b"caf\xe9.pcm"
        self.write(name, sample_bytes([1]))
        self.write("two.pcm", sample_bytes([2]))
        for inputs in ([name, b"two.pcm"], [b"two.pcm", b"m\xe9.pcm"]):
            outcome = self.run_cli("--json", "-q", "join12", *inputs, "out.pcm")
            report = json.loads(outcome.stdout.decode("utf-8"))  # strict: raises on bytes that are no UTF-8
            for key, given in zip(("input1", "input2"), inputs):
                self.assertEqual(report[key]["path"], given.decode("utf-8", "replace"))
                if given == b"two.pcm":
                    self.assertNotIn("pathBytes", report[key])
                else:
                    self.assertEqual(bytes.fromhex(report[key]["pathBytes"]), given)
        failure = report["failures"][0]
        self.assertEqual(failure["message"], "cannot open input 2 'm\\xe9.pcm': no such file")
        self.assertEqual(bytes.fromhex(failure["pathBytes"]), b"m\xe9.pcm")
        self.assertNotIn("pathBytes", report["output"])

    def test_brackets_commas_equals_blanks_and_a_leading_dash_are_part_of_a_name(self):
        names = ["[take]", "[a,b]", "x,y", "c=d", "with blank", "-lead"]
        for number, name in enumerate(names):
            self.write(name, sample_bytes([number]))
        self.write("take", b"NOT THIS")
        self.write("out", b"KEEP")
        outcome = self.run_cli("-q", "join12", *names[:-1], "--", names[-1], "[out]")
        self.assertEqual(outcome.returncode, 0, outcome.stderr)
        self.assertEqual(self.read("[out]"), sample_bytes(range(len(names))))
        self.assertEqual(self.read("out"), b"KEEP")


WAV_HEADER_BYTES = 44
STREAMING = 0xFFFFFFFF


def wav_sizes(wav):
    """The RIFF chunk's size and the data chunk's, of a 16-bit WAV of one or two channels."""
    return struct.unpack_from("<I", wav, 4)[0], struct.unpack_from("<I", wav, wav_header_bytes(wav) - 4)[0]


def wav_header_bytes(wav):
    """44, or 80 where a JUNK chunk keeps room for RF64's sizes."""
    return WAV_HEADER_BYTES + (36 if wav[12:16] == b"JUNK" else 0)


class StreamsOnFiles(ShellTestCase):
    """Standard input and output on files as a shell opens them: at an
    offset, appended to, or one of the inputs."""

    def setUp(self):
        super().setUp()
        self.one = sample_bytes(range(-400, 400))
        self.two = sample_bytes(range(1000, 3000))
        self.write("one.pcm", self.one)
        self.write("two.pcm", self.two)

    def run_cli(self, arguments, **streams):
        return subprocess.run([CLI, "-q", *arguments], cwd=self.folder.name, stderr=subprocess.PIPE, **streams)

    def test_standard_output_that_is_an_input_is_refused_and_the_input_kept(self):
        # varnel-cli join12 one.pcm two.pcm - >> one.pcm; varnel-cli join21 - two.pcm - < one.pcm >> one.pcm
        for arguments, source in ((["join12", "one.pcm", "two.pcm", "-"], "two.pcm"),
                                  (["join21", "-", "two.pcm", "-"], "one.pcm")):
            with open(self.path(source), "rb") as stdin, open(self.path("one.pcm"), "ab") as stdout:
                outcome = self.run_cli(arguments, stdin=stdin, stdout=stdout)
            self.assertEqual(outcome.returncode, 1, arguments)
            self.assertEqual(outcome.stderr,
                             b"varnel-cli: the standard output is input 1; the output must be another file\n")
            self.assertEqual(self.read("one.pcm"), self.one)

    def test_a_missing_input_is_named_without_waiting_for_a_pipe_before_it(self):
        # Opening a named pipe waits for its writer, which may never come.
        os.mkfifo(self.path("fifo"))
        outcome = subprocess.run([CLI, "-q", "mono", "fifo", "missing.pcm", "two.pcm", "out.pcm"],
                                 cwd=self.folder.name, stderr=subprocess.PIPE, timeout=60)
        self.assertEqual((outcome.returncode, outcome.stderr),
                         (1, b"varnel-cli: cannot open input 2 'missing.pcm': no such file\n"))
        self.assertFalse(os.path.exists(self.path("out.pcm")))

    def test_a_wav_after_a_prefix_starts_where_the_prefix_ends(self):
        # { printf PREFIX; cat one.pcm | varnel-cli -t wav join12 - two.pcm -; } > out.wav, and with >>,
        # which cannot be written back: its header has the streaming sizes.
        # Written back, it has a JUNK chunk where RF64's sizes would go.
        samples = self.one + self.two
        for mode, sizes in (("r+b", (WAV_HEADER_BYTES + 36 - 8 + len(samples), len(samples))),
                            ("ab", (STREAMING, STREAMING))):
            self.write("out.wav", b"PREFIX")
            with open(self.path("out.wav"), mode) as stdout:
                stdout.seek(6)
                outcome = self.run_cli(["-r", "8000", "-t", "wav", "join12", "-", "two.pcm", "-"], input=self.one,
                                       stdout=stdout)
            self.assertEqual(outcome.returncode, 0, outcome.stderr)
            written = self.read("out.wav")
            self.assertEqual(written[:10], b"PREFIXRIFF", mode)
            self.assertEqual(wav_sizes(written[6:]), sizes, mode)
            self.assertEqual(written[6 + wav_header_bytes(written[6:]):], samples, mode)

    def test_standard_input_is_read_from_where_it_stands(self):
        # (dd bs=100 count=1 of=/dev/null; varnel-cli join12 - two.pcm out.pcm) < one.pcm
        with open(self.path("one.pcm"), "rb") as stdin:
            stdin.seek(100)
            outcome = self.run_cli(["--json", "join12", "-", "two.pcm", "out.pcm"], stdin=stdin,
                                   stdout=subprocess.PIPE)
        self.assertEqual(outcome.returncode, 0, outcome.stderr)
        self.assertEqual(self.read("out.pcm"), self.one[100:] + self.two)
        self.assertEqual(json.loads(outcome.stdout)["input1"]["bytes"], len(self.one) - 100)

    def test_a_raw_pipe_into_a_wav_pipe_gets_the_streaming_sizes(self):
        # cat one.pcm | varnel-cli -r 8000 -t wav mono one.pcm - - | cat > out.wav, and the same with --raw
        for raw in ([], ["--raw"]):
            outcome = self.run_cli([*raw, "-r", "8000", "-t", "wav", "mono", "one.pcm", "-", "-"], input=self.one,
                                   stdout=subprocess.PIPE)
            self.assertEqual(outcome.returncode, 0, outcome.stderr)
            self.assertEqual(wav_sizes(outcome.stdout), (STREAMING, STREAMING))
            expected = clipped_sum(samples_of(self.one), samples_of(self.one))
            self.assertEqual(outcome.stdout[WAV_HEADER_BYTES:], sample_bytes(expected))


class Memory(ShellTestCase):
    @unittest.skipIf(os.environ.get("VARNEL_SANITIZE") == "1", "the sanitizers reserve terabytes of address space")
    def test_three_inputs_under_an_address_space_limit_fail_with_a_message(self):
        # prlimit --as=$((6<<20)) -- varnel-cli -q mono a.pcm b.pcm a.pcm out.pcm: mono's sums do not fit
        for name in ("a.pcm", "b.pcm"):
            self.write(name, bytes(3 * MIB))

        def limit_address_space():
            resource.setrlimit(resource.RLIMIT_AS, (6 * MIB, 6 * MIB))

        outcome = subprocess.run([CLI, "-q", "mono", "a.pcm", "b.pcm", "a.pcm", "out.pcm"], cwd=self.folder.name,
                                 capture_output=True, preexec_fn=limit_address_space)
        self.assertEqual(outcome.returncode, 1, outcome.stderr)
        self.assertRegex(outcome.stderr, rb"^varnel-cli: not enough memory for sample buffer [12]\n$")
        self.assertEqual(sorted(os.listdir(self.folder.name)), ["a.pcm", "b.pcm"])


if __name__ == "__main__":
    unittest.main()
