# Entry points; CMake does the real work. The program is built in build/, the test suite (with
# warnings as errors) in build-test/; the user's data lives in the data folder, never in either.
SHELL := /bin/bash
BUILD_DIR  ?= build
TEST_DIR   ?= build-test
FUZZ_DIR   ?= build-fuzz
FUZZ_SECONDS ?= 60
LINT_JOBS  ?= 2
BUILD_TYPE ?= RelWithDebInfo
CMAKE_ARGS ?=
PREFIX     ?= /usr/local

.PHONY: all deps test-deps configure configure-test build run test bench asan fuzz install deb format lint clean

all: build

deps:
	@scripts/install-deps.sh run

test-deps:
	@scripts/install-deps.sh test

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DBUILD_TESTING=OFF $(CMAKE_ARGS) >/dev/null

configure-test: test-deps
	@cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DBUILD_TESTING=ON \
		-DRUVO_WERROR=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) --target ruvo_program

run: build
	$(BUILD_DIR)/ruvo

test: configure-test
	@cmake --build $(TEST_DIR)
	@cd $(TEST_DIR) && ctest --output-on-failure --timeout 600

bench: configure-test
	@cmake --build $(TEST_DIR) --target ruvo_benchmarks
	@for b in $(TEST_DIR)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; QT_QPA_PLATFORM=offscreen TZ=Europe/Berlin $$b; done

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer. Leak reports are off:
# the font and display libraries under Qt keep caches until the process ends.
asan:
	@ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		$(MAKE) test TEST_DIR=build-asan BUILD_TYPE=Debug CMAKE_ARGS="-DRUVO_SANITIZE=ON"

# Each libFuzzer target for $(FUZZ_SECONDS) seconds from its seed corpus, built with clang on its own.
fuzz: test-deps
	@CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DBUILD_TESTING=OFF -DRUVO_FUZZ=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(FUZZ_DIR) --target ruvo_fuzzers
	@for f in $(FUZZ_DIR)/fuzz/fuzz_*; do \
		[ -f "$$f" ] && [ -x "$$f" ] || continue; \
		name=$${f##*/fuzz_}; mkdir -p $(FUZZ_DIR)/corpus/$$name; \
		echo "== $$name"; \
		$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -rss_limit_mb=2048 \
			$(FUZZ_DIR)/corpus/$$name fuzz/corpus/$$name 2>&1 | tail -n 25; \
		[ $${PIPESTATUS[0]} -eq 0 ] || exit 1; \
	done

# Installs below $(PREFIX), inside $(DESTDIR) when set (for staging and packaging).
install: configure
	@cmake --build $(BUILD_DIR) --target ruvo_installables
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# A Debian package of the same installation, under /usr, in $(BUILD_DIR)/package/.
deb: configure
	@scripts/install-deps.sh deb
	@cmake --build $(BUILD_DIR) --target ruvo_installables
	@cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/package/*.deb

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# clang-tidy over src/ (with the test build's compile database, configured first) and the
# clang-format check of every source; nothing is changed.
lint: configure-test
	@scripts/lint.sh $(TEST_DIR) $(LINT_JOBS)

clean:
	@rm -rf $(BUILD_DIR) $(TEST_DIR) $(FUZZ_DIR)
