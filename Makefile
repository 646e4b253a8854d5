# ZUL: build, run and test on Debian 12 (as root on a fresh machine).
#   make run [ARGS="..."]   install what is missing, build, start zul.exe under Wine
#   make test               install what is missing, build, run every test
# Other targets: deps, build, native, bench, fuzz [FUZZ_SECONDS=n], clean.

SHELL := /bin/bash
ROOT := $(CURDIR)
BUILD := $(ROOT)/build
JOBS ?= $(shell nproc)
ARGS ?=
FUZZ_SECONDS ?= 60
WINE_ENV := WINEPREFIX=$(BUILD)/wineprefix WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="

.PHONY: all deps packages build win32 native test test-native test-wine run bench fuzz clean

all: build

packages:
	@./scripts/install-packages.sh

deps: packages
	@./scripts/build-deps.sh

$(BUILD)/win32/build.ninja: | deps
	cmake -S . -B $(BUILD)/win32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/toolchain-i686-w64-mingw32.cmake

$(BUILD)/native/build.ninja: | deps
	cmake -S . -B $(BUILD)/native -G Ninja -DCMAKE_BUILD_TYPE=Debug

win32: deps $(BUILD)/win32/build.ninja
	cmake --build $(BUILD)/win32 -j $(JOBS)

native: deps $(BUILD)/native/build.ninja
	cmake --build $(BUILD)/native -j $(JOBS)

build: win32 native

test: build
	$(MAKE) --no-print-directory test-native test-wine

test-native:
	cd $(BUILD)/native && ctest --output-on-failure -j $(JOBS)

test-wine:
	./scripts/test-env.sh bash -c 'cd $(BUILD)/win32 && ctest --output-on-failure'

run: win32
	./scripts/run.sh $(ARGS)

$(BUILD)/bench/build.ninja: | deps
	cmake -S . -B $(BUILD)/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUL_SANITIZE=OFF -DZUL_BENCH=ON

bench: win32 $(BUILD)/bench/build.ninja
	cmake --build $(BUILD)/bench -j $(JOBS)
	./scripts/bench.sh $(BUILD)/bench

$(BUILD)/fuzz/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUL_FUZZ=ON

fuzz: $(BUILD)/fuzz/build.ninja
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	./scripts/fuzz.sh $(FUZZ_SECONDS) $(BUILD)/fuzz

clean:
	rm -rf $(BUILD)/win32 $(BUILD)/native $(BUILD)/bench $(BUILD)/fuzz $(BUILD)/test-run
