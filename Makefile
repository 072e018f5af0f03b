# Varnel: `make test` installs what is missing, builds both builds and runs
# every test; `make run` builds and opens the program.

NATIVE_BUILD   := build/native
WIN_BUILD      := build/win
SANITIZE_BUILD := build/sanitize
BUILD_TYPE     ?= RelWithDebInfo
JOBS           ?= $(shell nproc 2>/dev/null || echo 2)

# Warnings are errors only in CI (CI=true), so that a newer compiler's new
# warning never stops a user's build.
WARNINGS_AS_ERRORS := $(if $(filter true,$(CI)),ON,OFF)
CONFIGURE     := cmake -S . -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVARNEL_WARNINGS_AS_ERRORS=$(WARNINGS_AS_ERRORS)
CONFIGURE_WIN := $(CONFIGURE) -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

# Debian packages the builds and tests need.
PACKAGES := cmake make g++ libgtest-dev googletest \
            g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
            wine wine64 xvfb xauth python3 \
            libcli11-dev libbenchmark-dev sox \
            groff-base dpkg-dev strace

.PHONY: all deps native win test test-native test-sanitize test-win run dist screenshots bench fuzz clean \
        cli install uninstall deb

all: native win

deps:
	@tools/install-packages $(PACKAGES)

native: deps
	$(CONFIGURE) -B $(NATIVE_BUILD)
	cmake --build $(NATIVE_BUILD) -j$(JOBS)

win: deps
	$(CONFIGURE_WIN)
	cmake --build $(WIN_BUILD) -j$(JOBS)

test-native: native
	cd $(NATIVE_BUILD) && ctest -j$(JOBS) --output-on-failure

# The native tests once more, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of their own.
test-sanitize: deps
	$(CONFIGURE) -B $(SANITIZE_BUILD) -DVARNEL_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && ctest -j$(JOBS) --output-on-failure

# Wine now and then hangs starting a process: a case that fails is run once
# more before it counts as failed. One that passed only on its second try is
# named at the end, with its first failure kept in $(WIN_BUILD)/flaky.log.
test-win: win
	rm -f $(WIN_BUILD)/Testing/Temporary/LastTest.log
	tools/wine-ctest $(WIN_BUILD) -j$(JOBS) --output-on-failure --repeat until-pass:2; \
	status=$$?; tools/name-flaky-tests $(WIN_BUILD); exit $$status

# All the tests run even when some fail; make still fails then.
test: deps
	@$(MAKE) --no-print-directory -k test-native test-sanitize test-win

# The window under Wine on this machine's display, in the Windows build's
# own Wine prefix (natively on Windows), with sample sounds made by the build
# at its default inputs c:\ap1-10.pcm and c:\M20101.o22. Without a display,
# varnel-cli does the same job on the same samples.
ifeq ($(OS),Windows_NT)
run:
	$(CONFIGURE) -B $(WIN_BUILD)
	cmake --build $(WIN_BUILD) -j$(JOBS) --target varnel varnel_samples
	tools/run-window $(WIN_BUILD)
else ifneq ($(DISPLAY),)
run: deps
	$(CONFIGURE_WIN)
	cmake --build $(WIN_BUILD) -j$(JOBS) --target varnel varnel_samples
	@tools/run-window $(WIN_BUILD)
else
run: deps
	$(CONFIGURE) -B $(NATIVE_BUILD)
	cmake --build $(NATIVE_BUILD) -j$(JOBS) --target varnel_cli varnel_samples
	@tools/run-headless $(NATIVE_BUILD)
endif

# The Windows release: build/win/varnel-VERSION-win64.zip with varnel.exe,
# varnel-cli.exe and README.txt; VERSION is the project's (CMakeLists.txt).
dist: deps
	$(CONFIGURE_WIN)
	cmake --build $(WIN_BUILD) -j$(JOBS) --target varnel_dist
	@sed -n 's/^VARNEL_DIST_ZIP:INTERNAL=/Release: /p' $(WIN_BUILD)/CMakeCache.txt

# The README's pictures (docs/), taken from the real varnel.exe under Wine on
# a virtual display by tools/take-screenshots; commit them when they change.
SCREENSHOT_PACKAGES := imagemagick
screenshots: deps
	@tools/install-packages $(SCREENSHOT_PACKAGES)
	$(CONFIGURE_WIN)
	cmake --build $(WIN_BUILD) -j$(JOBS) --target varnel varnel_window_command
	tools/take-screenshots $(WIN_BUILD) docs

# varnel-cli against SoX, cat (for the joins) and a minimal
# read-transform-write loop (page-aligned buffers, linked statically, the
# honest limit, and misaligned as malloc gives them), all built with -O3, on
# pairs of 220,500-byte inputs (many runs) and inputs of 16 and 256 MiB kept
# in the bench build, and a join of 50 files of 88,200 bytes (a batch of
# prompts) by name and from a list against cat and SoX of the same files
# (goal: within 1.2x of cat); then the mono and stereo kernels alone. Names the CPU
# and the kernel. Takes a few minutes.
BENCH_BUILD := build/bench
bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVARNEL_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target varnel_cli bench_minimal_loop bench_driver bench_kernels
	$(BENCH_BUILD)/bench/bench_driver --cli $(BENCH_BUILD)/cli/varnel-cli \
	    --loop $(BENCH_BUILD)/bench/bench_minimal_loop --work $(BENCH_BUILD)/data --rounds 7 --sizes 16,256 \
	    --small-bytes 220500 --small-rounds 201
	$(BENCH_BUILD)/bench/bench_kernels --benchmark_min_time=0.5

# varnel-cli alone, a stripped release for Linux: needs nothing but cmake, a
# C++ compiler and CLI11 (no Wine, no mingw-w64, no test tools).
CLI_BUILD    := build/cli
CLI_PACKAGES := cmake make g++ libcli11-dev
PREFIX       ?= /usr/local
CONFIGURE_CLI = cmake -S . -B $(CLI_BUILD) -DCMAKE_BUILD_TYPE=Release -DVARNEL_BUILD_TESTS=OFF \
                -DVARNEL_WARNINGS_AS_ERRORS=$(WARNINGS_AS_ERRORS) -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s
cli:
	@tools/install-packages $(CLI_PACKAGES)
	$(CONFIGURE_CLI) -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(CLI_BUILD) -j$(JOBS) --target varnel_cli varnel_cli_documents

# varnel-cli, its man page and its bash, zsh and fish completions under
# $(DESTDIR)$(PREFIX). The list of the files installed, DESTDIR included, is
# kept, so that `make uninstall` removes exactly those, and nothing else.
INSTALL_ROOT = $(if $(DESTDIR),$(abspath $(DESTDIR)))
install: cli
	DESTDIR="$(INSTALL_ROOT)" cmake --install $(CLI_BUILD)
	sed 's|^|$(INSTALL_ROOT)|' $(CLI_BUILD)/install_manifest.txt > $(CLI_BUILD)/installed-files.txt

uninstall:
	@test -f $(CLI_BUILD)/installed-files.txt || \
	    { echo "make uninstall: nothing to remove: $(CLI_BUILD)/installed-files.txt, written by make install, is not there" >&2; exit 1; }
	xargs -d '\n' rm -fv -- < $(CLI_BUILD)/installed-files.txt
	@# The folders named after the program hold nothing else.
	sed -n 's|/varnel-cli/[^/]*$$|/varnel-cli|p' $(CLI_BUILD)/installed-files.txt | sort -u | \
	    xargs -r -d '\n' rmdir -v --ignore-fail-on-non-empty --
	rm $(CLI_BUILD)/installed-files.txt

# The same files as a Debian package, $(CLI_BUILD)/varnel-cli_VERSION_amd64.deb,
# installed under /usr; `apt-get install ./varnel-cli_VERSION_amd64.deb` takes it.
DEB_PACKAGES := $(CLI_PACKAGES) dpkg-dev
deb:
	@tools/install-packages $(DEB_PACKAGES)
	$(CONFIGURE_CLI) -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(CLI_BUILD) -j$(JOBS) --target varnel_cli varnel_cli_documents
	cd $(CLI_BUILD) && cpack -G DEB
	@sed -n 's/^VARNEL_DEB:INTERNAL=/Package: /p' $(CLI_BUILD)/CMakeCache.txt

# The fuzz targets of fuzz/ under libFuzzer, built with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer: each runs FUZZ_SECONDS (a minute) from its
# corpus in fuzz/corpus; what breaks one is kept in build/fuzz/crashes.
FUZZ_BUILD    := build/fuzz
FUZZ_SECONDS  ?= 60
FUZZ_PACKAGES := clang libclang-rt-14-dev
fuzz: deps
	@tools/install-packages $(FUZZ_PACKAGES)
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_BUILD_TESTS=OFF -DVARNEL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_WavHeader fuzz_CommandLine fuzz_JsonText
	tools/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf build
