#!/usr/bin/env python3
"""`make run` with a display, on the Windows build: the samples land where
the window looks by default, and pressing "Run..." in the real window under
Wine writes c:\\output.pcm where `make run` says it is.

CTest runs each case as run.SUITE.NAME under tools/wine-ctest (a virtual
display and the build's Wine prefix, both of which `make run` uses too),
with the environment:
    VARNEL_SOURCE          the source folder (tools/)
    VARNEL_BUILD           the Windows build folder
    VARNEL_EMULATOR        the script that runs a Windows program under Wine
    VARNEL_WINDOW_COMMAND  window-command.exe, which presses the buttons
"""

import os
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
IDC_RUN = 1010


def read(path):
    with open(path, "rb") as f:
        return f.read()


def window_command(*args):
    with open(os.path.join(BUILD, "window-command.log"), "ab") as log:
        return subprocess.run([EMULATOR, WINDOW_COMMAND, *args], stdout=log, stderr=log, timeout=120).returncode


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


if __name__ == "__main__":
    unittest.main()
