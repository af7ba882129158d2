# Wraps the CMake presets. `make run` and `make test` are the two commands of the README.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: deps run test test-dev test-asan test-tsan test-fuzz bench format screenshot package clean

deps:
	@tools/install-deps

# Builds the optimised program and starts the trainer.
run: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	@if [ -x build/release/app/zelbin ]; then \
		build/release/app/zelbin; \
	else \
		mkdir -p build/demo && build/release/tools/zelbin-render "CQ CQ DE ZELBIN 73" build/demo/demo.wav && \
		echo "The trainer's window is not built yet; a demonstration is in build/demo/demo.wav"; \
	fi

# The whole suite: debug, AddressSanitizer and ThreadSanitizer builds, then the fuzzers.
test: deps test-dev test-asan test-tsan test-fuzz

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

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS)
	@for b in build/bench/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

# Builds the Debian package build/release/zelbin_<version>_<arch>.deb.
package: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	cd build/release && cpack -G DEB

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
