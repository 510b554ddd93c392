#!/bin/sh
# SPDX-License-Identifier: MIT
# check_man.sh SOURCE MANBUILD [TOOL...]: the man pages in SOURCE/man.
#   - Every function GL/glu.h and GL/glu_compat.h declare has a section-3
#     page: its own, or a link made in MANBUILD (the build's man/) to a page
#     whose NAME line lists it.
#   - Every section-3 page has a RETURN VALUE and an EXAMPLES section, and
#     softglu(7)'s SEE ALSO names every call.
#   - Every page passes groff's and mandoc's checks and renders at 80
#     columns without a warning.
#   - Each TOOL given has a section-1 page naming every option its --help
#     lists, and its --help names every option the page gives an entry.
set -u
src=$1 manbuild=$2
shift 2
fail=0
. "$(dirname "$0")/lib.sh"
man=$src/man

# The NAME line of a page: the text between .SH NAME and the next .SH.
names() { sed -n '/^\.SH NAME/,/^\.SH/p' "$1" | sed '1d;$d' | tr -d '\\' | tr '\n' ' '; }

calls=$(cat "$src/include/GL/glu.h" "$src/include/GL/glu_compat.h" |
    sed -n 's/^[A-Za-z].*[ *]\(glu[A-Za-z0-9]*\|drawTorus\)(.*/\1/p' | sort -u)
[ "$(echo "$calls" | wc -l)" -ge 16 ] || bad "found only these calls in the headers: $calls"
for call in $calls; do
    if [ -f "$man/$call.3" ]; then
        case " $(names "$man/$call.3") " in *" $call"[,\ ]*) ;; *) bad "$call.3 does not name $call" ;; esac
    elif [ -L "$manbuild/$call.3" ]; then
        page=$(readlink "$manbuild/$call.3")
        [ -f "$man/$page" ] || bad "$call.3 links to $page, which is not a page"
        case " $(names "$man/$page") " in *" $call"[,\ ]*) ;; *) bad "$call.3 links to $page, which does not name $call" ;; esac
    else
        bad "$call has no man page"
    fi
done

seealso=$(sed -n '/^\.SH SEE ALSO/,/^\.SH/p' "$man/softglu.7" | sed -n 's/^\.BR \([A-Za-z0-9\\-]*\) ([0-9]).*/\1/p' | tr -d '\\')
for call in $calls; do
    case " $(echo $seealso) " in *" $call "*) ;; *) bad "softglu.7's SEE ALSO does not name $call" ;; esac
done
for page in "$man"/*.3; do
    for section in "RETURN VALUE" EXAMPLES; do
        grep -qx "\.SH $section" "$page" || bad "$(basename "$page") has no $section section"
    done
done

pages=0
for page in "$man"/*.[1-8]; do
    pages=$((pages + 1))
    out=$(groff -man -ww -z "$page" 2>&1) && [ -z "$out" ] || bad "groff: $out"
    out=$(mandoc -Tlint -W warning "$page" 2>&1) || bad "mandoc: $out"
    out=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) && [ -z "$out" ] || bad "man $page: $out"
done

for tool in "$@"; do
    name=$(basename "$tool")
    page=$man/$name.1
    [ -f "$page" ] || { bad "$name has no section-1 page"; continue; }
    text=$(sed 's/\\-/-/g' "$page")
    help=$("$tool" --help) || bad "$name --help failed"
    for option in $(echo "$help" | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        case "$text" in *"$option"*) ;; *) bad "$name.1 does not mention $option, which --help lists" ;; esac
    done
    # And back: each option the page gives an entry (the line after .TP).
    for option in $(echo "$text" | awk 'tagged { print } { tagged = $0 == ".TP" }' | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        case "$help" in *"$option"*) ;; *) bad "$name --help does not mention $option, which $name.1 documents" ;; esac
    done
done

[ $fail -eq 0 ] && echo "man pages ok: $(echo "$calls" | wc -l) calls, $pages pages, $# tools"
exit $fail
