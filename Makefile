# Builds dist/ and runs every test suite. See README.md.
MAKEFLAGS += --no-print-directory
SHELL := /bin/bash
JOBS ?= $(shell nproc)
HOST := build/host
ASAN := build/asan
FUZZ := build/fuzz
WIN := build/win

.PHONY: all deps host win win64 dist test test-setup test-host test-asan test-fuzz test-dos test-wine test-shipped soak fuzz fuzz-build demo figures clean

all: dist

deps:
	@scripts/install-deps

host: deps
	@cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(HOST) -j$(JOBS)

# The shipped programs in dist/: Agent.exe, Uninstall.exe and the MS-DOS
# helper delete.exe that Uninstall.exe carries.
win: deps
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

dist: win

# The same sources for 64-bit Windows: the Wine suites run these where the
# machine runs no 32-bit programs (see tests/wine/run-all). Ships nothing.
win64: deps
	@cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build build/win64 -j$(JOBS)

test: test-setup test-host test-fuzz test-dos test-shipped test-wine

# install-deps against stand-in apt-get and dpkg: needs nothing installed.
test-setup:
	@tests/setup/run-install-deps

test-host: host
	@cd $(HOST) && ctest --output-on-failure -j$(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j$(JOBS)
	@cd $(ASAN) && ctest --output-on-failure -j$(JOBS)

fuzz-build: host
	@CXX=clang++ CC=clang cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUZZ=ON -DSANITIZE=ON >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)

# A short run of each fuzz target as part of the tests; `make fuzz` runs each for a minute.
test-fuzz: fuzz-build
	@scripts/fuzz 10

fuzz: fuzz-build
	@scripts/fuzz 60

# The real delete.exe under DOSBox, headless: about a second.
test-dos: win
	@tests/dos/run-delete

# The shipped programs as a loader sees them (imports, the Windows they ask
# for, no manifest, sizes), then the same check on a program that breaks each
# rule: a second.
test-shipped: win
	@tests/shipped/run-shipped
	@tests/shipped/run-faults

test-wine: host win
	@tests/wine/run-all

# The agent under Wine through 1000 announced discs and 200 tray menus, and
# what it holds before and after: a few minutes, so not part of `make test`.
# Where Wine runs 64-bit programs only, the script builds win64 as run-all does.
soak: host win
	@tests/wine/run-soak

demo: host win
	@scripts/demo

figures: host dist
	@scripts/figures

clean:
	rm -rf build dist demo-out
