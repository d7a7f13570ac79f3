# Vellumcraft: a tab-type launcher for Windows, built with MinGW-w64 and
# tested under Wine. `make run` and `make test` install what is missing.
BUILD ?= build
JOBS ?= $(shell nproc)
# Warnings stop the build in CI (any CI variable in the environment), or when
# asked with WERROR=ON.
WERROR ?= $(if $(CI),ON,OFF)
# The fuzzer needs clang: the unversioned clang++ if there is one, else the
# newest clang++-NN on the PATH (FUZZ_CXX=... picks another).
FUZZ_CXX ?= $(shell command -v clang++ 2>/dev/null || \
	(IFS=:; for d in $$PATH; do ls "$$d"/clang++-[0-9]* 2>/dev/null; done) | sort -V | tail -1)
FUZZ_CC = $(patsubst %clang++,%clang,$(subst clang++-,clang-,$(FUZZ_CXX)))
CMAKE_NATIVE = cmake -S . -B $(BUILD)/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVC_SANITIZE=ON \
	-DVC_WERROR=$(WERROR)
# The native benchmarks are timed in a release build, without sanitizers.
CMAKE_BENCH_NATIVE = cmake -S . -B $(BUILD)/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release -DVC_WERROR=$(WERROR)
CMAKE_WIN = cmake -S . -B $(BUILD)/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DVC_WERROR=$(WERROR)
CMAKE_TSAN = cmake -S . -B $(BUILD)/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVC_TSAN=ON -DVC_WERROR=$(WERROR)
CMAKE_FUZZ = cmake -S . -B $(BUILD)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVC_FUZZ=ON \
	-DCMAKE_C_COMPILER=$(FUZZ_CC) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX)

.PHONY: all deps build build-native build-tsan build-win build-fuzz build-bench check-includes test run bench fuzz clean

all: build

deps:
	@scripts/deps.sh

build: deps
	@$(MAKE) --no-print-directory build-native build-tsan build-win build-fuzz

# CMake runs on every build: configuring is idempotent and takes a moment, and
# options given on this command line (WERROR=ON) reach a tree made before.
build-native:
	@$(CMAKE_NATIVE) >/dev/null
	cmake --build $(BUILD)/native -j $(JOBS)

build-tsan:
	@$(CMAKE_TSAN) >/dev/null
	cmake --build $(BUILD)/tsan -j $(JOBS) --target vc_tsan_tests

build-win:
	@$(CMAKE_WIN) >/dev/null
	cmake --build $(BUILD)/win -j $(JOBS)

build-fuzz:
	@test -n "$(FUZZ_CXX)" || { echo "no clang++ found for the fuzzer (set FUZZ_CXX)" >&2; exit 1; }
	@$(CMAKE_FUZZ) >/dev/null
	cmake --build $(BUILD)/fuzz -j $(JOBS)

# The benchmarks are left out of the ordinary build: only `make bench` needs them.
build-bench: build-win
	cmake --build $(BUILD)/win -j $(JOBS) --target benchmarks
	@$(CMAKE_BENCH_NATIVE) >/dev/null
	cmake --build $(BUILD)/bench-native -j $(JOBS) --target native_benchmarks

check-includes:
	@scripts/check-includes.sh

test: build
	@VC_BUILD=$(abspath $(BUILD)) scripts/test.sh

run: deps
	@$(MAKE) --no-print-directory build-win
	@VC_BUILD=$(abspath $(BUILD)) scripts/run.sh

bench: deps
	@$(MAKE) --no-print-directory build-bench build-fuzz
	@VC_BUILD=$(abspath $(BUILD)) scripts/bench.sh

# A long fuzzing run (FUZZ_SECONDS, ten minutes unless said); what it finds
# stays in $(BUILD)/fuzz-corpus for the next run.
FUZZ_SECONDS ?= 600
fuzz: deps
	@$(MAKE) --no-print-directory build-fuzz
	@VC_BUILD=$(abspath $(BUILD)) scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
