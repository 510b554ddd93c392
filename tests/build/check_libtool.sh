#!/bin/sh
# SPDX-License-Identifier: MIT
# check_libtool.sh SOURCE BUILD WORK CMAKE READELF
# The porting wrappers change only links.  BUILD is installed into the
# private prefix WORK/prefix, and with its porting.sh sourced:
#   - every query and every command that does not link (the table below)
#     answers through the wrapped cc, gcc, c++, g++, clang and clang++
#     exactly as through the real compiler: the same output, exit status and
#     files written; and -### shows what the wrapper adds: nothing to a
#     query, the include directory where it compiles, the link directory and
#     run path where it links;
#   - tests/build/libtool, an autotools + libtool C++ project (a library
#     that tessellates, a program that links it), is generated with
#     autoreconf, configured and built: libtool's configure sets up C++
#     (its g++ -v is a query), the library and the program record
#     libsoftglu.so.1 and no libGLU, and the program runs.
set -u
src=$1 build=$2 work=$3 cmake=$4 readelf=$5
fail=0
. "$(dirname "$0")/lib.sh"
rm -rf "$work" && mkdir -p "$work" || exit 1
prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

# The real compilers, found before the wrappers come first on PATH.
names=""
for name in cc gcc c++ g++ clang clang++; do
    real=$(command -v "$name") && names="$names $name:$real"
done
. "$prefix/share/softglu/porting.sh" || exit 1
porting=$SOFTGLU_PORTING_DIR libdir=${SOFTGLU_PORTING_DIR%/softglu/porting}

# What the wrapper adds to each command: "none" must also answer exactly as
# the real compiler, and so must "compile", whose -I changes nothing here.
cat >"$work/commands" <<'END'
none      -v
none      --version
none      -dumpversion
none      -dumpfullversion
none      -dumpmachine
none      -dumpspecs
none      -print-search-dirs
none      -print-multiarch
none      -print-libgcc-file-name
none      -print-file-name=libc.so
none      -print-prog-name=ld
none      --help
none      --target-help
none      -###
none      --version q.c
none      -x c++ -o q
compile   -E q.c
compile   -M q.c
compile   -MM q.c
compile   -S -o - q.c
compile   -c q.c
compile   -MD -c -o q.o q.c
compile   -fsyntax-only q.c
link      -o q q.c
link      -MD -o q q.c
link      q.c -lm
END
set -f
for pair in $names; do
    name=${pair%%:*} real=${pair#*:}
    [ "$(command -v "$name")" = "$porting/bin/$name" ] || bad "$name on PATH is not the wrapper"
    while read -r adds args; do
        # shellcheck disable=SC2086
        set -- $args
        for side in real wrapped shown; do
            mkdir -p "$work/q/$side" && printf '#include <stdio.h>\nint main(void) { return puts("q") < 0; }\n' \
                >"$work/q/$side/q.c" || exit 1
        done
        if [ "$adds" != link ]; then
            (cd "$work/q/real" && "$real" "$@" >out 2>&1; echo "exit $?" >>out)
            (cd "$work/q/wrapped" && "$name" "$@" >out 2>&1; echo "exit $?" >>out)
            diff -r "$work/q/real" "$work/q/wrapped" >"$work/q.diff" ||
                { head -20 "$work/q.diff"; bad "$name $args answers otherwise than $real"; }
        fi
        shown=$(cd "$work/q/shown" && env -u CPATH -u LIBRARY_PATH "$name" -### "$@" 2>&1)
        case $shown in *"$porting/include"*) include=yes ;; *) include=no ;; esac
        case $shown in *-L"$porting/link"*) link=yes ;; *) link=no ;; esac
        case $shown in *rpath*"$libdir"[\"\'\ ]*) link=$link+rpath ;; esac
        case $adds:$include:$link in
            none:no:no | compile:yes:no | link:yes:yes+rpath) ;;
            *) bad "$name $args: the wrapper added include $include, link directory and run path $link" ;;
        esac
        rm -rf "$work/q"
    done <"$work/commands"
done
set +f

# The autotools + libtool C++ project, generated here, built out of tree.
cp -R "$src/tests/build/libtool" "$work/project" && mkdir -p "$work/project/m4" "$work/build" || exit 1
(cd "$work/project" && autoreconf -fi) >"$work/autoreconf.log" 2>&1 ||
    { cat "$work/autoreconf.log"; echo "FAIL: autoreconf (Debian's autoconf, automake and libtool)"; exit 1; }
if (cd "$work/build" && unset CC CXX && ../project/configure && make) >"$work/build.log" 2>&1; then
    grep -q "whether the g++ linker .* supports shared libraries... yes" "$work/build.log" ||
        bad "libtool's configure found no shared C++ libraries"
    sed -n '/^# ### BEGIN LIBTOOL TAG CONFIG: CXX$/,/^# ### END/p' "$work/build/libtool" | grep -q '^archive_cmds=".' ||
        bad "the libtool script has no C++ configuration"
    # The library's calls are all in the compatibility layer's archive; the
    # program's gluPerspective is libsoftglu.so.1's.
    softglu_not_glu "$work/build/tessarea" tessarea
    case "$(needed "$work/build/.libs/libtessarea.so")" in
        *libGLU*) bad "libtessarea.so needs another GLU: $(needed "$work/build/.libs/libtessarea.so")" ;;
    esac
    out=$("$work/build/tessarea") || bad "tessarea failed: $out"
    case $out in
        "8 triangles, area 8, GLU 1.3 softglu "*) ;;
        *) bad "tessarea says '$out', not softglu's 8 triangles of area 8" ;;
    esac
else
    tail -30 "$work/build.log"
    bad "the libtool C++ project does not configure and build under porting.sh"
fi

[ $fail -eq 0 ] && echo "libtool ok: queries answered as by the compilers, a libtool C++ project built on softglu"
exit $fail
