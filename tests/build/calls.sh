#!/bin/sh
# SPDX-License-Identifier: MIT
# calls.sh LIST...: the names of the calls in the named lists of
# src/trace/calls.h (LIBRARY, LIBRARY_GL, COMPAT, COMPAT_GL), sorted, one a
# line: what the export checks compare a library's symbols with.
set -u
table=$(dirname "$0")/../../src/trace/calls.h
[ -r "$table" ] || { echo "calls.sh: cannot read $table" >&2; exit 2; }
[ $# -ge 1 ] || { echo "usage: calls.sh LIST..." >&2; exit 2; }
for list in "$@"; do
    case $list in
        LIBRARY | LIBRARY_GL | COMPAT | COMPAT_GL) ;;
        *) echo "calls.sh: no list '$list' in calls.h" >&2; exit 2 ;;
    esac
    # The lines of the list's #define, up to its last continued line.
    awk -v start="#define SOFTGLU_${list}_CALLS(X)" '
        index($0, start) == 1 { on = 1 }
        on { if (match($0, /X\(0x[0-9a-f]+, [A-Za-z0-9_]+,/)) { s = substr($0, RSTART, RLENGTH); sub(/^X\(0x[0-9a-f]+, /, "", s); sub(/,$/, "", s); print s }
             if ($0 !~ /\\$/) on = 0 }' "$table"
done | sort
