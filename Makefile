# softglu's two commands:
#   make        builds the library (host)
#   make test   installs what is missing, builds and runs every test suite
# Each suite builds in its own directory under build/.

HOST_PKGS := cmake make g++ binutils libgl-dev libgtest-dev googletest pkgconf
JOBS := $(shell nproc 2>/dev/null || echo 2)
BUILD := build

.PHONY: all test deps-host build-host test-host

all: build-host

deps-host:
	scripts/ensure-packages $(HOST_PKGS)

build-host: deps-host
	cmake -S . -B $(BUILD)/host -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)/host -j$(JOBS)

test-host: build-host
	ctest --test-dir $(BUILD)/host --output-on-failure -j$(JOBS)

test: test-host
