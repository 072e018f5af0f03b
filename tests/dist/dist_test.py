#!/usr/bin/env python3
"""The Windows release zip, as a user downloads it: its name, what it holds,
and that its programs need no DLL beyond Windows' own and do their job.

CTest runs each case as dist.SUITE.NAME (under tools/wine-ctest, which sets
up the Wine prefix) with the environment:
    VARNEL_DIST_ZIP  the zip the build made
    VARNEL_VERSION   the project's version
    VARNEL_OBJDUMP   mingw-w64's objdump
    VARNEL_EMULATOR  the script that runs a Windows program under Wine
    VARNEL_SAMPLES   the folder of the sample sounds
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "support"))
from expected import clipped_sum, read_samples  # noqa: E402

ZIP = os.environ["VARNEL_DIST_ZIP"]
VERSION = os.environ["VARNEL_VERSION"]
OBJDUMP = os.environ["VARNEL_OBJDUMP"]
EMULATOR = os.environ["VARNEL_EMULATOR"]
SAMPLES = os.environ["VARNEL_SAMPLES"]
TOP = f"varnel-{VERSION}"

PROGRAMS = ("varnel.exe", "varnel-cli.exe")

# DLLs that every 64-bit Windows has in its system folder.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "uxtheme.dll", "version.dll", "winmm.dll", "ws2_32.dll",
}


def imported_dlls(program):
    dump = subprocess.run([OBJDUMP, "-p", program], capture_output=True, text=True, check=True).stdout
    return [name for name in re.findall(r"DLL Name: (\S+)", dump)]


def windows_path(path):
    """A path as a Windows program under Wine names it: the POSIX root is
    drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def subsystem(program):
    dump = subprocess.run([OBJDUMP, "-p", program], capture_output=True, text=True, check=True).stdout
    return re.search(r"^Subsystem\s+\S+\s+\((.*)\)", dump, re.M).group(1)


class Zip(unittest.TestCase):
    def test_is_named_for_the_project_version(self):
        self.assertRegex(VERSION, r"^\d+\.\d+\.\d+$")
        self.assertEqual(os.path.basename(ZIP), f"varnel-{VERSION}-win64.zip")

    def test_holds_one_folder_with_the_two_programs_and_the_readme(self):
        with zipfile.ZipFile(ZIP) as archive:
            self.assertIsNone(archive.testzip())
            files = sorted(name for name in archive.namelist() if not name.endswith("/"))
            folders = {name.split("/")[0] for name in archive.namelist()}
        self.assertEqual(files, [f"{TOP}/README.txt", f"{TOP}/samples/M20101.o22", f"{TOP}/samples/ap1-10.pcm",
                                 f"{TOP}/varnel-cli.exe", f"{TOP}/varnel.exe"])
        self.assertEqual(folders, {TOP}, "unpacking would scatter files")

    def test_readme_is_plain_text_for_windows_users(self):
        with zipfile.ZipFile(ZIP) as archive:
            text = archive.read(f"{TOP}/README.txt")
        self.assertIsNone(re.search(rb"(?<!\r)\n", text), "a line ends without CR (Notepad before Windows 10)")
        lines = text.decode("utf-8").split("\r\n")
        self.assertGreater(len(lines), 50)
        self.assertEqual([line for line in lines if len(line) >= 80], [])
        self.assertIn(VERSION, lines[0])
        self.assertNotIn("@", text.decode("utf-8"), "a placeholder was left")
        # Nothing of the developers' README: no pictures, builds or Linux paths.
        for developer_text in ("![", "make run", "make test", "make dist", "cmake", "build/", "apt-get", "Wine", "```"):
            self.assertNotIn(developer_text, text.decode("utf-8"))
        # What a Windows user needs to find.
        for needed in ("varnel.ini", "Cool Edit 2000", "delete varnel.ini", "Delete this folder",
                       "varnel-cli mono", "C:\\", "c:\\ap1-10.pcm", "c:\\M20101.o22", "c:\\output.pcm",
                       "samples\\ap1-10.pcm"):
            self.assertIn(needed, text.decode("utf-8"))


class Programs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        with zipfile.ZipFile(ZIP) as archive:
            archive.extractall(cls.folder.name)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def path(self, name):
        return os.path.join(self.folder.name, TOP, name)

    def test_import_only_dlls_that_come_with_windows(self):
        for program in PROGRAMS:
            dlls = imported_dlls(self.path(program))
            self.assertIn("kernel32.dll", [dll.lower() for dll in dlls], program)
            foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
            self.assertEqual(foreign, [], f"{program} needs DLLs that Windows does not have")

    def test_are_64_bit_programs_for_the_window_and_the_console(self):
        for program in PROGRAMS:
            header = subprocess.run([OBJDUMP, "-f", self.path(program)],
                                    capture_output=True, text=True, check=True).stdout
            self.assertIn("file format pei-x86-64", header, program)
        self.assertEqual(subsystem(self.path("varnel.exe")), "Windows GUI")
        self.assertEqual(subsystem(self.path("varnel-cli.exe")), "Windows CUI")

    def test_cli_from_the_zip_mixes_the_sample_sounds(self):
        first = self.path(os.path.join("samples", "ap1-10.pcm"))
        second = self.path(os.path.join("samples", "M20101.o22"))
        for sample in (first, second):
            with open(sample, "rb") as made, open(os.path.join(SAMPLES, os.path.basename(sample)), "rb") as built:
                self.assertEqual(made.read(), built.read(), sample)
        output = self.path("output.pcm")
        # Output into files, not pipes: Wine's service processes may outlive
        # the program and keep a pipe open.
        with open(self.path("stdout.txt"), "wb") as out, open(self.path("stderr.txt"), "wb") as err:
            status = subprocess.run([EMULATOR, self.path("varnel-cli.exe"), "-q", "mono",
                                     windows_path(first), windows_path(second), windows_path(output)],
                                    stdout=out, stderr=err, timeout=120).returncode
        with open(self.path("stderr.txt"), "rb") as err:
            self.assertEqual(status, 0, err.read())

        self.assertTrue(read_samples(output) == clipped_sum(read_samples(first), read_samples(second)),
                        "the output is not the clipped sum of the samples")


if __name__ == "__main__":
    unittest.main()
