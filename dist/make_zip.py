#!/usr/bin/env python3
"""Packs the Windows release zip, the same bytes from every build of the same
sources, wherever and whenever it is made:

    make_zip.py --varnel-exe FILE --cli-exe FILE --readme README.txt.in
                --manual varnel-cli.1 --groff GROFF
                --version VERSION --strip STRIP --stage FOLDER --zip FILE
                --source FOLDER --samples FOLDER

The files are put together in STAGE/varnel-VERSION first, with a SHA256SUMS
of them: the zip holds that one folder, so unpacking it never scatters
files; the two sample sounds go in its samples folder. README.txt ends with
varnel-cli's manual, the man page rendered as plain text by groff. Every
entry carries one time, in one order, with fixed attributes:
SOURCE_DATE_EPOCH when set, else the time of the sources' last commit.
Beside the zip, ZIP.sha256 holds its own checksum, which SHA256SUMS inside
it cannot: what a download is checked against before it is unpacked.
"""

import argparse
import datetime
import hashlib
import os
import shutil
import subprocess
import sys
import zipfile

# The zip format's earliest time, for sources that are no clone.
EARLIEST = 315532800  # 1980-01-01 00:00:00 UTC


def sources_time(source):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        found = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"],
                               capture_output=True, text=True, check=True).stdout.strip()
        return int(found)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return EARLIEST


def plain_text_manual(man_page, groff):
    """The man page as Notepad shows it rightly: ASCII only, no overstruck
    bold or underline, lines of at most 78 columns, not justified nor
    hyphenated (so that a search for a word finds it), bullets as *, and
    without the running head and foot of a page."""
    with open(man_page, encoding="utf-8") as source:
        page = ".ad l\n.char \\[bu] *\n" + source.read()
    rendered = subprocess.run([groff, "-man", "-Tascii", "-rLL=78n", "-rHY=0", "-P-c", "-P-b", "-P-o", "-P-u"],
                              input=page, capture_output=True, text=True, check=True).stdout
    return "\n".join(rendered.splitlines()[1:-1]).strip("\n") + "\n"


def windows_readme(template, manual, version):
    with open(template, encoding="utf-8") as source:
        text = source.read().replace("@VARNEL_CLI_MANUAL@\n", manual).replace("@PROJECT_VERSION@", version)
    # Notepad before Windows 10 shows a file with bare LF line ends as one line.
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def sha256(path):
    with open(path, "rb") as data:
        return hashlib.sha256(data.read()).hexdigest()


def main():
    parser = argparse.ArgumentParser()
    for option in ("varnel-exe", "cli-exe", "readme", "manual", "groff", "version", "strip", "stage", "zip", "source",
                   "samples"):
        parser.add_argument("--" + option, required=True)
    args = parser.parse_args()

    top = f"varnel-{args.version}"
    folder = os.path.join(args.stage, top)
    shutil.rmtree(args.stage, ignore_errors=True)
    os.makedirs(os.path.join(folder, "samples"))
    # Debug information and symbols are for the build folder; the release
    # needs neither. strip writes the PE header anew, with the time of day
    # unless SOURCE_DATE_EPOCH gives one: the linker's zero, kept.
    strip_environment = dict(os.environ, SOURCE_DATE_EPOCH="0")
    for built, name in ((args.varnel_exe, "varnel.exe"), (args.cli_exe, "varnel-cli.exe")):
        shutil.copyfile(built, os.path.join(folder, name))
        stripped = subprocess.run([args.strip, "--strip-all", os.path.join(folder, name)], env=strip_environment)
        if stripped.returncode != 0:
            sys.exit(f"Stripping {name} failed")
    with open(os.path.join(folder, "README.txt"), "wb") as readme:
        readme.write(windows_readme(args.readme, plain_text_manual(args.manual, args.groff), args.version))
    # The sample sounds, raw, for a first run of the window.
    samples = ["samples/M20101.o22", "samples/ap1-10.pcm"]
    for name in samples:
        shutil.copyfile(os.path.join(args.samples, os.path.basename(name)), os.path.join(folder, name))
    # The form sha256sum -c reads, with LF line ends as it writes them.
    files = ["README.txt", "varnel-cli.exe", "varnel.exe"] + samples
    with open(os.path.join(folder, "SHA256SUMS"), "w", encoding="ascii", newline="\n") as sums:
        for name in files:
            sums.write(f"{sha256(os.path.join(folder, name))}  {name}\n")

    when = datetime.datetime.fromtimestamp(max(sources_time(args.source), EARLIEST), datetime.timezone.utc)
    stamp = when.timetuple()[:6]
    for made in (args.zip, args.zip + ".sha256"):
        if os.path.exists(made):
            os.remove(made)
    with zipfile.ZipFile(args.zip, "w") as archive:
        entry = zipfile.ZipInfo(top + "/", stamp)
        entry.external_attr = 0o40755 << 16 | 0x10  # a folder, for Unix and for Windows
        archive.writestr(entry, b"")
        entry = zipfile.ZipInfo(top + "/samples/", stamp)
        entry.external_attr = 0o40755 << 16 | 0x10
        archive.writestr(entry, b"")
        for name in ["SHA256SUMS"] + files:
            entry = zipfile.ZipInfo(f"{top}/{name}", stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o100644 << 16
            with open(os.path.join(folder, name), "rb") as data:
                archive.writestr(entry, data.read(), compresslevel=9)
    # The sha256sum form, the zip named without a folder, so that
    # `sha256sum -c` finds it beside the file.
    with open(args.zip + ".sha256", "w", encoding="ascii", newline="\n") as checksum:
        checksum.write(f"{sha256(args.zip)}  {os.path.basename(args.zip)}\n")


if __name__ == "__main__":
    main()
