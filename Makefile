# SPDX-License-Identifier: MIT
# softglu's entry points.  Each build is a preset of CMakePresets.json in
# build/<preset>; by hand, `cmake --workflow --preset armel` for instance.
#   make              builds the library alone (build/library): installs and runs nothing
#   make deps         installs (apt-get, as root) the Debian packages the targets below need
#   make check        the host suite: configure, build and ctest of the preset host
#   make gallery      renders build/gallery.png and build/solar.png (examples/legacy/solar.c)
#   make test         CI's suites: host, armel, mutants, ASan+UBSan, TSan, fuzz, packages, board, prebuilt, release
#   make test-arches  the other seven architectures' suites, under qemu-user on their baseline CPU
#   make reference    adds cases to the reference stream (FORCE=1: rewrites it; docs/bit-exact.md)
#   make abi-baseline rewrites the ABI baseline (docs/releasing.md)
#   make bench        the benchmark table and callgrind's instruction counts (BENCHMARKS.md)
#   make fuzz         the fuzz run: FUZZ_SECONDS=3600 FUZZ_SEED=0 (a new seed) for longer
#   make packages     Debian's source and binary packages in build/packages/out, lintian-checked
#   make release      tags HEAD v<version> (signed), writes build/release/softglu-<version>.tar.gz

BUILD := build
JOBS := $(shell nproc 2>/dev/null || echo 2)
# The architectures, listed in cmake/architectures.txt.
ARCH_TABLE := cmake/architectures.txt
arches = $(shell awk '!/^\#/ && NF && $(1) { print $$1 }' $(ARCH_TABLE))
CROSS := $(call arches,$$3 != "-")
ARCHES := $(filter-out armel,$(CROSS))
PACKAGE_ARCHES := $(call arches,$$5 == "yes")

# The host suite; softglu-render; the cross suites; fuzz; packages and board; prebuilt
# (the runtime of Debian's libglc0 and xscreensaver-gl's polyhedra, and Xvfb); bench.
PKGS := cmake make ninja-build g++ binutils libgl-dev libgtest-dev googletest pkgconf xz-utils \
  git dpkg-dev man-db groff-base mandoc abigail-tools libbenchmark-dev clang-14 \
  libosmesa6-dev libpng-dev autoconf automake libtool \
  qemu-user dpkg $(shell awk '!/^\#/ && NF && $$3 != "-" { print "g++-" $$2, "binutils-" $$2 }' $(ARCH_TABLE)) \
  libclang-rt-14-dev llvm-14 \
  debhelper fakeroot lintian devscripts gnupg autopkgtest mmdebstrap \
  xvfb netpbm libgl1-mesa-dri libegl-mesa0 libegl1 libglewmx1.13 libfontconfig1 libfreetype6 \
  libfribidi0 fonts-dejavu-core libx11-6 libxext6 libxft2 libxt6
# The real shapes (bench/realshapes.cpp): FreeType and a font, gmt-dcw's
# countries (netCDF), dpkg-dev to unpack earcut's source (bench/fetch-earcut.sh).
BENCH_PKGS := valgrind python3-mapbox-earcut libfreetype-dev fonts-dejavu-core gmt-dcw libnetcdf-dev dpkg-dev

.PHONY: all deps check gallery test test-arches test-mutants build-fuzz test-fuzz fuzz reference \
  abi-baseline bench packages test-packages test-board test-prebuilt test-autopkgtest release test-release

all:
	CMAKE_BUILD_PARALLEL_LEVEL=$(JOBS) cmake --workflow --preset library

deps:
	scripts/ensure-packages $(PKGS) $(BENCH_PKGS)

# Built once for their suite and for the targets below that reuse them.
SUITES := host armel asan tsan
.PHONY: $(addprefix build-,$(SUITES)) $(addprefix test-,$(SUITES) $(ARCHES))
$(addprefix build-,$(SUITES)): build-%: deps
	cmake --preset $*
	cmake --build --preset $* -j$(JOBS)
$(addprefix test-,$(SUITES)): test-%: build-%
	ctest --preset $* -j$(JOBS)
	$(if $(filter $*,$(CROSS)),@grep -h 'math libraries differ' $(BUILD)/$*/Testing/Temporary/LastTest.log || true)
# The others: their preset's workflow.  For information: where libm and the reference's differ.
$(addprefix test-,$(ARCHES)): test-%: deps
	CMAKE_BUILD_PARALLEL_LEVEL=$(JOBS) CTEST_PARALLEL_LEVEL=$(JOBS) cmake --workflow --preset $*
	@grep -h 'math libraries differ' $(BUILD)/$*/Testing/Temporary/LastTest.log || true

check: test-host
test: test-host test-armel test-mutants test-asan test-tsan test-fuzz test-packages test-board \
  test-prebuilt test-autopkgtest test-release
test-arches: $(addprefix test-,$(ARCHES))

gallery: build-host
	$(BUILD)/host/tools/softglu-render -o $(BUILD)/gallery.png
	$(BUILD)/host/examples/legacy/solar $(BUILD)/solar.png
	@echo "wrote $(BUILD)/solar.png" >&2

# The fast tests must catch each slip of tests/reference/mutants.txt made in a copy of the sources.
test-mutants: deps
	tests/reference/mutants.sh $(abspath $(BUILD))/mutants

build-fuzz: deps
	cmake --preset fuzz $(if $(FUZZ_SECONDS),-DSOFTGLU_FUZZ_SECONDS=$(FUZZ_SECONDS)) \
	  $(if $(FUZZ_SEED),-DSOFTGLU_FUZZ_SEED=$(FUZZ_SEED))
	cmake --build --preset fuzz -j$(JOBS)
test-fuzz fuzz: build-fuzz
	ctest --preset fuzz

# Records on x86-64 (scripts/record-reference; FORCE=1 for a change of output).
reference: build-host
	scripts/record-reference $(if $(FORCE),--force) $(BUILD)/host

abi-baseline: build-host
	tests/build/check_abi_baseline.sh tests/build/abi/libsoftglu.so.1.abi include/GL \
	  $(BUILD)/host/tests/abi/libsoftglu.so.1 --update

bench: build-host
	cmake --build --preset host --target softglu_realshapes -j$(JOBS)
	bench/run.sh $(BUILD)/host $(BUILD)/tess-bench

packages: deps
	scripts/build-packages $(PACKAGE_FLAGS) $(BUILD)/packages $(PACKAGE_ARCHES)
# make test runs the host suite itself: its native package build skips it.
test: PACKAGE_FLAGS := --nocheck
# The packages installed, and their amd64 and armel libraries replaying the reference stream.
test-packages: packages build-host build-armel
	tests/build/check_debs.sh $(BUILD)/packages/out $(abspath $(BUILD))/packages/check $(CURDIR) \
	  $(abspath $(BUILD))/host $(abspath $(BUILD))/armel
# A legacy example against Debian's armel userland and the armel packages (docs/porting.md).
test-board: packages build-host
	tests/build/check_board.sh $(CURDIR) $(BUILD)/packages/out $(BUILD)/host $(abspath $(BUILD))/board
# Debian's prebuilt libglc0 and polyhedra (xscreensaver-gl) on the classic libGLU.so.1, the
# system's poisoned (docs/porting.md); skipped, and said so, where the packages cannot be had.
test-prebuilt: build-host
	tests/build/check_prebuilt.sh $(BUILD)/host $(abspath $(BUILD))/prebuilt || [ $$? -eq 77 ]
# debian/tests with autopkgtest's null runner, as root.
test-autopkgtest: packages
	tests/build/check_autopkgtest.sh $(BUILD)/packages/out $(abspath $(BUILD))/packages/autopkgtest

release: deps
	scripts/release $(BUILD)/release
test-release: deps
	tests/build/check_release.sh $(CURDIR) $(abspath $(BUILD))/release-check
