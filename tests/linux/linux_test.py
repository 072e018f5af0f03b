#!/usr/bin/env python3
"""varnel-cli at home on Linux: `make install` and `make uninstall` into a
DESTDIR, the Debian package of `make deb` installed and removed (in a scratch
root, and on this machine through apt-get where we are root), the man page,
the bash completion, and the documents: the man page, varnel-cli's manual,
must name what `--help` names, and every document's figures must be the
program's.

CTest runs each case as linux.SUITE.NAME with the environment:
    VARNEL_SOURCE  the source folder (the Makefile)
    VARNEL_BUILD   the native build folder; the release build that `make cli`
                   makes for the cases goes into its linux-cli/
    VARNEL_CLI     the build's varnel-cli, whose --help the documents follow
    VARNEL_VERSION the project's version
"""

import gzip
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import wave

SOURCE = os.environ["VARNEL_SOURCE"]
CLI_BUILD = os.path.join(os.path.realpath(os.environ["VARNEL_BUILD"]), "linux-cli")
CLI = os.environ["VARNEL_CLI"]
VERSION = os.environ["VARNEL_VERSION"]
LINUX = os.path.join(SOURCE, "linux")
BASH_COMPLETION = os.path.join(LINUX, "completions", "varnel-cli.bash")

# What an install puts under its prefix, and where a package puts it.
INSTALLED = {
    "bin/varnel-cli",
    "share/man/man1/varnel-cli.1.gz",
    "share/bash-completion/completions/varnel-cli",
    "share/fish/vendor_completions.d/varnel-cli.fish",
    "share/doc/varnel-cli/copyright",
    "share/doc/varnel-cli/changelog.gz",
}
ZSH_LOCAL = "share/zsh/site-functions/_varnel-cli"
ZSH_PACKAGE = "share/zsh/vendor-completions/_varnel-cli"
LINTIAN_OVERRIDE = "share/lintian/overrides/varnel-cli"
PACKAGED = INSTALLED | {ZSH_PACKAGE, LINTIAN_OVERRIDE}
MAINTAINER = "Test Packager <packager@example.org>"
# Options that only the Windows program takes.
WINDOWS_ONLY = {"-?"}
TIME = "/usr/bin/time"


def make(*arguments, cli_build=CLI_BUILD, check=True):
    env = dict(os.environ)
    # Not a sub-make of the `make test` that may have started these tests.
    for name in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL", "MAINTAINER"):
        env.pop(name, None)
    result = subprocess.run(["make", "--no-print-directory", "-C", SOURCE, "CLI_BUILD=" + cli_build, "JOBS=2",
                             *arguments], env=env, capture_output=True, text=True, timeout=900)
    if check and result.returncode != 0:
        raise AssertionError(f"make {' '.join(arguments)} failed:\n{result.stdout}\n{result.stderr}")
    return result


def folders_under(root):
    return {os.path.relpath(os.path.join(folder, name), root)
            for folder, names, _ in os.walk(root) for name in names}


def files_under(root):
    return {os.path.relpath(os.path.join(folder, name), root)
            for folder, _, names in os.walk(root) for name in names}


def is_stripped(program):
    sections = subprocess.run(["readelf", "-S", "-W", program], capture_output=True, text=True, check=True).stdout
    return ".symtab" not in sections


def help_text():
    return subprocess.run([CLI, "--help"], capture_output=True, text=True, check=True, timeout=30).stdout


def options_of(text):
    return set(re.findall(r"(?<![\w./-])(--?[A-Za-z?][\w-]*)", text))


def functions_of(text):
    """The words of the help that varnel-cli takes as a function: on inputs
    that do not exist, a function's run fails (1) where any other word is a
    wrong command line (2)."""
    functions = set()
    with tempfile.TemporaryDirectory() as folder:
        for word in set(re.findall(r"(?<![\w./-])[a-z][a-z0-9]*(?![\w-])", text)):
            status = subprocess.run([CLI, "-q", word, "no-such-1", "no-such-2", "out.pcm"], cwd=folder,
                                    capture_output=True, timeout=30).returncode
            if status == 1:
                functions.add(word)
    return functions


def names(text, name):
    return re.search(r"(?<![\w-])" + re.escape(name) + r"(?![\w-])", text) is not None


def rendered_man_page():
    return subprocess.run(["groff", "-man", "-Tascii", "-rHY=0", "-P-c", "-P-b", "-P-o", "-P-u",
                           os.path.join(LINUX, "varnel-cli.1")], capture_output=True, text=True, check=True).stdout


def documents():
    """{name: text} of every document a user or a contributor reads, the man
    page as groff renders it."""
    texts = {"the man page": rendered_man_page()}
    for name in ["README.md", "CONTRIBUTING.md", os.path.join("bench", "README.md"),
                 os.path.join("dist", "README.txt.in")] + \
            [os.path.join("docs", page) for page in sorted(os.listdir(os.path.join(SOURCE, "docs")))
             if page.endswith(".md")]:
        with open(os.path.join(SOURCE, name), encoding="utf-8") as f:
            texts[name] = f.read()
    return texts


def stated(pattern, texts):
    """{document: the numbers that `pattern` finds in it}, for the documents that state any."""
    found = {name: {int(number) for number in re.findall(pattern, text)} for name, text in texts.items()}
    return {name: numbers for name, numbers in found.items() if numbers}


def complete(*words):
    """What the bash completion offers for the last of `words`, the words of
    the command line so far (the last one being typed, "" for a new one)."""
    script = ('source "$0" || exit 3\n'
              'registered=$(complete -p varnel-cli) || exit 4\n'
              'function=${registered#*-F }; function=${function%% *}\n'
              'COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))\n'
              '"$function" varnel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null\n'
              'printf "%s\\n" "${COMPREPLY[@]}"\n')
    result = subprocess.run(["bash", "--norc", "--noprofile", "-c", script, BASH_COMPLETION, "varnel-cli", *words],
                            capture_output=True, text=True, timeout=30, cwd=Completion.folder)
    if result.returncode != 0:
        raise AssertionError(f"the completion failed ({result.returncode}): {result.stderr}")
    return {line for line in result.stdout.splitlines() if line}


def deb_architecture():
    return subprocess.run(["dpkg", "--print-architecture"], capture_output=True, text=True, check=True).stdout.strip()


class Install(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder)
        self.destdir = os.path.join(self.folder, "stage")
        make("install", "DESTDIR=" + self.destdir, "PREFIX=/usr/local")
        self.prefix = os.path.join(self.destdir, "usr", "local")

    def test_puts_the_program_man_page_and_completions_where_the_system_looks(self):
        self.assertEqual(files_under(self.destdir), {"usr/local/" + name for name in INSTALLED | {ZSH_LOCAL}})
        program = os.path.join(self.prefix, "bin", "varnel-cli")
        self.assertTrue(is_stripped(program))
        version = subprocess.run([program, "--version"], capture_output=True, text=True, timeout=30)
        self.assertEqual(version.stdout.strip(), "varnel-cli " + VERSION)
        with gzip.open(os.path.join(self.prefix, "share", "man", "man1", "varnel-cli.1.gz"), "rb") as man:
            with open(os.path.join(LINUX, "varnel-cli.1"), "rb") as source:
                self.assertEqual(man.read(), source.read())

    def test_uninstall_removes_exactly_what_was_installed(self):
        others = ["usr/local/bin/other-tool", "usr/local/share/man/man1/other-tool.1.gz"]
        for name in others:
            with open(os.path.join(self.destdir, name), "w") as f:
                f.write("not ours\n")
        done = make("uninstall")
        self.assertEqual(files_under(self.destdir), set(others))
        # The folders it made go once empty, the completions' too; those
        # that hold another's files stay, without a word.
        self.assertEqual(folders_under(self.destdir), {"usr", "usr/local", "usr/local/bin", "usr/local/share",
                                                       "usr/local/share/man", "usr/local/share/man/man1"})
        self.assertEqual(done.stderr, "")
        self.assertNotIn("rmdir", done.stdout)

    def test_uninstall_keeps_the_folders_that_were_there_before(self):
        destdir = os.path.join(self.folder, "lived-in")
        lived_in = {"usr/local/share/zsh/site-functions", "usr/local/share/fish/vendor_completions.d",
                    "usr/local/share/doc"}
        for folder in lived_in:
            os.makedirs(os.path.join(destdir, folder))
        make("install", "DESTDIR=" + destdir, "PREFIX=/usr/local")
        done = make("uninstall")
        self.assertEqual(files_under(destdir), set())
        self.assertEqual(folders_under(destdir), {"usr", "usr/local", "usr/local/share", "usr/local/share/zsh",
                                                  "usr/local/share/fish"} | lived_in)
        self.assertEqual(done.stderr, "")


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        make("deb", "MAINTAINER=" + MAINTAINER)
        cls.deb = os.path.join(CLI_BUILD, f"varnel-cli_{VERSION}_{deb_architecture()}.deb")

    def field(self, name):
        return subprocess.run(["dpkg-deb", "-f", self.deb, name], capture_output=True, text=True,
                              check=True).stdout.strip()

    def test_holds_the_files_under_usr_where_debian_expects_them(self):
        self.assertEqual(self.field("Package"), "varnel-cli")
        self.assertEqual(self.field("Version"), VERSION)
        self.assertEqual(self.field("Maintainer"), MAINTAINER)
        listing = subprocess.run(["dpkg-deb", "-c", self.deb], capture_output=True, text=True, check=True).stdout
        entries = [line.split() for line in listing.splitlines()]
        files = {entry[-1] for entry in entries if not entry[0].startswith("d")}
        self.assertEqual(files, {"./usr/" + name for name in PACKAGED})
        self.assertTrue(all(entry[1] == "root/root" for entry in entries), listing)

    def test_lintian_finds_no_error(self):
        if not shutil.which("lintian"):
            self.skipTest("lintian is not installed")
        checked = subprocess.run(["lintian", "--fail-on", "error", self.deb], capture_output=True, text=True,
                                 timeout=600)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        self.assertNotRegex(checked.stdout, r"(?m)^E:")

    def test_is_refused_without_a_maintainer(self):
        for given in ([], ["MAINTAINER=varnel@localhost"]):
            refused = make("deb", *given, check=False)
            self.assertNotEqual(refused.returncode, 0)
            self.assertIn('make deb MAINTAINER="Your Name <you@example.org>"', refused.stderr)

    def test_a_second_build_elsewhere_gives_the_same_bytes(self):
        again = CLI_BUILD + "-again"
        self.addCleanup(shutil.rmtree, again, True)
        make("deb", "MAINTAINER=" + MAINTAINER, cli_build=again)
        with open(self.deb, "rb") as first, open(os.path.join(again, os.path.basename(self.deb)), "rb") as second:
            self.assertTrue(first.read() == second.read(), "the two packages differ")

    def test_installs_runs_and_removes_cleanly_in_a_scratch_root(self):
        root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, root)
        for folder in ("info", "updates"):
            os.makedirs(os.path.join(root, "var", "lib", "dpkg", folder))
        open(os.path.join(root, "var", "lib", "dpkg", "status"), "w").close()
        # The scratch root has no libc6 to depend on: the program runs on this machine's.
        dpkg = ["dpkg", "--root=" + root, "--force-not-root", "--force-depends", "--log=/dev/null"]
        subprocess.run(dpkg + ["--install", self.deb], capture_output=True, check=True, timeout=120)
        version = subprocess.run([os.path.join(root, "usr", "bin", "varnel-cli"), "--version"],
                                 capture_output=True, text=True, timeout=30)
        self.assertEqual(version.stdout.strip(), "varnel-cli " + VERSION)
        subprocess.run(dpkg + ["--purge", "varnel-cli"], capture_output=True, check=True, timeout=120)
        self.assertEqual(sorted(os.listdir(root)), ["var"])

    def test_installs_with_apt_get_runs_and_removes_cleanly_on_this_machine(self):
        if os.geteuid() != 0 or not shutil.which("apt-get"):
            self.skipTest("needs root and apt-get: the package was installed in a scratch root only")
        installed = subprocess.run(["dpkg-query", "-W", "-f=${Status}", "varnel-cli"], capture_output=True, text=True)
        if "installed" in installed.stdout:
            self.skipTest("varnel-cli is installed on this machine already: it is left alone")
        apt = ["apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=300"]
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(apt + ["install", self.deb], env=env, capture_output=True, check=True, timeout=600)
        try:
            version = subprocess.run(["/usr/bin/varnel-cli", "--version"], capture_output=True, text=True, timeout=30)
            self.assertEqual(version.stdout.strip(), "varnel-cli " + VERSION)
            man = subprocess.run(["man", "-w", "varnel-cli"], capture_output=True, text=True, timeout=30)
            self.assertEqual(man.stdout.strip(), "/usr/share/man/man1/varnel-cli.1.gz")
        finally:
            subprocess.run(apt + ["purge", "varnel-cli"], env=env, capture_output=True, check=True, timeout=600)
        for name in PACKAGED:
            self.assertFalse(os.path.exists("/usr/" + name), name)
        self.assertFalse(os.path.exists("/usr/share/doc/varnel-cli"))


class Documents(unittest.TestCase):
    def setUp(self):
        if not shutil.which("groff"):
            self.skipTest("groff is not installed (Debian's groff-base)")

    def test_man_page_renders_without_a_warning(self):
        result = subprocess.run(["groff", "-man", "-ww", "-z", os.path.join(LINUX, "varnel-cli.1")],
                                capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stderr), (0, ""))

    def test_man_page_names_every_function_and_option_of_the_help(self):
        # The man page is varnel-cli's one manual: the Windows zip's
        # README.txt ends with it too.
        text = help_text()
        options, functions = options_of(text), functions_of(text)
        self.assertGreaterEqual(len(functions), 4, text)
        self.assertIn("--help", options)
        page = rendered_man_page()
        self.assertEqual([name for name in sorted(options | functions) if not names(page, name)], [])


class DocumentsAgainstTheProgram(unittest.TestCase):
    """What the documents say of the program's memory and of its WAV
    headers, wherever they say it, held against the program itself."""

    def setUp(self):
        if not shutil.which("groff"):
            self.skipTest("groff is not installed (Debian's groff-base)")
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder)

    def said(self, pattern):
        """The one number that `pattern` finds in the man page and in any
        other document that states it."""
        statements = stated(pattern, documents())
        self.assertIn("the man page", statements, pattern)
        self.assertEqual(len(set().union(*statements.values())), 1, statements)
        return next(iter(statements["the man page"]))

    def test_two_inputs_of_any_size_take_the_memory_the_documents_give(self):
        mebibytes = self.said(r"about\s+(\d+)\s+MiB\s+resident\s+for\s+two\s+inputs")
        # Inputs four times that, so that buffers that grew with the files would show.
        names = []
        for number in (1, 2):
            names.append(os.path.join(self.folder, f"in{number}.pcm"))
            with open(names[-1], "wb") as f:
                f.write(os.urandom(4 * mebibytes << 20))
        # GNU time, small itself: a child of this Python would count its
        # parent's memory as its own from the moment it was forked.
        if not os.access(TIME, os.X_OK):
            self.skipTest(f"{TIME} is not there (Debian's time)")
        measured = os.path.join(self.folder, "kib")
        for function in ("mono", "stereo"):
            subprocess.run([TIME, "-f", "%M", "-o", measured, CLI, "-q", function, *names,
                            os.path.join(self.folder, "out.pcm")], check=True, timeout=120)
            with open(measured) as f:
                kib = int(f.read().split()[-1])
            # "About" allows an eighth more.
            self.assertLessEqual(kib, mebibytes * 1024 * 9 // 8, function)

    def test_wav_outputs_have_the_headers_the_documents_give(self):
        canonical = self.said(r"canonical\s+(\d+)-byte\s+header")
        extensible = self.said(r"WAVE_FORMAT_EXTENSIBLE,\s+a\s+(\d+)-byte\s+header")
        for channels, header in ((2, canonical), (3, extensible)):
            names = []
            for number in (1, 2):
                names.append(os.path.join(self.folder, f"in{number}.wav"))
                with wave.open(names[-1], "wb") as made:
                    made.setnchannels(channels)
                    made.setsampwidth(2)
                    made.setframerate(22050)
                    made.writeframes(os.urandom(600 * channels))
            output = os.path.join(self.folder, "out.wav")
            subprocess.run([CLI, "-q", "join", *names, output], check=True, timeout=30)
            with open(output, "rb") as f:
                written = f.read()
            self.assertEqual(len(written) - header, 2 * 600 * channels, channels)
            self.assertEqual(written[header - 8:header - 4], b"data", channels)
            self.assertEqual(struct.unpack_from("<H", written, 20)[0], 1 if channels == 2 else 0xFFFE, channels)
        # Any other document that gives a header's size gives one of these.
        for document, sizes in stated(r"(\d+)-byte\s+(?:WAV\s+)?header", documents()).items():
            self.assertLessEqual(sizes, {canonical, extensible}, document)


class Completion(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp()
        for name in ("voice.pcm", "music.wav"):
            open(os.path.join(cls.folder, name), "w").close()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def test_bash_completes_functions_and_options_by_their_beginning(self):
        self.assertEqual(complete("jo"), {"join", "join12", "join21"})
        self.assertEqual(complete("--p"), {"--pad", "--progress"})
        self.assertEqual(complete("-q", "--rate", "22050", "st"), {"stereo"})

    def test_bash_offers_every_option_and_function_of_the_help(self):
        text = help_text()
        self.assertLessEqual(options_of(text) - WINDOWS_ONLY, complete("-"))
        self.assertEqual(complete(""), functions_of(text))

    def test_bash_completes_file_names_for_the_inputs_and_the_output_only(self):
        files = {"voice.pcm", "music.wav"}
        self.assertEqual(complete("mono", ""), files)
        self.assertEqual(complete("mono", "voice.pcm", "m"), {"music.wav"})
        self.assertEqual(complete("--", "mono", "-x", ""), files)
        self.assertEqual(complete("stereo", "voice.pcm", "music.wav", "out.pcm", ""), set())
        self.assertEqual(complete("join", "voice.pcm", "music.wav", "voice.pcm", ""), files)

    def test_fish_completes_functions_options_and_file_names(self):
        if not shutil.which("fish"):
            self.skipTest("fish is not installed")
        completion = os.path.join(LINUX, "completions", "varnel-cli.fish")

        def fish_complete(line):
            result = subprocess.run(["fish", "--no-config", "-c", f"source {completion}; complete -C '{line}'"],
                                    capture_output=True, text=True, timeout=30, cwd=self.folder, check=True)
            return {entry.split("\t")[0] for entry in result.stdout.splitlines()}

        self.assertEqual(fish_complete("varnel-cli jo"), {"join", "join12", "join21"})
        self.assertEqual(fish_complete("varnel-cli --p"), {"--pad", "--progress"})
        self.assertEqual(fish_complete("varnel-cli mono "), {"voice.pcm", "music.wav"})


if __name__ == "__main__":
    unittest.main()
