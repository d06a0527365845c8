# Two entry points over the CMake presets: `make run` builds the optimised programs (the release
# preset) and opens Roamer; `make test` builds the test build (the dev preset) and runs every test.
# Both first run scripts/setup.sh, which installs whatever Debian packages are missing.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: run test setup build release

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
