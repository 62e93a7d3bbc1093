# The two set-up commands of the README: `make demo` and `make check`.
JOBS ?= 2
# Paths relative to the checkout, so that a compiler cache serves every clone of it.
export CCACHE_BASEDIR := $(CURDIR)
# Each clone builds in its own folder; the folder's name must not keep the cache from serving it.
export CCACHE_NOHASHDIR := true
# Room for a normal and a sanitizer build of several clones, so one does not push out another.
export CCACHE_MAXSIZE ?= 20G
GEN  := -G Ninja

.PHONY: demo run check deps layering build build-asan test test-asan fuzz bench skin package install clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B build $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)

build-asan: deps
	cmake -S . -B build-asan $(GEN) -DCMAKE_BUILD_TYPE=Debug -DDISCFORGE_SANITIZE=ON
	cmake --build build-asan -j$(JOBS)

test: build
	ctest --test-dir build --output-on-failure -j$(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	ctest --test-dir build-asan --output-on-failure -j$(JOBS)

# Every include follows the layers, bottom up (scripts/check-layering.sh).
layering:
	@scripts/check-layering.sh

# The layering, then every test, once in a normal build and once under AddressSanitizer and UBSan.
check: layering test test-asan

demo: build
	@scripts/demo.sh build

# Builds and starts the window; it finds its skin beside the program in build/bin.
run: build
	build/bin/discforge

# Each picture reader's fuzz targets (full size and panel size), the project loader's, the script
# reader's and the text and picture subtitle readers', for FUZZ_SECONDS each, in a clang build of its own.
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDISCFORGE_FUZZ=ON
	cmake --build build-fuzz -j$(JOBS) --target fuzz-targets
	tests/fuzz/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

# The Debian package build/ferrowick-discforge_<version>_<architecture>.deb.
package: build
	cd build && cpack -G DEB

# Installs the program under PREFIX (default /usr/local), or under DESTDIR/PREFIX.
PREFIX ?= /usr/local
install: build
	cmake --install build --prefix $(PREFIX)

# Benchmarks against peers, in an optimised build of their own.
bench: deps
	cmake -S . -B build-bench $(GEN) -DCMAKE_BUILD_TYPE=Release -DDISCFORGE_BENCH=ON -DDISCFORGE_TESTS=OFF
	cmake --build build-bench -j$(JOBS)
	@for script in bench/*/run.sh; do echo "== $$script"; $$script build-bench || exit 1; done

# Draws the default skin and the icon into resources/ again, after a change to tools/skin.
skin: deps
	cmake -S . -B build $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS) --target skin

clean:
	rm -rf build build-asan build-fuzz build-bench
