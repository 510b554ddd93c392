# SPDX-License-Identifier: MIT
# softglu's commands:
#   make gallery  installs what is missing, builds and renders build/gallery.png
#                 and build/solar.png (examples/legacy/solar.c)
#   make          builds the library (host)
#   make test     installs what is missing, builds and runs the test suites:
#                 the host's and armel's (cross-built, run under qemu-arm),
#                 the mutation check, the Debian packages (built, lintian,
#                 installed for real as root, their autopkgtest, the road
#                 to the board), the release, the host's under ASan+UBSan
#                 and TSan, and a bounded fuzz run
#   make test-arches  the suites of i386, armhf, arm64, s390x, riscv64, ppc64el
#                 and mips64el (cross-built, run under qemu-user on each one's
#                 baseline CPU); `make test test-arches` runs every test
#   make reference    rewrites the reference stream (see docs/bit-exact.md)
#   make abi-baseline rewrites the ABI baseline (see docs/releasing.md)
#   make bench    the benchmark and the callgrind instruction counts
#   make packages the Debian source package and the packages of amd64 (built
#                 with its tests), armel, i386, armhf, arm64, ppc64el,
#                 mips64el and riscv64 in build/packages/out, checked by lintian
#   make release  tags HEAD v<version> (signed) and writes
#                 build/release/softglu-<version>.tar.gz (docs/releasing.md)
# Each suite builds in its own directory under build/, with its preset of
# CMakePresets.json (build/<preset>): the presets hold how each build is
# configured (build type, toolchain file, sanitizers, compilers) and the
# environment its tests run in; this file installs what they need and calls
# them.  By hand: `cmake --workflow --preset armel`, for instance.

HOST_PKGS := cmake make g++ binutils libgl-dev libgtest-dev googletest pkgconf xz-utils \
  git dpkg-dev man-db groff-base mandoc abigail-tools
JOBS := $(shell nproc 2>/dev/null || echo 2)
# Where the presets build (their binaryDir): fixed there, so not a setting.
BUILD := build

.PHONY: all test deps-host build-host test-host

all: build-host

deps-host:
	scripts/ensure-packages $(HOST_PKGS)

build-host: deps-host
	cmake --preset host
	cmake --build --preset host -j$(JOBS)

test-host: build-host
	ctest --preset host -j$(JOBS)

# Cross suites: each architecture built in build/<arch> with the toolchain
# file its preset names (cmake/<triplet>.cmake) and every test run under its
# qemu-user emulator, on the CPU model the toolchain file names, the
# reference stream included.  armel, the primary target, is part of
# `make test`; `make test-arches` runs the others.  TRIPLET_<arch> names the
# Debian cross packages each needs.
TRIPLET_armel := arm-linux-gnueabi
TRIPLET_armhf := arm-linux-gnueabihf
TRIPLET_arm64 := aarch64-linux-gnu
TRIPLET_i386 := i686-linux-gnu
TRIPLET_s390x := s390x-linux-gnu
TRIPLET_riscv64 := riscv64-linux-gnu
TRIPLET_ppc64el := powerpc64le-linux-gnu
TRIPLET_mips64el := mips64el-linux-gnuabi64
ARCHES := i386 armhf arm64 s390x riscv64 ppc64el mips64el
CROSS := armel $(ARCHES)

.PHONY: test-arches $(addprefix deps-,$(CROSS)) $(addprefix build-,$(CROSS)) $(addprefix test-,$(CROSS))

# The cross compiler, qemu-user, GoogleTest's sources; dpkg-deb inspects packages.
$(addprefix deps-,$(CROSS)): deps-%:
	scripts/ensure-packages g++-$(TRIPLET_$*) binutils-$(TRIPLET_$*) qemu-user googletest dpkg

$(addprefix build-,$(CROSS)): build-%: deps-% deps-host
	cmake --preset $*
	cmake --build --preset $* -j$(JOBS)

$(addprefix test-,$(CROSS)): test-%: build-%
	ctest --preset $* -j$(JOBS)
	@# For information: where this machine's math library and the reference's differ.
	@grep -h 'math libraries differ' $(BUILD)/$*/Testing/Temporary/LastTest.log || true

test-arches: $(addprefix test-,$(ARCHES))

test: test-host test-armel test-mutants

# The fast tests must catch each precision and ordering slip of
# tests/mutants.txt made in a copy of the sources (src/glu.cpp, src/disk.h and
# the compatibility layer's).
.PHONY: test-mutants
test-mutants: deps-host
	tests/mutants.sh $(abspath $(BUILD))/mutants

# Rewrites tests/reference, the reference stream every suite replays, from
# this x86-64 machine's library and math results.  It first replays the old
# reference: cases that both share must send the same bits, so this only
# adds or drops cases.  FORCE=1 skips that check: for a deliberate change of
# output, proved right, whose commit says why the old bits were wrong.
.PHONY: reference
reference: build-host
	@[ "$$(uname -m)" = x86_64 ] || { echo "make reference: record on x86-64" >&2; exit 1; }
	$(if $(FORCE),,$(BUILD)/host/tests/softglu_corpus check $(BUILD)/host/tests/reference)
	rm -rf $(BUILD)/reference && mkdir -p $(BUILD)/reference
	$(BUILD)/host/tests/softglu_corpus record $(BUILD)/reference
	xz -9e -c $(BUILD)/reference/stream.txt > tests/reference/stream.txt.xz.tmp
	cp $(BUILD)/reference/math.txt tests/reference/math.txt.tmp
	mv tests/reference/stream.txt.xz.tmp tests/reference/stream.txt.xz
	mv tests/reference/math.txt.tmp tests/reference/math.txt

# Rewrites tests/abi/libsoftglu.so.1.abi, the ABI baseline the test
# abi_baseline compares with: only for a deliberate change of the ABI, with
# the version changed as docs/releasing.md's policy says.
.PHONY: abi-baseline
abi-baseline: build-host
	tests/check_abi_baseline.sh tests/abi/libsoftglu.so.1.abi include/GL \
	  $(BUILD)/host/tests/abi/libsoftglu.so.1 --update

# Mesa's offscreen renderer and libpng: softglu-render and its tests, which
# the host build includes whenever they are installed.
RENDER_PKGS := libosmesa6-dev libpng-dev

.PHONY: deps-render gallery

deps-render:
	scripts/ensure-packages $(RENDER_PKGS)

build-host: deps-render

gallery: build-host
	$(BUILD)/host/tools/softglu-render -o $(BUILD)/gallery.png
	$(BUILD)/host/examples/legacy/solar $(BUILD)/solar.png
	@echo "wrote $(BUILD)/solar.png" >&2

# Under stress: the suite again with ASan+UBSan and with TSan, a bounded
# fuzz run (clang's libFuzzer), and the benchmark (`make bench`, not part of
# `make test`).  The first sanitizer report fails the run.  The sanitizers'
# options and suppression files are the test presets' environment.
HOST_PKGS += libbenchmark-dev
# clang: the host suite's clang_build and arithmetic_guard tests, and the
# fuzz target.
HOST_PKGS += clang-14
FUZZ_PKGS := clang-14 libclang-rt-14-dev llvm-14
BENCH_PKGS := valgrind python3-mapbox-earcut

.PHONY: test-asan test-tsan build-fuzz test-fuzz fuzz bench

test: test-asan test-tsan test-fuzz

test-asan test-tsan: test-%: deps-host
	cmake --preset $*
	cmake --build --preset $* -j$(JOBS)
	ctest --preset $* -j$(JOBS)

# The fuzz run is the fuzz build's two tests, one after the other: 60
# seconds in all with seed 1 (the preset's), two thirds for the calls
# (fuzz) and a third for the tessellator (fuzz_tess), or `make fuzz
# FUZZ_SECONDS=3600 FUZZ_SEED=0` (seed 0: a new one each run).  New inputs
# go to build/fuzz/corpus and build/fuzz/corpus-tess; fuzz/corpus holds the
# seeds.  A failing input is saved as build/fuzz/crash-* or
# build/fuzz/tess-crash-*.
build-fuzz: deps-host
	scripts/ensure-packages $(FUZZ_PKGS)
	cmake --preset fuzz $(if $(FUZZ_SECONDS),-DSOFTGLU_FUZZ_SECONDS=$(FUZZ_SECONDS)) \
	  $(if $(FUZZ_SEED),-DSOFTGLU_FUZZ_SEED=$(FUZZ_SEED))
	cmake --build --preset fuzz -j$(JOBS)

test-fuzz fuzz: build-fuzz
	ctest --preset fuzz

# The benchmark table (Google Benchmark) and the instruction counts
# (callgrind) that BENCHMARKS.md records.  `make test` only builds them.
bench: build-host
	scripts/ensure-packages $(BENCH_PKGS)
	$(BUILD)/host/bench/softglu_bench --benchmark_enable_random_interleaving=true
	@# The tessellator, then earcut on the same polygons (bench/earcut.py).
	mkdir -p $(BUILD)/tess-bench
	$(BUILD)/host/bench/softglu_tess_bench --shapes=$(BUILD)/tess-bench \
	  --benchmark_out=$(BUILD)/tess-bench/softglu.json --benchmark_out_format=json
	bench/earcut.py $(BUILD)/tess-bench $(BUILD)/tess-bench/softglu.json
	bench/callgrind.sh $(BUILD)/host/bench/softglu_callone

# Debian packages (debian/, built with dpkg-buildpackage by
# scripts/build-packages): amd64 natively, the others cross-built, all in
# build/packages/out, then lintian.  A cross build's dpkg-shlibdeps reads
# the target's libc6, which the script downloads (see its header).
# `make test` checks them (tests/check_debs.sh) and, as root, installs the
# amd64 packages for real and removes them again.
PACKAGE_ARCHES := amd64 armel i386 armhf arm64 ppc64el mips64el riscv64
PACKAGE_CROSS := $(filter-out amd64,$(PACKAGE_ARCHES))
PACKAGE_PKGS := debhelper dpkg-dev fakeroot lintian devscripts gnupg autopkgtest

.PHONY: deps-packages packages test-packages

deps-packages: deps-host deps-render $(addprefix deps-,$(PACKAGE_CROSS))
	scripts/ensure-packages $(PACKAGE_PKGS)

packages: deps-packages
	scripts/build-packages $(BUILD)/packages $(PACKAGE_ARCHES)

# The packaged amd64 and armel libraries replay the reference stream with
# the corpus programs of build/host and build/armel.
test-packages: packages build-host build-armel
	tests/check_debs.sh $(BUILD)/packages/out $(abspath $(BUILD))/packages/check $(CURDIR) \
	  $(abspath $(BUILD))/host $(abspath $(BUILD))/armel

test: test-packages

# The road to the board (docs/porting.md): Debian's armel userland made with
# mmdebstrap (no architecture added to dpkg), the armel packages unpacked
# into it, a legacy example cross-built against it and run under qemu-arm
# with the board's Mesa: its picture and --run listing must be build/host's.
BOARD_PKGS := mmdebstrap

.PHONY: test-board
test-board: packages build-host deps-armel
	scripts/ensure-packages $(BOARD_PKGS)
	tests/check_board.sh $(CURDIR) $(BUILD)/packages/out $(BUILD)/host $(abspath $(BUILD))/board

test: test-board

# debian/tests with autopkgtest's null runner against the amd64 packages
# (installed, then purged: as root, under check_dpkg_install.sh's lock).
.PHONY: test-autopkgtest
test-autopkgtest: packages
	tests/check_autopkgtest.sh $(BUILD)/packages/out $(abspath $(BUILD))/packages/autopkgtest

test: test-autopkgtest

# The release: a signed tag v<version> of HEAD and its git archive tarball.
# `make test` runs it in a scratch clone with a throwaway key.
.PHONY: release test-release
release: deps-packages
	scripts/release $(BUILD)/release

test-release: deps-packages
	tests/check_release.sh $(CURDIR) $(abspath $(BUILD))/release-check

test: test-release
