#!/usr/bin/env python3
"""The layers of the sources, as CONTRIBUTING.md's table gives them: each
folder includes from itself and from the folders its row names, and from no
other; the portable folders include a Windows header only in their *_win.cpp
files.

CTest runs each case as layers.SUITE.NAME with VARNEL_SOURCE, the root of
the sources.
"""

import os
import re
import unittest

SOURCE = os.environ["VARNEL_SOURCE"]
TABLE_HEADER = "| Folder | includes from |"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/', re.MULTILINE)
WINDOWS_HEADER = re.compile(r"^\s*#\s*include\s+<(windows|commctrl|shlobj|shellapi|commdlg)\.h>", re.MULTILINE)
SOURCE_FILE = re.compile(r"\.(h|cpp|rc|rc2|in)$")
PORTABLE = ("processing", "fastio", "safeoutput", "cli")


def documented_layers():
    """{folder: set of folders it may include from}, from CONTRIBUTING.md."""
    with open(os.path.join(SOURCE, "CONTRIBUTING.md"), encoding="utf-8") as guide:
        lines = guide.read().splitlines()
    start = lines.index(TABLE_HEADER) + 2  # past the header and its rule
    layers = {}
    for line in lines[start:]:
        if not line.startswith("|"):
            break
        folder, sees = (cell.strip() for cell in line.strip("|").split("|"))
        layers[folder.strip("`/")] = set(re.findall(r"`([^`/]+)/`", sees))
    return layers


def sources(folder):
    for root, _, names in os.walk(os.path.join(SOURCE, folder)):
        for name in sorted(names):
            if SOURCE_FILE.search(name):
                yield os.path.join(root, name)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as source:
        return source.read()


class Includes(unittest.TestCase):
    def test_each_folder_includes_only_from_the_folders_it_may_see(self):
        layers = documented_layers()
        wrong = []
        for folder, sees in layers.items():
            for path in sources(folder):
                for included in INCLUDE.findall(read(path)):
                    if included != folder and included not in sees:
                        wrong.append(f"{os.path.relpath(path, SOURCE)} includes from {included}/")
        self.assertEqual(wrong, [])

    def test_the_table_names_every_folder_of_sources(self):
        layers = documented_layers()
        tops = {name for name in os.listdir(SOURCE)
                if os.path.isdir(os.path.join(SOURCE, name)) and os.path.isfile(os.path.join(SOURCE, name, "CMakeLists.txt"))}
        self.assertEqual(tops - {"tests"}, set(layers))
        for folder, sees in layers.items():
            self.assertLessEqual(sees, set(layers), folder)

    def test_portable_folders_include_windows_headers_only_in_their_windows_files(self):
        wrong = [os.path.relpath(path, SOURCE)
                 for folder in PORTABLE for path in sources(folder)
                 if not path.endswith("_win.cpp") and WINDOWS_HEADER.search(read(path))]
        self.assertEqual(wrong, [])


if __name__ == "__main__":
    unittest.main()
