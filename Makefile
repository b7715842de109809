# Front door: `make run` converts the bundled example, `make test` builds and runs every test.
BUILD_DIR   ?= build
RELEASE_DIR := $(BUILD_DIR)/release
DEBUG_DIR   := $(BUILD_DIR)/debug
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all run test release debug clean

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

clean:
	rm -rf $(BUILD_DIR)
