# softglu's commands:
#   make gallery  installs what is missing, builds and renders build/gallery.png
#   make          builds the library (host)
#   make test     installs what is missing, builds and runs every test suite
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

# Mesa's offscreen renderer and libpng: softglu-render and its tests, which
# the host build includes whenever they are installed.
RENDER_PKGS := libosmesa6-dev libpng-dev

.PHONY: deps-render gallery

deps-render:
	scripts/ensure-packages $(RENDER_PKGS)

build-host: deps-render

gallery: build-host
	$(BUILD)/host/tools/softglu-render -o $(BUILD)/gallery.png
