# Everything a newcomer needs: `make demo` and `make test`.
# Both install missing Debian packages first, then configure and build with CMake and Ninja.

BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build demo run screens test test-asan bench fuzz fuzz-build format format-check clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

demo: build
	scripts/run-demo $(BUILD_DIR)
	$(MAKE) --no-print-directory screens

# Pictures of the desktop program with the demo project open, rendered off
# screen into $(BUILD_DIR)/screens (skipped where Qt 6 is not installed).
DEMO_PROJECT = $(BUILD_DIR)/examples/demo/demo.spj

$(DEMO_PROJECT):
	mkdir -p $(BUILD_DIR)/examples/demo
	$(BUILD_DIR)/examples/vellisto-make-demo $(DEMO_PROJECT)

screens:
	@if [ -x $(BUILD_DIR)/src/ui/vellisto-screens ]; then \
		[ -f $(DEMO_PROJECT) ] || $(MAKE) --no-print-directory $(DEMO_PROJECT); \
		QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/src/ui/vellisto-screens $(DEMO_PROJECT) $(BUILD_DIR)/screens; \
		QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/src/ui/vellisto-track-screens $(DEMO_PROJECT) $(BUILD_DIR)/screens; \
		if [ -x $(BUILD_DIR)/tests/ui/vellisto-view-screens ]; then \
			QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/ui/vellisto-view-screens $(DEMO_PROJECT) $(BUILD_DIR)/screens 4; fi; \
		echo "screens: pictures of the program in $(BUILD_DIR)/screens"; \
	else echo "screens: the desktop program was not built (Qt 6 missing)"; fi

# The desktop program on the demo project.
run: build
	[ -f $(DEMO_PROJECT) ] || $(MAKE) --no-print-directory $(DEMO_PROJECT)
	$(BUILD_DIR)/src/ui/vellisto $(DEMO_PROJECT)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Core tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --output-on-failure -j $(JOBS)

bench: build
	for b in $(BUILD_DIR)/bench/vellisto-bench-*; do if [ -x "$$b" ]; then "$$b"; fi; done

# Fuzz targets built with clang's libFuzzer, each run for FUZZ_SECONDS.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DVEL_FUZZ=ON -DVEL_BUILD_TESTS=OFF -DVEL_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	scripts/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS)

# Source layout: `format` rewrites every C++ file, `format-check` only reports.
format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
