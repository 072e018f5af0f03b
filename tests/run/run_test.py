#!/usr/bin/env python3
"""`make run` without a display, end to end on the sample sounds the build
made: the Makefile's headless recipe, the job that varnel-cli does there and
what it prints; and the samples themselves.

CTest runs each case as run.SUITE.NAME with the environment:
    VARNEL_SOURCE  the source folder (the Makefile and tools/)
    VARNEL_BUILD   the native build folder (samples/, cli/varnel-cli)
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "support"))
from expected import clipped_count, clipped_sum, read_samples, sample_bytes  # noqa: E402

SOURCE = os.environ["VARNEL_SOURCE"]
BUILD = os.path.realpath(os.environ["VARNEL_BUILD"])
SAMPLES = os.path.join(BUILD, "samples")
HEADLESS = os.path.join(SOURCE, "tools", "run-headless")
RATE = 22050


def without_display():
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("OS", None)  # as on Windows, where make run opens the window natively
    # Not a sub-make of the `make test` that may have started these tests.
    for name in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL"):
        env.pop(name, None)
    return env


def run_headless(build):
    return subprocess.run([HEADLESS, build], env=without_display(), capture_output=True, text=True, timeout=120)


class Headless(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.output = os.path.join(SAMPLES, "output.pcm")
        if os.path.exists(cls.output):
            os.remove(cls.output)
        cls.result = run_headless(BUILD)
        cls.first = read_samples(os.path.join(SAMPLES, "ap1-10.pcm"))
        cls.second = read_samples(os.path.join(SAMPLES, "M20101.o22"))
        cls.expected = sample_bytes(clipped_sum(cls.first, cls.second))
        cls.clipped = clipped_count(cls.first, cls.second)

    def test_make_run_without_a_display_builds_the_cli_and_samples_then_runs_this_job(self):
        dry_run = subprocess.run(
            ["make", "--no-print-directory", "-n", "-C", SOURCE, "run", "DISPLAY=", "NATIVE_BUILD=" + BUILD],
            env=without_display(), capture_output=True, text=True, timeout=60)
        self.assertEqual(dry_run.returncode, 0, dry_run.stderr)
        lines = dry_run.stdout.splitlines()
        build_lines = [line for line in lines if line.startswith("cmake --build " + BUILD + " ")]
        self.assertEqual(len(build_lines), 1, dry_run.stdout)
        self.assertRegex(build_lines[0], r"--target varnel_cli varnel_samples$")
        self.assertEqual(lines[-1], "tools/run-headless " + BUILD)
        self.assertNotIn("tools/run-window", dry_run.stdout)

    def test_says_in_one_line_that_there_is_no_display_then_prints_the_summary(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        out = self.result.stdout.splitlines()
        self.assertRegex(out[0], r"^make run: no display \(DISPLAY is not set\)")
        self.assertEqual(sum("display" in line.lower() for line in out), 1, self.result.stdout)
        count = len(self.first)
        self.assertEqual(
            self.result.stderr.strip(),
            f"varnel-cli: mono: input 1 {count} samples (raw), input 2 {count} samples (raw), "
            f"output {count} samples (raw), {self.clipped} samples clipped\n"
            f"varnel-cli: warning: {self.clipped} of {count} samples clipped "
            f"({100 * self.clipped / count:.1f}%); --average mixes without clipping")

    def test_writes_the_clipped_mono_mix_of_the_two_samples(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        with open(self.output, "rb") as f:
            written = f.read()
        self.assertEqual(len(written), len(self.expected))
        self.assertTrue(written == self.expected, "the output differs from the clipped sum of the samples")
        self.assertGreater(self.clipped, 0)

    def test_tells_where_the_output_is_and_how_to_play_it(self):
        out = self.result.stdout.splitlines()
        self.assertIn("Output: " + self.output, out)
        self.assertIn("Play it: play -t raw -r 22050 -e signed -b 16 -c 1 " + self.output, out)

    def test_reports_a_missing_sample_as_a_failure_and_prints_no_output(self):
        with tempfile.TemporaryDirectory() as build:
            os.mkdir(os.path.join(build, "cli"))
            os.symlink(os.path.join(BUILD, "cli", "varnel-cli"), os.path.join(build, "cli", "varnel-cli"))
            os.mkdir(os.path.join(build, "samples"))
            shutil.copy(os.path.join(SAMPLES, "ap1-10.pcm"), os.path.join(build, "samples"))
            result = run_headless(build)
            self.assertNotEqual(result.returncode, 0)
            self.assertIn("varnel-cli: cannot open input 2", result.stderr)
            self.assertNotRegex(result.stdout, r"Output:|Play it:")
            self.assertFalse(os.path.exists(os.path.join(build, "samples", "output.pcm")))


class Samples(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.chirp = read_samples(os.path.join(SAMPLES, "ap1-10.pcm"))
        cls.tone = read_samples(os.path.join(SAMPLES, "M20101.o22"))

    def test_last_three_seconds_at_22050_hz_in_whole_samples(self):
        for name in ("ap1-10.pcm", "M20101.o22"):
            self.assertEqual(os.path.getsize(os.path.join(SAMPLES, name)), 3 * RATE * 2, name)

    def test_each_is_loud_but_does_not_clip_by_itself(self):
        for samples in (self.chirp, self.tone):
            peak = max(abs(value) for value in samples)
            self.assertGreater(peak, 10000)
            self.assertLess(peak, 32767)

    def test_their_mono_mix_clips_a_little(self):
        clipped = clipped_count(self.chirp, self.tone)
        self.assertGreater(clipped, 0)
        self.assertLess(clipped, len(self.chirp) // 100)

    def test_the_chirp_pauses_between_syllables_and_the_tone_does_not(self):
        def quiet_windows(samples):
            window = RATE // 50  # 20 ms
            quiet = 0
            for start in range(0, len(samples) - window + 1, window):
                if max(abs(value) for value in samples[start:start + window]) < 500:
                    quiet += 1
            return quiet
        self.assertGreaterEqual(quiet_windows(self.chirp), 10)
        self.assertEqual(quiet_windows(self.tone), 0)


    def test_the_generator_run_by_hand_writes_both_into_a_new_folder_and_explains_itself(self):
        generator = os.path.join(SOURCE, "samples", "make_samples.py")
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "new", "sounds")
            subprocess.run([sys.executable, generator, target], check=True, timeout=120)
            for name in ("ap1-10.pcm", "M20101.o22"):
                with open(os.path.join(target, name), "rb") as made, open(os.path.join(SAMPLES, name), "rb") as built:
                    self.assertEqual(made.read(), built.read(), name)
            # --help and a missing folder explain; neither makes a folder.
            asked = subprocess.run([sys.executable, generator, "--help"], cwd=folder, capture_output=True,
                                   text=True, timeout=60)
            self.assertEqual(asked.returncode, 0)
            self.assertIn("usage: make_samples.py", asked.stdout)
            missing = subprocess.run([sys.executable, generator], cwd=folder, capture_output=True, text=True,
                                     timeout=60)
            self.assertEqual(missing.returncode, 2)
            self.assertIn("OUTPUT_FOLDER", missing.stderr)
            self.assertEqual(sorted(os.listdir(folder)), ["new"])

if __name__ == "__main__":
    unittest.main()
