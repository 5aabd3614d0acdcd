# The front door: `make test` and `make demo` work on a fresh Debian 12 machine.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: setup build build-native build-win32 build-win64 test test-native test-wine test-wine32 demo bench fuzz screenshots dist clean

setup:
	@scripts/setup-machine.sh

build: build-native build-win32 build-win64

build-native: setup
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j $(JOBS)

build-win32: setup
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j $(JOBS)

build-win64: setup
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64 -j $(JOBS)

test-native: build-native
	@ctest --preset native -j $(JOBS)

test-wine: build-win64
	@ctest --preset win64

# The shipped 32-bit build, run as 32-bit code in the WoW64 chroot (scripts/wow64-env.sh). Fails
# where this machine cannot run 32-bit code or the chroot cannot be made.
test-wine32: build-win32
	@scripts/wow64-session ctest --preset win32

# The 64-bit resource tests read the shipped 32-bit DLL, so that one is built first. Where this
# machine cannot run 32-bit code (scripts/wow64-probe.c) or the chroot cannot be made, the 32-bit
# suite is skipped, and a warning says so at the start and again at the very end.
test: build-win32
	@scripts/wow64-session --announce
	@$(MAKE) --no-print-directory test-native test-wine
	@scripts/wow64-session --optional ctest --preset win32

# The product in the stand-in host first, then the postal-code lookup on the command line.
demo: build-native
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64 --target devhost devhost_registry marupo_dll -j $(JOBS)
	@scripts/demo-addin.sh build/win64
	@echo
	@scripts/demo.sh

bench: setup
	@cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARUPO_TESTS=OFF >/dev/null
	@cmake --build build/bench --target postal-bench marupo-lookup -j $(JOBS)
	@scripts/bench.sh build/bench

fuzz: setup
	@scripts/fuzz.sh

screenshots: build-win64
	@scripts/screenshots.sh build/win64

# The release in dist/: the shipped 32-bit installer and the zip, checked and listed.
dist: setup
	@JOBS=$(JOBS) scripts/dist.sh

clean:
	@scripts/wow64-unmount
	rm -rf build dist
