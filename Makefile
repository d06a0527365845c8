# Entry points over the CMake presets: `make run` builds the optimised programs (the release
# preset) and opens Roamer; `make test` builds the test build (the dev preset) and runs every test;
# `make fuzz` runs every fuzz target FUZZ_SECONDS (default 180) seconds each (scripts/fuzz.sh);
# `make memory` opens hostile files in every program at the real picture ceiling and fails when
# one costs more memory than allowed (scripts/memory-pass.sh).
# Each first runs scripts/setup.sh, which installs whatever Debian packages are missing.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: run test setup build release fuzz memory

setup:
	@bash scripts/setup.sh

build: setup
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)

release: setup
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

run: release
	@bash scripts/run-roamer.sh build/release build/release/data/sample.pan

test: build
	ctest --preset dev

fuzz:
	bash scripts/fuzz.sh

memory: build
	bash scripts/memory-pass.sh build/dev
