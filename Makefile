# Front door: `make run` converts the bundled example, `make test` builds and runs every test.
BUILD_DIR   ?= build
RELEASE_DIR := $(BUILD_DIR)/release
DEBUG_DIR   := $(BUILD_DIR)/debug
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)

BENCH_DIR   := $(BUILD_DIR)/bench

.PHONY: all run test release debug bench clean

all: release

release:
	@scripts/setup.sh cmake make g++
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: release
	$(RELEASE_DIR)/kon2x examples/house.kon < /dev/null
	@echo "Wrote examples/house.x"

debug:
	@scripts/setup.sh
	cmake -S . -B $(DEBUG_DIR) -DCMAKE_BUILD_TYPE=Debug -DKON2X_SANITIZE=ON
	cmake --build $(DEBUG_DIR) -j $(JOBS)

test: debug
	ctest --test-dir $(DEBUG_DIR) --output-on-failure -j $(JOBS) < /dev/null

bench:
	@scripts/setup.sh cmake make g++ libbenchmark-dev
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF -DKON2X_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	$(BENCH_DIR)/bench/kon2x_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

clean:
	rm -rf $(BUILD_DIR)
