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
            libcli11-dev libbenchmark-dev sox

.PHONY: all deps native win test test-native test-sanitize test-win run dist screenshots bench clean

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
# in the bench build; then the mono and stereo kernels alone. Names the CPU
# and the kernel. Takes a few minutes.
BENCH_BUILD := build/bench
bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVARNEL_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target varnel_cli bench_minimal_loop bench_driver bench_kernels
	$(BENCH_BUILD)/bench/bench_driver --cli $(BENCH_BUILD)/cli/varnel-cli \
	    --loop $(BENCH_BUILD)/bench/bench_minimal_loop --work $(BENCH_BUILD)/data --rounds 7 --sizes 16,256 \
	    --small-bytes 220500 --small-rounds 201
	$(BENCH_BUILD)/bench/bench_kernels --benchmark_min_time=0.5

clean:
	rm -rf build
