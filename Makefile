# Varnel: `make test` installs what is missing, builds both builds and runs
# every test; `make run` builds and opens the program.

NATIVE_BUILD := build/native
WIN_BUILD    := build/win
BUILD_TYPE   ?= RelWithDebInfo
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)

# Debian packages the builds and tests need.
PACKAGES := cmake make g++ libgtest-dev googletest \
            g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
            wine wine64 xvfb xauth python3

.PHONY: all deps native win test test-native test-win run clean

all: native win

deps:
	@tools/install-packages $(PACKAGES)

native: deps
	cmake -S . -B $(NATIVE_BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(NATIVE_BUILD) -j$(JOBS)

win: deps
	cmake -S . -B $(WIN_BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WIN_BUILD) -j$(JOBS)

test-native: native
	cd $(NATIVE_BUILD) && ctest -j$(JOBS) --output-on-failure

test-win: win
	tools/wine-ctest $(WIN_BUILD) -j$(JOBS) --output-on-failure

# Both builds' tests run even when the first fails; make still fails then.
test: deps
	@$(MAKE) --no-print-directory -k test-native test-win

# The program under Wine on this machine's display, in the Windows build's
# own Wine prefix.
run: deps
	@if [ -z "$$DISPLAY" ]; then \
	    echo "make run: no display (DISPLAY is not set): the window needs one"; exit 1; \
	fi
	cmake -S . -B $(WIN_BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WIN_BUILD) -j$(JOBS) --target varnel
	WINEPREFIX=$(CURDIR)/$(WIN_BUILD)/wineprefix tools/wine-run $(WIN_BUILD)/varnel.exe

clean:
	rm -rf build
