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
    VARNEL_SOURCE_DIR, VARNEL_TOOLCHAIN, VARNEL_BUILD_TYPE
                     the sources, the cross build's toolchain file and the
                     build type, for the clean builds of the release
    VARNEL_REBUILD_ROOT
                     where those builds go
"""

import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, os.pardir, "support"))
sys.path.insert(0, os.path.join(HERE, os.pardir, os.pardir, "dist"))
from expected import clipped_sum, read_samples  # noqa: E402
from make_zip import plain_text_manual  # noqa: E402

ZIP = os.environ["VARNEL_DIST_ZIP"]
VERSION = os.environ["VARNEL_VERSION"]
OBJDUMP = os.environ["VARNEL_OBJDUMP"]
EMULATOR = os.environ["VARNEL_EMULATOR"]
SAMPLES = os.environ["VARNEL_SAMPLES"]
SOURCE_DIR = os.environ["VARNEL_SOURCE_DIR"]
TOOLCHAIN = os.environ["VARNEL_TOOLCHAIN"]
BUILD_TYPE = os.environ["VARNEL_BUILD_TYPE"]
REBUILD_ROOT = os.environ["VARNEL_REBUILD_ROOT"]
TOP = f"varnel-{VERSION}"

PROGRAMS = ("varnel.exe", "varnel-cli.exe")

# Windows' Known DLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session
# Manager\KnownDLLs on 64-bit Windows 10 and 11): always loaded from System32.
# Any other DLL a program imports is looked for in the program's folder first,
# before any of its code runs: a DLL of that name planted there (in the
# Downloads folder the zip was unpacked in, say) would be loaded instead.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll",
    "gdi32.dll", "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll",
    "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "wldap32.dll", "ws2_32.dll",
}
# Common controls 6, which the window's manifest names, come from the
# system's side-by-side store, not from the program's folder.
ALSO_IMPORTED = {"varnel.exe": {"comctl32.dll"}, "varnel-cli.exe": set()}


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
        self.assertEqual(files, [f"{TOP}/README.txt", f"{TOP}/SHA256SUMS", f"{TOP}/samples/M20101.o22",
                                 f"{TOP}/samples/ap1-10.pcm", f"{TOP}/varnel-cli.exe", f"{TOP}/varnel.exe"])
        self.assertEqual(folders, {TOP}, "unpacking would scatter files")

    def test_checksum_beside_it_checks_the_zip_itself(self):
        with open(ZIP, "rb") as archive:
            digest = hashlib.sha256(archive.read()).hexdigest()
        with open(ZIP + ".sha256", "rb") as checksum:
            self.assertEqual(checksum.read(), f"{digest}  {os.path.basename(ZIP)}\n".encode())
        if shutil.which("sha256sum"):
            checked = subprocess.run(["sha256sum", "-c", os.path.basename(ZIP) + ".sha256"],
                                     cwd=os.path.dirname(ZIP), capture_output=True, text=True)
            self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)

    def test_readme_is_plain_text_for_windows_users(self):
        with zipfile.ZipFile(ZIP) as archive:
            text = archive.read(f"{TOP}/README.txt")
        self.assertIsNone(re.search(rb"(?<!\r)\n", text), "a line ends without CR (Notepad before Windows 10)")
        # Nothing Notepad shows wrongly: no byte beyond ASCII (typographic
        # quotes and hyphens), no overstrike for bold or underline.
        self.assertEqual(re.findall(rb"[^\t\r\n\x20-\x7e]", text), [])
        lines = text.decode("ascii").split("\r\n")
        self.assertGreater(len(lines), 50)
        self.assertEqual([line for line in lines if len(line) >= 80], [])
        self.assertIn(VERSION, lines[0])
        self.assertNotIn("@", text.decode("utf-8"), "a placeholder was left")
        # Nothing of the developers' README: no pictures, builds or Linux paths.
        for developer_text in ("![", "make run", "make test", "make dist", "cmake", "build/", "apt-get", "Wine", "```"):
            self.assertNotIn(developer_text, text.decode("utf-8"))
        # What a Windows user needs to find.
        for needed in ("varnel.ini", "Cool Edit 2000", "delete varnel.ini", "Delete this folder",
                       "varnel-cli mono", "C:\\", "%APPDATA%\\Varnel\\varnel.ini",
                       "CertUtil -hashfile varnel.exe SHA256", "sha256sum -c SHA256SUMS",
                       f"CertUtil -hashfile varnel-{VERSION}-win64.zip SHA256",
                       f"sha256sum -c varnel-{VERSION}-win64.zip.sha256",
                       "c:\\ap1-10.pcm", "c:\\M20101.o22", "c:\\output.pcm", "samples\\ap1-10.pcm"):
            self.assertIn(needed, text.decode("utf-8"))

    def test_readme_ends_with_the_manual_of_varnel_cli(self):
        with zipfile.ZipFile(ZIP) as archive:
            text = archive.read(f"{TOP}/README.txt").decode("ascii")
        manual = plain_text_manual(os.path.join(SOURCE_DIR, "linux", "varnel-cli.1"), shutil.which("groff"))
        self.assertTrue(text.endswith(manual.replace("\n", "\r\n")), "README.txt does not end with the man page")
        for section in ("SYNOPSIS", "OPTIONS", "WAV FILES", "SAFETY", "EXIT STATUS", "EXAMPLES"):
            self.assertIn(f"\r\n{section}\r\n", text)


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

    def test_import_only_dlls_no_file_beside_them_can_replace(self):
        for program in PROGRAMS:
            dump = subprocess.run([OBJDUMP, "-p", self.path(program)], capture_output=True, text=True,
                                  check=True).stdout
            dlls = [dll.lower() for dll in re.findall(r"DLL Name: (\S+)", dump)]
            self.assertIn("kernel32.dll", dlls, program)
            foreign = [dll for dll in dlls if dll not in KNOWN_DLLS | ALSO_IMPORTED[program]]
            self.assertEqual(foreign, [], f"{program} imports DLLs that a file beside it would replace")
            # What both programs do first, so that their later loads by name
            # look in System32 only.
            self.assertRegex(dump, r"\sSetDefaultDllDirectories\n", program)

    def test_sums_beside_them_check_every_file_of_the_folder(self):
        with open(self.path("SHA256SUMS"), encoding="ascii") as sums:
            listed = [line.split("  ", 1) for line in sums.read().splitlines()]
        self.assertEqual(sorted(name for _, name in listed), ["README.txt", "samples/M20101.o22", "samples/ap1-10.pcm",
                                                                 "varnel-cli.exe", "varnel.exe"])
        for digest, name in listed:
            with open(self.path(name), "rb") as data:
                self.assertEqual(hashlib.sha256(data.read()).hexdigest(), digest, name)
        if shutil.which("sha256sum"):
            checked = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=self.path(""),
                                     capture_output=True, text=True)
            self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)

    def test_are_64_bit_programs_for_the_window_and_the_console(self):
        for program in PROGRAMS:
            header = subprocess.run([OBJDUMP, "-f", self.path(program)],
                                    capture_output=True, text=True, check=True).stdout
            self.assertIn("file format pei-x86-64", header, program)
        self.assertEqual(subsystem(self.path("varnel.exe")), "Windows GUI")
        self.assertEqual(subsystem(self.path("varnel-cli.exe")), "Windows CUI")

    def run_cli(self, *arguments):
        """varnel-cli.exe's exit status, standard output and standard error."""
        # Output into files, not pipes: Wine's service processes may outlive
        # the program and keep a pipe open.
        with open(self.path("stdout.txt"), "wb") as out, open(self.path("stderr.txt"), "wb") as err:
            status = subprocess.run([EMULATOR, self.path("varnel-cli.exe"), *arguments],
                                    stdout=out, stderr=err, timeout=120).returncode
        with open(self.path("stdout.txt"), "rb") as out, open(self.path("stderr.txt"), "rb") as err:
            return status, out.read().decode("utf-8", "replace"), err.read()

    def test_readme_names_every_option_of_the_cli_help(self):
        status, help_text, _ = self.run_cli("--help")
        self.assertEqual(status, 0)
        options = set(re.findall(r"(?<![\w./-])(--?[A-Za-z?][\w-]*)", help_text))
        self.assertIn("--help", options)
        self.assertIn("README.txt", help_text)
        with open(self.path("README.txt"), encoding="ascii") as readme:
            text = readme.read()
        missing = [option for option in sorted(options)
                   if not re.search(r"(?<![\w-])" + re.escape(option) + r"(?![\w-])", text)]
        self.assertEqual(missing, [])

    def test_cli_from_the_zip_mixes_the_sample_sounds(self):
        first = self.path(os.path.join("samples", "ap1-10.pcm"))
        second = self.path(os.path.join("samples", "M20101.o22"))
        for sample in (first, second):
            with open(sample, "rb") as made, open(os.path.join(SAMPLES, os.path.basename(sample)), "rb") as built:
                self.assertEqual(made.read(), built.read(), sample)
        output = self.path("output.pcm")
        status, _, errors = self.run_cli("-q", "mono", windows_path(first), windows_path(second), windows_path(output))
        self.assertEqual(status, 0, errors)

        self.assertTrue(read_samples(output) == clipped_sum(read_samples(first), read_samples(second)),
                        "the output is not the clipped sum of the samples")


class Reproducible(unittest.TestCase):
    """Two clean builds of the release, one after the other in two folders of
    different lengths, without the compiler cache: the same zip, byte for
    byte, holding no path of either build folder or of the sources."""

    def build(self, folder):
        environment = {name: value for name, value in os.environ.items()
                       if not name.startswith("CMAKE_") and name != "SOURCE_DATE_EPOCH"}
        environment["CCACHE_DISABLE"] = "1"
        shutil.rmtree(folder, ignore_errors=True)
        for command in (["cmake", "-S", SOURCE_DIR, "-B", folder, f"-DCMAKE_TOOLCHAIN_FILE={TOOLCHAIN}",
                         f"-DCMAKE_BUILD_TYPE={BUILD_TYPE}", "-DVARNEL_BUILD_TESTS=OFF"],
                        ["cmake", "--build", folder, "-j2", "--target", "varnel_dist"]):
            done = subprocess.run(command, env=environment, capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stdout[-3000:] + done.stderr[-3000:])
        with open(os.path.join(folder, os.path.basename(ZIP)), "rb") as archive:
            return archive.read()

    def test_two_builds_in_two_folders_give_the_same_zip(self):
        first = os.path.join(REBUILD_ROOT, "first")
        second = os.path.join(REBUILD_ROOT, "second-of-two")
        zips = [self.build(first), self.build(second)]
        self.assertTrue(zips[0] == zips[1], "the two builds' zips differ")
        with zipfile.ZipFile(os.path.join(second, os.path.basename(ZIP))) as archive:
            for name in archive.namelist():
                content = archive.read(name)
                for path in (first, second, SOURCE_DIR):
                    self.assertNotIn(os.path.abspath(path).encode(), content, f"{name} holds a build path")
        shutil.rmtree(REBUILD_ROOT, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
