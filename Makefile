# The two commands: `make run` and `make test`.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all run test bootstrap native win64 win32 test-native test-win64 fuzz clean screenshot bench

all: native win64 win32

bootstrap:
	@scripts/bootstrap

build/native/build.ninja: | bootstrap
	cmake --preset native >/dev/null
build/win64/build.ninja: | bootstrap
	cmake --preset win64 >/dev/null
build/win32/build.ninja: | bootstrap
	cmake --preset win32 >/dev/null

native: bootstrap build/native/build.ninja
	cmake --build build/native -j $(JOBS)
win64: bootstrap build/win64/build.ninja
	cmake --build build/win64 -j $(JOBS)
# The release target only: the test programs are run from the win64 build.
win32: bootstrap build/win32/build.ninja
	cmake --build build/win32 -j $(JOBS) --target corvanel

test-native: native
	ctest --test-dir build/native --output-on-failure -j $(JOBS)

test-win64: win64
	scripts/wine-session ctest --test-dir build/win64 --output-on-failure

# The readers of the Firefox files on random input, briefly (FUZZ_SECONDS per target).
FUZZ_SECONDS ?= 10
fuzz: bootstrap
	scripts/fuzz $(FUZZ_SECONDS)

test: test-native fuzz test-win64 win32
	@scripts/check-release build/win32

run: bootstrap
	scripts/run

screenshot: win64
	scripts/screenshot

bench: win64 native win32
	scripts/bench
	scripts/bench-startup

clean:
	rm -rf build
