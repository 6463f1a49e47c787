# The commands of the README: `make demo`, `make check`, `make install`, `make package`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# ccache, where installed, makes rebuilds of other checkouts and folders cheap.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all bootstrap configure build check test sanitize demo demo-wine clean fuzz install package coverage

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -G Ninja $(LAUNCHER) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Every test twice: the ordinary build, then clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, where any report fails the run.
check: test sanitize
	@scripts/include-layers
	@scripts/test-ratio

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

SANITIZE_BUILD ?= build-asan
sanitize: bootstrap
	@CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSB_SANITIZE=ON $(LAUNCHER) > /dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS) --timeout 600

# The whole ordinary suite built with --coverage (-O0, so that lines map to
# code) in a folder of its own, counting this run only; then gcovr's summary of
# the program code: every source outside tests/, fuzz/, bench/ and the build
# folders, whose moc and embedded-resource files are generated.
COVERAGE_BUILD ?= build-coverage
coverage: bootstrap
	@cmake -S . -B $(COVERAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage $(LAUNCHER) > /dev/null
	@cmake --build $(COVERAGE_BUILD) -j $(JOBS)
	@find $(COVERAGE_BUILD) -name '*.gcda' -delete
	@cd $(COVERAGE_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	@gcovr --root . --object-directory $(COVERAGE_BUILD) -j $(JOBS) \
	    --exclude '(tests|fuzz|bench)/' --exclude 'build[^/]*/' \
	    --txt $(COVERAGE_BUILD)/coverage.txt --print-summary

# The applet against the game substitute in a demo game folder (scripts/demo).
demo: build
	@BUILD=$(BUILD) scripts/demo

# The same with the Windows game substitute in a Wine prefix, through the bridge.
demo-wine: build
	@BUILD=$(BUILD) scripts/demo --wine

# DESTDIR, when given, is a staging folder that PREFIX is placed under.
PREFIX ?= /usr/local
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# splicebox_<version>_<arch>.deb in $(BUILD), without the game substitute.
package: build
	@cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD)

# Benchmarks build with optimisation in a folder of their own; each prints its
# figures beside a baseline measured in the same run, and scripts/bench-report
# gathers them into one table (each program's own output is kept beside it).
# -O2 as in the ordinary build: GCC 12 at -O3 reports false overlaps inside
# std::string that -Werror turns into errors.
BENCH_FLAGS ?= -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
BENCH_TARGETS := $(patsubst bench/%/CMakeLists.txt,bench_%,$(wildcard bench/*/CMakeLists.txt))
.PHONY: bench
bench: bootstrap
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) $(BENCH_FLAGS) > /dev/null
	@cmake --build build-bench -j $(JOBS) --target $(BENCH_TARGETS)
	@scripts/bench-report build-bench/bench

# Runs every libFuzzer target for FUZZ_SECONDS each (clang, sanitizers on).
FUZZ_SECONDS ?= 60
FUZZ_BUILD ?= build-fuzz
fuzz: bootstrap
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSB_LIBFUZZER=ON $(LAUNCHER) > /dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	@scripts/run-fuzzers $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)
