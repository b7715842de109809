# Front door: `make run` converts the bundled example, `make test` builds and runs every test.
BUILD_DIR    ?= build
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
TEST_PACKAGES = cmake make g++ libgtest-dev libassimp-dev

WINDOWS_PACKAGES = cmake make g++ libgtest-dev googletest g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64

.PHONY: all run release test test-clang test-release windows test-windows bench fuzz ci clean

all: release

release:
	@scripts/setup.sh cmake make g++
	cmake -S . -B $(BUILD_DIR)/release -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF
	cmake --build $(BUILD_DIR)/release -j $(JOBS)

run: release
	$(BUILD_DIR)/release/kon2x examples/house.kon < /dev/null
	@echo "Wrote examples/house.x"

# GCC, Debug, AddressSanitizer and UndefinedBehaviorSanitizer.
test:
	@scripts/setup.sh $(TEST_PACKAGES)
	cmake -S . -B $(BUILD_DIR)/debug -DCMAKE_BUILD_TYPE=Debug -DKON2X_SANITIZE=ON
	cmake --build $(BUILD_DIR)/debug -j $(JOBS)
	ctest --test-dir $(BUILD_DIR)/debug --output-on-failure -j $(JOBS) < /dev/null

# The same with Clang.
test-clang:
	@scripts/setup.sh $(TEST_PACKAGES) clang libclang-rt-14-dev
	CXX=clang++ cmake -S . -B $(BUILD_DIR)/clang -DCMAKE_BUILD_TYPE=Debug -DKON2X_SANITIZE=ON
	cmake --build $(BUILD_DIR)/clang -j $(JOBS)
	ctest --test-dir $(BUILD_DIR)/clang --output-on-failure -j $(JOBS) < /dev/null

# Optimised: every golden byte must still match.
test-release:
	@scripts/setup.sh $(TEST_PACKAGES)
	cmake -S . -B $(BUILD_DIR)/release-tests -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR)/release-tests -j $(JOBS)
	ctest --test-dir $(BUILD_DIR)/release-tests --output-on-failure -j $(JOBS) < /dev/null

# build-windows/kon2x.exe for 64-bit Windows, one exe with no DLLs beside it.
windows:
	@scripts/setup.sh cmake make g++-mingw-w64-x86-64-posix
	cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF
	cmake --build build-windows -j $(JOBS) --target kon2x

# Unit tests under Wine, the import list, and the comparison with the Linux build.
test-windows:
	@scripts/setup.sh $(WINDOWS_PACKAGES)
	scripts/test-windows.sh

bench:
	@scripts/setup.sh cmake make g++ libbenchmark-dev
	cmake -S . -B $(BUILD_DIR)/bench -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF -DKON2X_BENCH=ON
	cmake --build $(BUILD_DIR)/bench -j $(JOBS)
	TMPDIR=$$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp ) \
	  $(BUILD_DIR)/bench/bench/kon2x_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	bench/run.sh

fuzz:
	@scripts/setup.sh cmake make clang libclang-rt-14-dev
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh

ci: test test-clang test-release test-windows
	$(MAKE) fuzz FUZZ_SECONDS=30

clean:
	rm -rf $(BUILD_DIR) build-windows build-windows-i686
