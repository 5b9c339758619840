# Set-up, build, demo and tests. `make demo` and `make test` work on a fresh machine.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build demo test bench format format-check layering-check clean

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

bench: build
	cmake --build $(BUILD) --target bench

format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

layering-check:
	tools/check_layering.py

clean:
	rm -rf $(BUILD)
