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

clean:
	rm -rf $(BUILD) demo
