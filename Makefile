# Vellumcraft: a tab-type launcher for Windows, built with MinGW-w64 and
# tested under Wine. `make run` and `make test` install what is missing.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_NATIVE = cmake -S . -B $(BUILD)/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVC_SANITIZE=ON
CMAKE_WIN = cmake -S . -B $(BUILD)/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake
CMAKE_FUZZ = cmake -S . -B $(BUILD)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVC_FUZZ=ON \
	-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14

.PHONY: all deps build build-native build-win build-fuzz test run bench fuzz clean

all: build

deps:
	@scripts/deps.sh

build: deps
	@$(MAKE) --no-print-directory build-native build-win build-fuzz

build-native:
	@test -f $(BUILD)/native/build.ninja || $(CMAKE_NATIVE) >/dev/null
	cmake --build $(BUILD)/native -j $(JOBS)

build-win:
	@test -f $(BUILD)/win/build.ninja || $(CMAKE_WIN) >/dev/null
	cmake --build $(BUILD)/win -j $(JOBS)

build-fuzz:
	@test -f $(BUILD)/fuzz/build.ninja || $(CMAKE_FUZZ) >/dev/null
	cmake --build $(BUILD)/fuzz -j $(JOBS)

test: build
	@VC_BUILD=$(abspath $(BUILD)) scripts/test.sh

run: deps
	@$(MAKE) --no-print-directory build-win
	@VC_BUILD=$(abspath $(BUILD)) scripts/run.sh

bench: deps
	@$(MAKE) --no-print-directory build-win build-fuzz
	@VC_BUILD=$(abspath $(BUILD)) scripts/bench.sh

# A long fuzzing run (FUZZ_SECONDS, ten minutes unless said); what it finds
# stays in $(BUILD)/fuzz-corpus for the next run.
FUZZ_SECONDS ?= 600
fuzz: deps
	@$(MAKE) --no-print-directory build-fuzz
	@VC_BUILD=$(abspath $(BUILD)) scripts/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
