# The two commands of the README: `make test` and `make run`. Both install what the project needs
# (Debian packages, through scripts/install-deps) and configure and build build/ first.
# `make test` then runs the whole suite a second time under the sanitizers, in build-asan/.

BUILD := build
JOBS := $(shell nproc)
SAMPLE := samples/portrait.bmp
# Seconds each libFuzzer target runs for in `make fuzz`: make fuzz FUZZ_SECONDS=600
FUZZ_SECONDS := 30

.PHONY: all deps configure build test run asan fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory asan

run: build
	$(BUILD)/kafelator-cli --size 2480,3508 --background szare $(SAMPLE) $(BUILD)/sheet.bmp
	@echo "Packed $(SAMPLE) into an A4 sheet at 300 dpi: $(BUILD)/sheet.bmp"

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

# The libFuzzer targets of fuzz/, built by clang 14 with both sanitizers in build-fuzz/, each run
# for FUZZ_SECONDS seconds from a generated seed corpus.
fuzz:
	@scripts/install-deps clang-14 libclang-rt-14-dev python3
	@cmake --preset fuzz > /dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	fuzz/run-fuzzers build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
