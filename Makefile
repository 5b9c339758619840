# Set-up, build, demo and tests. `make demo` and `make test` work on a fresh machine.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: all deps build demo test faults coverage bench fuzz fuzz-deps format format-check layering-check clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

demo: build
	$(BUILD)/shell/vorlin_sh -t examples/demo.tcl

test: build
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j$(JOBS)

# The upgrade fault-injection test with many runs (make test runs a few).
N ?= 200
SEED ?= 20261207
faults: build
	VORLIN_FAULT_RUNS=$(N) VORLIN_FAULT_SEED=$(SEED) ctest --test-dir $(BUILD) -R '^tcl\.upgrade_faults$$' --output-on-failure --timeout 100000

# Line coverage of the module and the suite over every test, in its own build directory.
COVERAGE_BUILD ?= build-coverage
COVERAGE_FLAGS ?=
coverage: deps
	cmake -S . -B $(COVERAGE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVORLIN_COVERAGE=ON $(COVERAGE_FLAGS)
	cmake --build $(COVERAGE_BUILD) -j$(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	ctest --test-dir $(COVERAGE_BUILD) --output-on-failure --no-tests=error -j$(JOBS)
	@# gcov runs in a target's own build directory: with ccache's base directory set, the
	@# recorded source paths are relative to it, one level below the build root.
	@# The fatal-error guards run only in test children that end through _exit, which skips
	@# gcov's exit-time write: they are tested, but gcov cannot see it.
	@for part in ipman suite; do \
	  gcovr --root . --object-directory $(COVERAGE_BUILD)/$$part --filter "$$part/" --print-summary \
	    --exclude ipman/tcl/ipman_fatal_guards.cpp \
	    --output $(COVERAGE_BUILD)/coverage-$$part.txt $(COVERAGE_BUILD) 2>/dev/null | \
	    grep -E '^lines:' | sed "s|^|$$part/ |"; \
	done

bench: build
	cmake --build $(BUILD) --target bench

fuzz-deps:
	@tools/install-deps.sh --fuzz

# Builds the libFuzzer targets with clang under ASan/UBSan and runs each for FUZZ_SECONDS.
fuzz: fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DVORLIN_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_targets
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

layering-check:
	tools/check_layering.py

clean:
	rm -rf $(BUILD) $(COVERAGE_BUILD) $(FUZZ_BUILD)
