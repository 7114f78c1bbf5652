# Thin wrapper over CMake: the commands the README promises.
BUILD     ?= build
SAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup build test test-normal test-sanitize demo fuzz format clean

all: build

setup:
	@scripts/setup

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEX_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

test: test-normal test-sanitize

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: setup
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVEX_SANITIZE=ON \
	      -DKORVEX_WERROR=ON -DKORVEX_BUILD_BENCHMARKS=OFF $(CMAKE_FLAGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	ctest --test-dir $(SAN_BUILD) --output-on-failure -j $(JOBS)

# Documents the bundled example project into out/demo/ and checks the result.
demo: build
	mkdir -p out/demo
	$(BUILD)/bin/korvex /iexamples/KORVEX.INI /hout/demo/SHAPES /oout/demo/progress.txt
	cp examples/shapes/SHAPE.BMP out/demo/  # the help compiler looks beside the HPJ
	@echo "Wrote:"; ls -1 out/demo/SHAPES.*
	$(BUILD)/bin/helpcheck out/demo/SHAPES.RTF && echo "helpcheck: no problems found"

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS.
fuzz: setup
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DKORVEX_WERROR=ON -DKORVEX_FUZZ=ON -DKORVEX_BUILD_VANTRO=OFF -DKORVEX_BUILD_BENCHMARKS=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) --target fuzzers -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --test-dir $(FUZZ_BUILD) -L fuzz --output-on-failure

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
