#!/bin/sh
# SPDX-License-Identifier: MIT
# fetch-earcut.sh DIR: puts mapbox's earcut.hpp, from Debian's source
# package python-mapbox-earcut, at DIR/include/mapbox/earcut.hpp for the
# real-shapes benchmark (bench/realshapes.cpp) to time beside softglu.
# The header is fetched, never committed.  apt reads a private deb-src list
# and keeps its indexes in DIR/apt, so the system's apt setup is neither
# needed nor touched; apt checks the downloaded files against the signed
# index, and dpkg-source (dpkg-dev) unpacks them.  When the header cannot
# be had, it says why and exits 1: the benchmark then runs without earcut.
set -u
say() { echo "fetch-earcut: $*" >&2; }
[ $# -eq 1 ] && [ -n "$1" ] || { say "usage: fetch-earcut.sh DIR"; exit 2; }
dir=$1
header=$dir/include/mapbox/earcut.hpp
[ -f "$header" ] && exit 0
command -v apt-get >/dev/null && command -v dpkg-source >/dev/null ||
    { say "apt-get or dpkg-source (dpkg-dev) is missing"; exit 1; }
apt=$dir/apt
mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" "$apt/src" "$dir/include/mapbox" ||
    { say "cannot create $dir"; exit 1; }
# The suite the machine runs (bookworm when /etc/os-release names none).
suite=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian ${suite:-bookworm} main" \
    >"$apt/sources.list" || { say "cannot write $apt/sources.list"; exit 1; }
set -- -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/parts" \
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o Acquire::Retries=3 -o APT::Sandbox::User=root
apt-get "$@" -qq update >&2 || { say "apt-get update of the deb-src list failed"; exit 1; }
rm -rf "$apt/src" && mkdir "$apt/src" || exit 1
(cd "$apt/src" && apt-get "$@" -qq source --download-only python-mapbox-earcut >&2) ||
    { say "apt-get source python-mapbox-earcut failed (no source package, or its orig tarball is not served)"; exit 1; }
(cd "$apt/src" && dpkg-source -x ./*.dsc unpacked >&2) || { say "dpkg-source could not unpack python-mapbox-earcut"; exit 1; }
found=$apt/src/unpacked/include/mapbox/earcut.hpp
[ -f "$found" ] || { say "python-mapbox-earcut carries no include/mapbox/earcut.hpp"; exit 1; }
cp "$found" "$header.tmp" && mv "$header.tmp" "$header" || { rm -f "$header.tmp"; say "cannot write $header"; exit 1; }
say "earcut.hpp from $(basename "$apt"/src/*.dsc .dsc)"
