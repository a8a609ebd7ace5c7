# The front door. `make` builds the shipped launcher (dist/x86), its x86-64 twin (dist/x64) and
# the POSIX launcher (dist/posix); `make test` builds everything and runs every test: the native
# suite plain and under the sanitizers, the Windows builds under Wine and as files, and the
# fuzz targets for a bounded number of inputs. CMake presets do the real work.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all build deps test fuzz bench clean

all: build

deps:
	@tools/ensure-packages.sh

build: deps
	cmake --preset x86
	cmake --build --preset x86 -j $(JOBS)
	cmake --preset x64
	cmake --build --preset x64 -j $(JOBS)
	cmake --preset posix
	cmake --build --preset posix -j $(JOBS)

test: build
	cmake --preset native
	cmake --build --preset native -j $(JOBS)
	ctest --preset native
	cmake --preset native-sanitize
	cmake --build --preset native-sanitize -j $(JOBS)
	ctest --preset native-sanitize
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	ctest --preset fuzz

# Each fuzz target for FUZZ_SECONDS, from the seed corpus; new inputs stay in build/fuzz.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	for target in ArgumentTail LaunchFolder; do \
	  mkdir -p build/fuzz/corpus-$$target && \
	  build/fuzz/tests/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -print_final_stats=1 \
	    build/fuzz/corpus-$$target tests/fuzz/corpus/$$target || exit 1; \
	done

bench: build
	/usr/bin/python3 bench/bench.py

clean:
	rm -rf build dist
