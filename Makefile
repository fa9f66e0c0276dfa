# The two commands of the README: `make test` and `make run`. Both install what the project needs
# (Debian packages, through scripts/install-deps) and configure and build build/ first.

BUILD := build
JOBS := $(shell nproc)
SAMPLE := samples/portrait.bmp

.PHONY: all deps configure build test run asan bench compare clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

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
asan: deps
	@cmake --preset asan > /dev/null
	@cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# The stage benchmarks (Google Benchmark) and the side-by-side comparison with other tools; see
# bench/README.md.
bench: build
	@for program in compose-bench jpeg-bench save-bench; do \
		echo "== $$program"; $(BUILD)/bench/$$program || exit 1; \
	done

compare: build
	bench/compare.sh

clean:
	rm -rf $(BUILD) build-asan
