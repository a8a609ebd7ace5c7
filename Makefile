# The front door. `make` builds the shipped launcher (dist/x86) and its x86-64 twin (dist/x64);
# `make test` builds everything and runs every test. CMake presets do the real work.

JOBS ?= $(shell nproc)

.PHONY: all build deps test clean

all: build

deps:
	@tools/ensure-packages.sh

build: deps
	cmake --preset x86
	cmake --build --preset x86 -j $(JOBS)
	cmake --preset x64
	cmake --build --preset x64 -j $(JOBS)

test: build
	cmake --preset native
	cmake --build --preset native -j $(JOBS)
	ctest --preset native

clean:
	rm -rf build dist
