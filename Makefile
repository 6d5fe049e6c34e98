# Front door: `make run` and `make test` install what is missing, build and go.
BUILD        ?= build
BUILD_SAN    ?= build-sanitize
BUILD_FUZZ   ?= build-fuzz
BUILD_TYPE   ?= RelWithDebInfo
FUZZ_SECONDS ?= 60
JOBS         ?= $(shell nproc)

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

.PHONY: all deps build run test test-sanitize bench fuzz format package clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Lunetta reads holiday.dat from the folder it starts in.
run: build
	cd data && ../$(BUILD)/bin/lunetta

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The tests that open no window (core, holidays, pictures, rendering, lunetta-compose), under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUNETTA_SANITIZE=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS) -E '^(ui|output)_' -LE package

# The Debian package, lunetta_<version>_<arch>.deb in $(BUILD).
package: build
	cmake --build $(BUILD) --target package

bench: build
	cmake --build $(BUILD) --target lunetta-bench
	$(BUILD)/bin/lunetta-bench

# Each fuzz target runs for FUZZ_SECONDS.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(CMAKE_FLAGS) -DLUNETTA_FUZZ=ON
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz-targets
	tests/fuzz/run-all $(BUILD_FUZZ)/bin $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ)
