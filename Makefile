# The two commands of the README, and a few more for developers.
BUILD ?= build
JOBS ?= 2

.PHONY: all deps build demo test clean

all: build

deps:
	@bash tools/scripts/install_deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

demo: build
	bash examples/station/run_demo.sh $(BUILD)

# Windows console programs, cross-built with mingw-w64 and linked statically.
WIN_BUILD ?= build-win
WIN32_BUILD ?= build-win32
WIN_PROGRAMS = zentrak zentrak-lngc zentrak-genlog

.PHONY: windows windows32
windows:
	@bash tools/scripts/install_deps.sh mingw
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WIN_BUILD) -j $(JOBS) --target $(WIN_PROGRAMS)

windows32:
	@bash tools/scripts/install_deps.sh mingw32
	cmake -S . -B $(WIN32_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DBUILD_TESTING=OFF
	cmake --build $(WIN32_BUILD) -j $(JOBS) --target $(WIN_PROGRAMS)

clean:
	rm -rf $(BUILD) demo
