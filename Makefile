# Wraps the CMake presets. `make run` and `make test` are the two commands of the README.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all deps deps-test deps-windows deps-package run test test-dev test-asan test-tsan test-fuzz test-windows \
	bench format screenshot package clean

# A bare `make` builds the optimised trainer and zelbin-render (build/release), with only what
# building them needs: no test tools, no Wine.
all: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

# The packages of each use (tools/install-deps): building and running, testing, the Windows build,
# the Debian package.
deps:
	@tools/install-deps run
deps-test:
	@tools/install-deps test
deps-windows:
	@tools/install-deps windows
deps-package:
	@tools/install-deps package

# Builds the optimised program and starts the trainer.
run: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target zelbin
	build/release/app/zelbin

# Renders the windows offscreen into build/screenshots/ (main.png, ...), to look at them.
screenshot: deps-test
	cmake --preset dev >/dev/null
	cmake --build --preset dev -j $(JOBS) --target zelbin-screenshot
	QT_QPA_PLATFORM=offscreen tools/run-test build/dev/tests/app/zelbin-screenshot $(CURDIR)/build/screenshots

# The whole suite: debug, AddressSanitizer and ThreadSanitizer builds, the fuzzers, then the
# Windows build of the core with its tests under Wine.
test: deps-test test-dev test-asan test-tsan test-fuzz test-windows

test-dev:
	cmake --preset dev >/dev/null
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev

test-asan:
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

test-tsan:
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan

test-fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	@if [ -x tools/run-fuzzers ]; then tools/run-fuzzers build/fuzz; fi

# The core, its tests and zelbin-render built for Windows with MinGW-w64; the tests run under
# Wine in a private, temporary prefix.
test-windows: deps-windows
	JOBS=$(JOBS) tools/test-windows

bench: deps-test
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS)
	@for b in build/bench/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

# Builds the Debian package build/release/zelbin_<version>_<arch>.deb.
package: deps-package
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	cd build/release && cpack -G DEB

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
