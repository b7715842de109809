# Front door: `make run` converts the bundled example, `make test` builds and runs every test.
BUILD_DIR    ?= build
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
TEST_PACKAGES = cmake make g++ libgtest-dev libassimp-dev librsvg2-bin python3-ezdxf librecad
# Warnings are errors in every build made here (a plain cmake build only warns).
STRICT        = -DKON2X_WERROR=ON

# Debian's wasm32 toolchain; only the 19 set of the libc++ packages, whose
# versions conflict with each other.
WEB_PACKAGES = clang-19 lld-19 libc++-19-dev-wasm32 libc++abi-19-dev-wasm32 libclang-rt-19-dev-wasm32 wasi-libc
WINDOWS_PACKAGES = cmake make g++ libgtest-dev googletest g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64

.PHONY: all run preview release test test-clang test-release test-threads format-check no-exceptions web web-native test-web test-browsers windows test-windows dist test-dist bench bench-page fuzz ci clean

all: release

release:
	@scripts/setup.sh cmake make g++
	cmake -S . -B $(BUILD_DIR)/release -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF $(STRICT)
	cmake --build $(BUILD_DIR)/release -j $(JOBS)

run: release
	$(BUILD_DIR)/release/kon2x examples/house.kon < /dev/null
	$(BUILD_DIR)/release/kon2gltf examples/house.kon < /dev/null
	$(BUILD_DIR)/release/kon2svg examples/house.kon < /dev/null
	$(BUILD_DIR)/release/kon2dxf examples/house.kon < /dev/null
	@echo "Wrote examples/house.x, .glb, .svg and .dxf"

# docs/house.png: the bundled example as three.js shows it in headless
# Chromium; docs/page.png: the page with the example loaded.
preview: release web
	@scripts/setup-gltf.sh
	mkdir -p $(BUILD_DIR)/preview docs
	cp examples/house.kon $(BUILD_DIR)/preview/
	cd $(BUILD_DIR)/preview && ../release/kon2gltf house.kon < /dev/null
	node tests/gltf/render.mjs $(BUILD_DIR)/preview/house.glb docs/house.png --house
	node tests/web/page.mjs chromium $(BUILD_DIR)/web/kon2x.html $(BUILD_DIR)/release --screenshot docs/page.png

# One rule for the three test builds; each sets its build folder, compiler and flags.
# test: GCC, Debug, AddressSanitizer and UndefinedBehaviorSanitizer.
# test-clang: the same with Clang, converting decimals with strtod as the
# WebAssembly build does. test-release: optimised, every golden byte must still match.
test:         TEST_BUILD = debug
test:         TEST_FLAGS = -DCMAKE_BUILD_TYPE=Debug -DKON2X_SANITIZE=ON
test-clang:   TEST_BUILD = clang
test-clang:   TEST_FLAGS = -DCMAKE_BUILD_TYPE=Debug -DKON2X_SANITIZE=ON -DKON2X_FROM_CHARS=OFF
test-clang:   TEST_CXX = clang++
test-clang:   EXTRA_PACKAGES = clang libclang-rt-14-dev
test-release: TEST_BUILD = release-tests
test-release: TEST_FLAGS = -DCMAKE_BUILD_TYPE=Release
# make test also compares the WebAssembly build with the native one.
test: test-web
test test-clang test-release:
	@scripts/setup.sh $(TEST_PACKAGES) $(EXTRA_PACKAGES)
	@scripts/setup-gltf.sh
	$(if $(TEST_CXX),CXX=$(TEST_CXX)) cmake -S . -B $(BUILD_DIR)/$(TEST_BUILD) $(TEST_FLAGS) $(STRICT)
	cmake --build $(BUILD_DIR)/$(TEST_BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR)/$(TEST_BUILD) --output-on-failure -j $(JOBS) < /dev/null

# kon2batch's tests under ThreadSanitizer: the nested archive at --jobs 4,
# the single programs' writer threads among them.
test-threads:
	@scripts/setup.sh $(TEST_PACKAGES)
	cmake -S . -B $(BUILD_DIR)/threads -DCMAKE_BUILD_TYPE=Debug -DKON2X_SANITIZE_THREADS=ON $(STRICT)
	cmake --build $(BUILD_DIR)/threads -j $(JOBS) --target kon2x_batch_tests
	TSAN_OPTIONS=halt_on_error=1 $(BUILD_DIR)/threads/tests/kon2x_batch_tests < /dev/null

# Every C++ file as the committed .clang-format lays it out.
format-check:
	@scripts/setup.sh clang-format
	git ls-files '*.cpp' '*.hpp' | xargs clang-format --dry-run -Werror

# Both programs natively as WebAssembly builds them: without exceptions,
# threads and std::from_chars for double; the corpus and the injected
# failures (running out of memory while loading and writing) run on them.
no-exceptions:
	@scripts/setup.sh cmake make g++ libgtest-dev
	cmake -S . -B $(BUILD_DIR)/no-exceptions -DCMAKE_BUILD_TYPE=Release -DKON2X_THREADS=OFF -DKON2X_EXCEPTIONS=OFF -DKON2X_FROM_CHARS=OFF $(STRICT)
	cmake --build $(BUILD_DIR)/no-exceptions -j $(JOBS) --target kon2x kon2gltf kon2svg kon2dxf kon2x_tests kon2x_injection_tests
	ctest --test-dir $(BUILD_DIR)/no-exceptions --output-on-failure -j $(JOBS) -R '^(Files/Corpus|OutOfMemory)\.' < /dev/null

# build/web/kon2.wasm, every program in one module (wasm32-wasi), and
# build/web/kon2x.html, the offline page that runs them (web/, bundled by
# web/build.mjs).
web:
	@scripts/setup.sh cmake make $(WEB_PACKAGES)
	@scripts/setup-page.sh
	cmake -S . -B $(BUILD_DIR)/web -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake -DCMAKE_BUILD_TYPE=Release $(STRICT)
	cmake --build $(BUILD_DIR)/web -j $(JOBS)
	node web/build.mjs $(BUILD_DIR)/web

# The Linux programs that the WebAssembly build and the page are compared with.
web-native:
	@scripts/setup.sh cmake make g++
	cmake -S . -B build/release-tests -DCMAKE_BUILD_TYPE=Release $(STRICT) >/dev/null
	cmake --build build/release-tests -j $(JOBS) --target kon2x kon2gltf kon2svg kon2dxf kon2batch kon2x_sample_inputs make_bench_model

# The WebAssembly programs over the page's WASI layer against the Linux build
# on every sample input, the page's modules in node, and the page in headless
# Chromium; first, that no script gives a program its input through a pipe.
test-web: web web-native
	@scripts/setup-gltf.sh
	node scripts/check-piped-input.mjs
	BUILD_DIR=$(BUILD_DIR) scripts/test-web.sh
	node --test tests/web/
	BUILD_DIR=$(BUILD_DIR) scripts/test-browsers.sh chromium

# The page's scenario in Chromium, Firefox and WebKitGTK (ENGINES: some of them).
test-browsers: web web-native
	@scripts/setup-gltf.sh
	@scripts/setup-browsers.sh
	BUILD_DIR=$(BUILD_DIR) scripts/test-browsers.sh $(ENGINES)

# build-windows/kon2x.exe, kon2gltf.exe, kon2svg.exe, kon2dxf.exe and kon2batch.exe for 64-bit Windows, each one exe with no DLLs beside it.
windows:
	@scripts/setup.sh cmake make g++-mingw-w64-x86-64-posix
	cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF $(STRICT)
	cmake --build build-windows -j $(JOBS) --target kon2x kon2gltf kon2svg kon2dxf kon2batch

# Unit tests under Wine, the import list, and the comparison with the Linux build.
test-windows:
	@scripts/setup.sh $(WINDOWS_PACKAGES)
	scripts/test-windows.sh

# The packages users install, in dist/ (see scripts/dist.sh), and a try of each as a user would.
dist: web
	@scripts/setup.sh cmake make g++ dpkg-dev g++-mingw-w64-x86-64-posix
	scripts/dist.sh

test-dist: dist
	@scripts/setup.sh wine wine64
	scripts/test-dist.sh

bench:
	@scripts/setup.sh cmake make g++ libbenchmark-dev
	cmake -S . -B $(BUILD_DIR)/bench -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF -DKON2X_BENCH=ON $(STRICT)
	cmake --build $(BUILD_DIR)/bench -j $(JOBS)
	TMPDIR=$$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp ) \
	  $(BUILD_DIR)/bench/bench/kon2x_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	bench/run.sh
	bench/batch.sh

# The page's figures in headless Chromium (bench/page.mjs on the example and
# the bench models), "Make .x" against kon2.wasm under node in the same run.
bench-page: web
	@scripts/setup-gltf.sh
	bench/page.sh $(BUILD_DIR)

fuzz:
	@scripts/setup.sh cmake make clang libclang-rt-14-dev
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh

# make test has run the page in Chromium: the other two engines join here.
ci: format-check no-exceptions test test-clang test-release test-threads test-windows test-dist
	$(MAKE) test-browsers ENGINES="firefox webkitgtk"
	$(MAKE) fuzz FUZZ_SECONDS=20

clean:
	rm -rf $(BUILD_DIR) build-windows build-windows-i686 dist
