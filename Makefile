# The two commands of the README: `make test` and `make run`. Both install what the project needs
# (Debian packages, through scripts/install-deps) and configure and build build/ first.
# `make test` then runs the whole suite a second time under the sanitizers, in build-asan/.

BUILD := build
JOBS := $(shell nproc)
SAMPLE := samples/portrait.bmp
# Seconds each libFuzzer target runs for in `make fuzz`: make fuzz FUZZ_SECONDS=600
FUZZ_SECONDS := 30

.PHONY: all deps configure build test run asan builds fuzz bench compare clean

all: build

deps:
	@scripts/install-deps

# The default preset: RelWithDebInfo in build/, warnings as errors.
configure: deps
	@cmake --preset default > /dev/null

build: configure
	@cmake --build --preset default -j $(JOBS)

test: build
	ctest --preset default -j $(JOBS)
	@$(MAKE) --no-print-directory asan

# The program ends with status 1 whatever happened, as its entry promises; that is no failure.
# Without a display, the command-line packer does the same job instead.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    $(BUILD)/kafelator $(SAMPLE) || [ $$? -eq 1 ]; \
	else \
	    echo "No display: packing $(SAMPLE) with kafelator-cli instead."; \
	    $(BUILD)/kafelator-cli --size 2480,3508 --background jasnoszare $(SAMPLE) $(BUILD)/sheet.jpg; \
	    echo "The A4 sheet at 300 dpi is $(BUILD)/sheet.jpg"; \
	fi

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/.
# The asan test preset sets the sanitizers' options: any report ends the process with status 66,
# never one of kafelator-cli's own (0, 1, 2), so it fails the test that caused it also when it
# comes from a program the test runs; a failed allocation returns none, as the C library's does,
# since the program copes with it and the memory-limit tests cause it; leak suppressions come
# from tests/leak-suppressions.txt.
asan: deps
	@cmake --preset asan > /dev/null
	@cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# The other builds CI makes, each with warnings as errors, none of them run: Release with g++,
# RelWithDebInfo with clang 14, and the core and kafelator-cli without Qt.
builds: deps
	@scripts/install-deps clang-14
	@for preset in release clang core; do \
		echo "== $$preset"; \
		cmake --preset $$preset > /dev/null && cmake --build --preset $$preset -j $(JOBS) || exit 1; \
	done

# The stage benchmarks (Google Benchmark) and the side-by-side comparison with other tools; see
# bench/README.md.
bench: build
	@for program in compose-bench jpeg-bench save-bench preview-bench; do \
		echo "== $$program"; $(BUILD)/bench/$$program || exit 1; \
	done

compare: build
	bench/compare.sh

# The libFuzzer targets of fuzz/, built by clang 14 with both sanitizers in build-fuzz/, each run
# for FUZZ_SECONDS seconds from a generated seed corpus.
fuzz:
	@scripts/install-deps clang-14 libclang-rt-14-dev python3
	@cmake --preset fuzz > /dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	fuzz/run-fuzzers build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-release build-clang build-core
