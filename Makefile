# Two entry points over the CMake presets: `make run` and `make test`.
# Both first run scripts/setup.sh, which installs whatever Debian packages are missing.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
SAMPLE := build/dev/data/sample.pan

.PHONY: run test setup build

setup:
	@bash scripts/setup.sh

build: setup
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)

run: build
	@bash scripts/run-roamer.sh build/dev $(SAMPLE)

test: build
	ctest --preset dev
