# Tavrilo: every build, test and run goes through this file.
#   make run    set up, build the program alone and start it
#   make test   set up, build and run the whole test suite
BUILD       ?= build
ASAN_BUILD  ?= build-asan
FUZZ_BUILD  ?= build-fuzz
BENCH_BUILD ?= build-bench
PACKAGE_BUILD ?= build-package
WINDOWS_BUILD ?= build-windows
JOBS        ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# ON turns every compiler warning into an error (CI does).
WERROR      ?= OFF
CMAKE_FLAGS := -DTAVRILO_WERROR=$(WERROR)

.PHONY: all setup configure build run test sanitize fuzz bench screenshots package format format-check clean windows readme-findings

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

# Everything: the program and the tests.
build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# Only what it runs: the program and the data placed beside it, no test program.
run: configure
	@cmake --build $(BUILD) -j$(JOBS) --target tavrilo
	$(BUILD)/bin/tavrilo

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The README's list of findings written anew from the rule book (src/game/RuleBook.def).
readme-findings: configure
	@cmake --build $(BUILD) -j$(JOBS) --target game_tests
	@TAVRILO_WRITE_README=1 $(BUILD)/bin/game_tests --gtest_filter=RuleBook.* >/dev/null

# The test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer; any
# report fails the run.
sanitize: setup
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS) \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j$(JOBS)

# The parsers under libFuzzer, for a bounded time each.
fuzz: setup
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
	  -DTAVRILO_TESTS=OFF -DTAVRILO_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_targets
	@for target in $(FUZZ_BUILD)/bin/fuzz_*; do \
	  name=$$(basename $$target); corpus=$(FUZZ_BUILD)/corpus/$$name; mkdir -p $$corpus; \
	  echo "fuzzing $$name for $(FUZZ_SECONDS) s"; \
	  log=$(FUZZ_BUILD)/$$name.log; \
	  $$target -max_total_time=$(FUZZ_SECONDS) $$corpus fuzz/seeds/$$name >$$log 2>&1 \
	    || { tail -n 60 $$log; exit 1; }; \
	  tail -n 1 $$log; \
	done

# The benchmarks: figures printed, nothing asserted.
bench: setup
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) -DTAVRILO_TESTS=OFF -DTAVRILO_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) -j$(JOBS)
	@for b in $(BENCH_BUILD)/bin/bench_*; do echo "== $$(basename $$b)"; $$b || exit 1; done

# The window in both languages, rendered to docs/.
screenshots: build
	@cmake --build $(BUILD) --target screenshots

# The .deb and the .tar.gz, built for the /usr prefix in $(PACKAGE_BUILD)/. The test builds
# hold the warnings; this optimised build does not stop on the optimiser's false alarms.
# It is compiled and linked with Debian's build flags (dpkg-buildflags: its hardening, and
# source paths recorded relative to this folder) and with stack-clash protection, which
# dpkg-buildflags adds from Debian 13 on. Every date in it is the last commit's
# (packaging/source-date-epoch.sh): two builds of one commit give the same bytes.
package: setup
	@export SOURCE_DATE_EPOCH=$$(packaging/source-date-epoch.sh) && \
	cxxflags="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" && \
	ldflags="$$(dpkg-buildflags --get LDFLAGS)" && \
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRILO_WERROR=OFF \
	  -DTAVRILO_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$cxxflags -fstack-clash-protection" -DCMAKE_EXE_LINKER_FLAGS="$$ldflags" \
	  -DCMAKE_SHARED_LINKER_FLAGS="$$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$$ldflags" >/dev/null && \
	rm -f $(PACKAGE_BUILD)/tavrilo_*.deb $(PACKAGE_BUILD)/tavrilo-*.tar.gz && \
	cmake --build $(PACKAGE_BUILD) -j$(JOBS) --target package

# The engine, its tests and a console tavrilo.exe cross-built for 64-bit Windows with
# MinGW-w64 and run under Wine, headless: the tests, then tavrilo.exe --check of the
# support files and of a file with known findings (scripts/windows.sh).
windows: setup
	@JOBS=$(JOBS) WERROR=$(WERROR) scripts/windows.sh $(WINDOWS_BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(PACKAGE_BUILD) $(WINDOWS_BUILD)
