#!/usr/bin/env python3
"""`make run` with a display, on the Windows build: the samples land where
the window looks by default, and pressing "Run..." in the real window under
Wine writes c:\\output.pcm where `make run` says it is. And the real
window's message boxes, read from outside, for what only the whole program
under Wine can show: a write refused by the system during a run.

CTest runs each case as run.SUITE.NAME under tools/wine-ctest (a virtual
display and the build's Wine prefix, both of which `make run` uses too),
with the environment:
    VARNEL_SOURCE          the source folder (tools/)
    VARNEL_BUILD           the Windows build folder
    VARNEL_EMULATOR        the script that runs a Windows program under Wine
    VARNEL_WINDOW_COMMAND  window-command.exe, which presses the buttons
"""

import contextlib
import os
import resource
import shutil
import signal
import subprocess
import sys
import unittest
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "support"))
from expected import clipped_sum, read_samples, samples_of  # noqa: E402

SOURCE = os.environ["VARNEL_SOURCE"]
BUILD = os.path.realpath(os.environ["VARNEL_BUILD"])
EMULATOR = os.environ["VARNEL_EMULATOR"]
WINDOW_COMMAND = os.environ["VARNEL_WINDOW_COMMAND"]
DRIVE_C = os.path.join(BUILD, "wineprefix", "drive_c")
IDC_SOUND_FILE_1, IDC_SOUND_FILE_2, IDC_OUTPUT_FILE, IDC_RUN = 1004, 1005, 1006, 1010
IDM_FUNCTION_STEREO, IDM_FUNCTION_JOIN_1_TO_2 = 32774, 32775
PROGRAM = os.path.join(BUILD, "varnel.exe")
WRITE_FAILED = "Writing The Output Sound File Failed"


def read(path):
    with open(path, "rb") as f:
        return f.read()


def window_command(*args):
    with open(os.path.join(BUILD, "window-command.log"), "ab") as log:
        return subprocess.run([EMULATOR, WINDOW_COMMAND, *args], stdout=log, stderr=log, timeout=120).returncode


def answer_box():
    """The caption and text of the window's next message box, answered with OK."""
    with open(os.path.join(BUILD, "window-command.log"), "ab") as log:
        shown = subprocess.run([EMULATOR, WINDOW_COMMAND, "box", PROGRAM], stdout=subprocess.PIPE, stderr=log,
                               timeout=120)
    lines = shown.stdout.decode().replace("\r\n", "\n").split("\n")
    return (lines[0], "\n".join(lines[1:]).rstrip("\n")) if shown.returncode == 0 else None


def wine_path(path):
    return "c:\\" + os.path.relpath(path, DRIVE_C).replace("/", "\\")


@contextlib.contextmanager
def window(file_size_limit=None):
    """varnel.exe open under Wine; with `file_size_limit`, the bytes past
    which its files may not grow (RLIMIT_FSIZE, with SIGXFSZ ignored so that
    the write fails instead of killing it). Closed at the end, or ended
    with its session should the case fail."""
    def limit():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, file_size_limit))

    with open(os.path.join(BUILD, "window-limits.log"), "ab") as log:
        program = subprocess.Popen([EMULATOR, PROGRAM], stdout=log, stderr=log, start_new_session=True,
                                   preexec_fn=limit if file_size_limit else None)
    try:
        assert window_command("rect", PROGRAM, "Varnel") == 0, "the window did not open"
        yield
        assert window_command("close", PROGRAM, "Varnel") == 0
        assert program.wait(timeout=120) == 0
    finally:
        if program.poll() is None:
            os.killpg(program.pid, signal.SIGKILL)
            program.wait()


def run_in_window(one, two, output, function=None):
    """Names the files in the fields, picks `function` (a Function menu
    item; Merge : Mono as the window starts) and presses "Run..."."""
    for field, path in ((IDC_SOUND_FILE_1, one), (IDC_SOUND_FILE_2, two), (IDC_OUTPUT_FILE, output)):
        assert window_command("text", PROGRAM, "Varnel", str(field), wine_path(path)) == 0
    if function:
        assert window_command("command", PROGRAM, "Varnel", str(function)) == 0
    assert window_command("command", PROGRAM, "Varnel", str(IDC_RUN)) == 0


def write_wav(path, frames):
    with wave.open(path, "wb") as made:
        made.setnchannels(1)
        made.setsampwidth(2)
        made.setframerate(22050)
        made.writeframes(frames)


class Window(unittest.TestCase):
    def test_pressing_run_writes_the_mono_mix_of_the_samples_to_c_output(self):
        output = os.path.join(DRIVE_C, "output.pcm")
        if os.path.exists(output):
            os.remove(output)
        out_path = os.path.join(BUILD, "run-window.out")
        with open(out_path, "wb") as out:
            # A session of its own, so that a failed case can end the
            # script and the Wine process of the window with it.
            run = subprocess.Popen([os.path.join(SOURCE, "tools", "run-window"), BUILD], stdout=out, stderr=out,
                                   start_new_session=True)
            try:
                # The build's varnel.exe, which only this case runs: other
                # tests' windows carry the caption "Varnel" too.
                program = os.path.join(BUILD, "varnel.exe")
                self.assertEqual(window_command("rect", program, "Varnel"), 0, "the window did not open")
                # Messages are handled in order: the run ends before the
                # window takes the close.
                self.assertEqual(window_command("command", program, "Varnel", str(IDC_RUN)), 0)
                self.assertEqual(window_command("close", program, "Varnel"), 0)
                self.assertEqual(run.wait(timeout=120), 0, read(out_path))
            finally:
                if run.poll() is None:
                    os.killpg(run.pid, signal.SIGKILL)
                    run.wait()
        printed = read(out_path).decode().splitlines()

        for name in ("ap1-10.pcm", "M20101.o22"):
            self.assertEqual(read(os.path.join(DRIVE_C, name)), read(os.path.join(BUILD, "samples", name)), name)
        expected = clipped_sum(read_samples(os.path.join(DRIVE_C, "ap1-10.pcm")),
                               read_samples(os.path.join(DRIVE_C, "M20101.o22")))
        self.assertTrue(read_samples(output) == expected, "c:\\output.pcm is not the clipped sum of the samples")

        self.assertIn('Press "Run..." and c:\\output.pcm is ' + output, printed)
        self.assertIn("Play it: play -t raw -r 22050 -e signed -b 16 -c 1 " + output, printed)
        self.assertEqual(printed[-1], "Output: " + output)

    @unittest.skipUnless(shutil.which("sox"), "SoX is not installed")
    def test_sox_wav_files_at_the_default_inputs_give_varnel_clis_bytes(self):
        # SoX's WAV files under the default inputs' names: the window judges
        # an input by its content, and writes the samples alone into a name
        # that is not .wav.
        inputs = []
        for name, tone in (("ap1-10.pcm", ["sine", "440"]), ("M20101.o22", ["square", "300"])):
            path = os.path.join(DRIVE_C, name)
            subprocess.run(["sox", "-n", "-r", "22050", "-b", "16", "-c", "1", "-t", "wav", path,
                            "synth", "0.5", *tone, "vol", "0.7"], check=True)
            with wave.open(path, "rb") as made:
                inputs.append(samples_of(made.readframes(made.getnframes())))
        output = os.path.join(DRIVE_C, "output.pcm")
        if os.path.exists(output):
            os.remove(output)
        program = os.path.join(BUILD, "varnel.exe")
        with open(os.path.join(BUILD, "window-wav.log"), "ab") as log:
            window = subprocess.Popen([EMULATOR, program], stdout=log, stderr=log, start_new_session=True)
            try:
                self.assertEqual(window_command("rect", program, "Varnel"), 0, "the window did not open")
                self.assertEqual(window_command("command", program, "Varnel", str(IDC_RUN)), 0)
                self.assertEqual(window_command("close", program, "Varnel"), 0)
                self.assertEqual(window.wait(timeout=120), 0)
            finally:
                if window.poll() is None:
                    os.killpg(window.pid, signal.SIGKILL)
                    window.wait()
            status = subprocess.run([EMULATOR, os.path.join(BUILD, "cli", "varnel-cli.exe"), "-q", "mono",
                                     "c:\\ap1-10.pcm", "c:\\M20101.o22", "c:\\cli-output.pcm"],
                                    stdout=log, stderr=log, timeout=120).returncode
        self.assertEqual(status, 0)
        self.assertTrue(read_samples(output) == clipped_sum(*inputs), "c:\\output.pcm is not the clipped sum")
        self.assertEqual(read(output), read(os.path.join(DRIVE_C, "cli-output.pcm")))


class WindowBoxes(unittest.TestCase):
    """The real window's boxes, read from outside: they carry the program's
    title, as its window does."""

    def setUp(self):
        self.folder = os.path.join(DRIVE_C, "window-boxes")
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.addCleanup(shutil.rmtree, self.folder, True)

    def file(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_raw_inputs_and_a_wav_output_are_refused_before_the_output_is_created(self):
        one, two = self.file("a.raw", os.urandom(4000)), self.file("b.raw", os.urandom(3000))
        output = os.path.join(self.folder, "rawstereo.wav")
        with window():
            run_in_window(one, two, output, IDM_FUNCTION_STEREO)
            self.assertEqual(answer_box(), (
                "Varnel", wine_path(output) + " is named as a WAV file, but both inputs are raw samples, which "
                "carry no rate: name the output .pcm, or use WAV inputs."))
        self.assertFalse(os.path.exists(output))

    def test_a_write_that_fails_during_a_run_ends_in_the_write_failure_box(self):
        # Outputs of 1.5 MiB against a limit of 1 MiB, past the first chunk;
        # the WAV outputs go through their block-aligned writer.
        limit = 1 << 20
        samples = os.urandom(768 * 1024)
        for name, function in (("out.pcm", None), ("out.wav", IDM_FUNCTION_JOIN_1_TO_2),
                               ("out.wav", IDM_FUNCTION_STEREO)):
            with self.subTest(output=name, function=function):
                if name.endswith(".wav"):
                    one, two = os.path.join(self.folder, "one.wav"), os.path.join(self.folder, "two.wav")
                    write_wav(one, samples)
                    write_wav(two, samples)
                else:
                    one, two = self.file("one.pcm", samples * 2), self.file("two.pcm", samples * 2)
                output = self.file(name, b"KEEPDATA")
                with window(file_size_limit=limit):
                    run_in_window(one, two, output, function)
                    self.assertEqual(answer_box(), ("Varnel", WRITE_FAILED))
                # The window writes in place: what fitted is there.
                self.assertEqual(os.path.getsize(output), limit)

    def test_a_full_disk_during_a_run_ends_in_the_write_failure_box(self):
        full = os.path.join(self.folder, "full")
        os.makedirs(full)
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", full],
                          capture_output=True).returncode != 0:
            self.skipTest("mounting a small tmpfs was refused here: the full disk is tried with a file-size limit")
        self.addCleanup(subprocess.run, ["umount", full], check=True)
        one, two = self.file("one.pcm", os.urandom(300000)), self.file("two.pcm", os.urandom(300000))
        with window():
            run_in_window(one, two, os.path.join(full, "out.pcm"), IDM_FUNCTION_JOIN_1_TO_2)
            self.assertEqual(answer_box(), ("Varnel", WRITE_FAILED))


if __name__ == "__main__":
    unittest.main()
