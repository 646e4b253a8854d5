# ZUL: build, run and test on Debian 12 (as root on a fresh machine).
#   make run [ARGS="..."]   install what is missing, build, start zul.exe under Wine
#                           (the 32-bit build where this host runs 32-bit code,
#                           the 64-bit build where it runs 64-bit code only)
#   make test               install what is missing, build, run every test
#                           (native, win64, and win32 where 32-bit code runs)
# Other targets: deps, build, win32, win64, native, test-native, test-win32,
# test-win64, bench, fuzz [FUZZ_SECONDS=n], dist, screenshots, clean.
#   make screenshots        PNG pictures of the windows for the README, in docs/screenshots
#   make dist               the archives, installers and source archive a Windows
#                           user downloads, in build/dist (scripts/dist.sh)

SHELL := /bin/bash
ROOT := $(CURDIR)
BUILD := $(ROOT)/build
JOBS ?= $(shell nproc)
ARGS ?=
FUZZ_SECONDS ?= 60
# win32 where this host runs 32-bit x86 code, else win64 (a real probe: the
# 32-bit Wine loader is started).
RUN_ARCH = $(shell . $(ROOT)/scripts/wine-arch.sh && zul_default_arch)

.PHONY: all deps packages build win32 win64 native test test-native test-win32 test-win64 run bench fuzz dist screenshots clean

all: build

packages:
	@./scripts/install-packages.sh

deps: packages
	@./scripts/build-deps.sh

$(BUILD)/win32/build.ninja: | deps
	cmake -S . -B $(BUILD)/win32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/toolchain-i686-w64-mingw32.cmake

$(BUILD)/win64/build.ninja: | deps
	cmake -S . -B $(BUILD)/win64 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/toolchain-x86_64-w64-mingw32.cmake

$(BUILD)/native/build.ninja: | deps
	cmake -S . -B $(BUILD)/native -G Ninja -DCMAKE_BUILD_TYPE=Debug

win32: deps $(BUILD)/win32/build.ninja
	cmake --build $(BUILD)/win32 -j $(JOBS)

win64: deps $(BUILD)/win64/build.ninja
	cmake --build $(BUILD)/win64 -j $(JOBS)

native: deps $(BUILD)/native/build.ninja
	cmake --build $(BUILD)/native -j $(JOBS)

build: win32 win64 native

test: build
	./scripts/test-all.sh $(BUILD)

test-native:
	cd $(BUILD)/native && ctest --output-on-failure -j $(JOBS)

test-win32:
	./scripts/test-env.sh win32 bash -c 'cd $(BUILD)/win32 && ctest --output-on-failure'

test-win64:
	./scripts/test-env.sh win64 bash -c 'cd $(BUILD)/win64 && ctest --output-on-failure'

run: deps
	$(MAKE) --no-print-directory $(RUN_ARCH)
	ZUL_ARCH=$(RUN_ARCH) ./scripts/run.sh $(ARGS)

$(BUILD)/bench/build.ninja: | deps
	cmake -S . -B $(BUILD)/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUL_SANITIZE=OFF -DZUL_BENCH=ON

bench: deps $(BUILD)/bench/build.ninja
	$(MAKE) --no-print-directory $(RUN_ARCH)
	cmake --build $(BUILD)/bench -j $(JOBS)
	./scripts/bench.sh $(BUILD)/bench $(RUN_ARCH)

$(BUILD)/fuzz/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUL_FUZZ=ON

fuzz: $(BUILD)/fuzz/build.ninja
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	./scripts/fuzz.sh $(FUZZ_SECONDS) $(BUILD)/fuzz

dist: win32 win64
	./scripts/dist.sh

screenshots: deps
	$(MAKE) --no-print-directory $(RUN_ARCH)
	./scripts/test-env.sh $(RUN_ARCH) ./scripts/screenshots.sh $(BUILD)/$(RUN_ARCH)

clean:
	rm -rf $(BUILD)/win32 $(BUILD)/win64 $(BUILD)/native $(BUILD)/bench $(BUILD)/fuzz $(BUILD)/test-run-* $(BUILD)/dist
