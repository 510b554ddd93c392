#!/bin/sh
# SPDX-License-Identifier: MIT
# check_version.sh SOURCE VERSION LIBRARY [TOOL...]: the project's version
# (CMake's project version) is the one everywhere else: the library's file
# name and soname, GL/glu.h's SOFTGLU_VERSION_MAJOR, _MINOR and _PATCH (as
# the preprocessor reads them), the upstream part of debian/changelog's
# version (and so the packages'), CHANGELOG.md and the first line of each
# TOOL's --version (softglu-trace's second names its math family).
# softglu.pc's and the CMake package's versions are checked by
# check_consumer.sh.
set -u
src=$1 version=$2 lib=$3
shift 3
fail=0
. "$(dirname "$0")/lib.sh"

case $(basename "$lib") in
    "libsoftglu.so.$version") ;;
    *) bad "the library is $(basename "$lib"), expected libsoftglu.so.$version" ;;
esac
soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = "libsoftglu.so.${version%%.*}" ] || bad "SONAME is '$soname' for version $version"

# The macros, one per line, as a compiler sees them.
header=$(printf '#include <GL/glu.h>\nSOFTGLU_VERSION_MAJOR\nSOFTGLU_VERSION_MINOR\nSOFTGLU_VERSION_PATCH\n' |
    ${CC:-cc} -E -P -I"$src/include" - 2>&1 | tail -n 3 | tr -d ' ' | tr '\n' . | sed 's/\.$//')
[ "$header" = "$version" ] || bad "GL/glu.h's SOFTGLU_VERSION_MAJOR.MINOR.PATCH is '$header', the project's $version"

deb=$(sed -n '1s/^softglu (\([^)]*\)).*/\1/p' "$src/debian/changelog")
[ "${deb%-*}" = "$version" ] && [ "${deb%-*}" != "$deb" ] ||
    bad "debian/changelog's latest version is '$deb', expected the project's $version and a Debian revision"
grep -q "^## $version\b" "$src/CHANGELOG.md" || bad "CHANGELOG.md has no section for $version"

for tool in "$@"; do
    got=$("$tool" --version | sed -n 1p)
    [ "$got" = "$(basename "$tool") $version" ] || bad "$tool --version says '$got'"
done

[ $fail -eq 0 ] && echo "version ok: $version everywhere, $# tools"
exit $fail
