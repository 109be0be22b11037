# The two commands of the README, and a few more for developers.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS ?= 2
# Where `make install` puts things; the build learns it too (the system
# configuration is looked for in $(PREFIX)/etc/zentrak, or /etc/zentrak for /usr).
PREFIX ?= /usr/local
# Seconds each fuzz target runs under `make fuzz`, and under `make test`.
FUZZ_SECONDS ?= 60
CI_FUZZ_SECONDS ?= 20

# The programs `make demo` and the package's round trip run.
PROGRAMS = zentrak zentrak-lngc zentrak-genlog

.PHONY: all deps build programs check check-format demo screenshots test test-release test-sanitize fuzz-build fuzz fuzz-smoke clean

all: build

deps:
	@bash tools/scripts/install_deps.sh test

# Everything, the tests included.
build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$(PREFIX) \
	  -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)

# The programs only, in the same build folder: a fresh folder is configured
# without the tests (no test framework to install, no test to compile); one
# that `make build` configured keeps them.
programs:
	@bash tools/scripts/install_deps.sh
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$(PREFIX) \
	  $$([ -f $(BUILD)/CMakeCache.txt ] || echo -DBUILD_TESTING=OFF)
	cmake --build $(BUILD) -j $(JOBS) --target $(PROGRAMS)

# The loop while you work: the Release build, its unit tests, the layer check
# and the end-to-end stations. The failure injection (a minute of crashed and
# starved runs) and the web pages in a browser are left to `make test`.
check: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -E '^(failure|html)\.'

# Every C++ file as the project's .clang-format writes it.
check-format:
	@bash tools/scripts/install_deps.sh format
	bash tools/scripts/check_format.sh

# Everything: the format check, the Release tests, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, a short run of every fuzz
# target, the Windows programs' tests under wine, and the Debian package
# installed, tried and removed again.
test: check-format test-release test-sanitize fuzz-smoke test-windows test-package

# The web pages are checked in Chromium here, and the trends metrics with
# promtool; a missing browser or promtool is a failure.
test-release: build
	@bash tools/scripts/install_deps.sh test browser metrics
	ZENTRAK_REQUIRE_BROWSER=1 ZENTRAK_REQUIRE_PROMTOOL=1 \
	  ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZENTRAK_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

fuzz-build:
	@bash tools/scripts/install_deps.sh clang
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZENTRAK_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j $(JOBS)

fuzz: fuzz-build
	bash fuzz/run_fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(JOBS)

fuzz-smoke: fuzz-build
	bash fuzz/run_fuzz.sh $(FUZZ_BUILD) $(CI_FUZZ_SECONDS) $(JOBS)

demo: programs
	bash examples/station/run_demo.sh $(BUILD)

# A PNG of every web page of the demo (and the entry page on a phone).
screenshots: demo
	@bash tools/scripts/install_deps.sh browser
	node tests/html/browser_check.mjs shots demo/station/html demo/screenshots

# Windows console programs, cross-built with mingw-w64 and linked statically.
WIN_BUILD ?= build-win
WIN32_BUILD ?= build-win32
WIN_PROGRAMS = $(PROGRAMS)

.PHONY: windows windows32 test-windows
windows:
	@bash tools/scripts/install_deps.sh test mingw
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WIN_BUILD) -j $(JOBS) --target $(WIN_PROGRAMS)

# The Windows build's unit tests and end-to-end stations, run under wine.
# Configured after wine is installed: the build finds it then and runs every
# test program through it.
test-windows:
	@bash tools/scripts/install_deps.sh test mingw wine
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WIN_BUILD) -j $(JOBS)
	bash tools/scripts/test_windows.sh $(WIN_BUILD) $(JOBS)

windows32:
	@bash tools/scripts/install_deps.sh mingw32
	cmake -S . -B $(WIN32_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DBUILD_TESTING=OFF
	cmake --build $(WIN32_BUILD) -j $(JOBS) --target $(WIN_PROGRAMS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PKG_BUILD) demo

# Installing. `make install` copies the programs, manual pages, example station
# and docs under $(PREFIX) (DESTDIR is honoured); `make uninstall` removes what
# the last install put there, except the configuration. `make package` builds
# a Debian package for /usr in $(PKG_BUILD).
PKG_BUILD ?= build-pkg

.PHONY: install uninstall package test-package
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD)

uninstall:
	DESTDIR="$(DESTDIR)" cmake --build $(BUILD) --target uninstall

package:
	@bash tools/scripts/install_deps.sh package
	cmake -S . -B $(PKG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DBUILD_TESTING=OFF
	cmake --build $(PKG_BUILD) -j $(JOBS) --target zentrak zentrak-lngc man_pages
	cd $(PKG_BUILD) && cpack -G DEB

# Installs the package on this machine, runs it from the installed files and
# removes it again (needs root or sudo).
test-package: package programs
	bash tools/scripts/test_package.sh $(PKG_BUILD) $(BUILD)
