# Everything a newcomer needs: `make demo` and `make test`.
# Both install missing Debian packages first, then configure and build with CMake and Ninja.

BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build demo test test-asan bench fuzz clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

demo: build
	scripts/run-demo $(BUILD_DIR)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Core tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	for b in $(BUILD_DIR)/bench/vellisto-bench-*; do if [ -x "$$b" ]; then "$$b"; fi; done

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
