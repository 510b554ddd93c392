#!/bin/sh
# SPDX-License-Identifier: MIT
# check_release.sh SOURCE WORK: `make release` in WORK/clone, a clone of
# SOURCE's HEAD with the working tree's changes to tracked files committed,
# whose debian/upstream/signing-key.asc is replaced by a throwaway key
# (WORK/gnupg) that signs the tag:
#   - a dirty tree is refused, a clean one tagged v<version>, signed;
#   - the tarball holds exactly the tag's files but debian/ under
#     softglu-<version>/,
#     and a second run gives the same bytes;
#   - a tag signed by a key outside signing-key.asc is refused;
#   - uscan, with debian/watch pointed at the clone, finds v<version>,
#     checks its signature and makes the tarball of the same files.
set -u
src=$1 work=$2
fail=0
. "$(dirname "$0")/lib.sh"
rm -rf "$work" && mkdir -p "$work" || exit 1
work=$(cd "$work" && pwd)
clone=$work/clone

git clone -q "$src" "$clone" || exit 1
(cd "$src" && git diff HEAD --binary) | (cd "$clone" && git apply --allow-empty) || exit 1
export GNUPGHOME="$work/gnupg" GIT_AUTHOR_NAME=release-check GIT_AUTHOR_EMAIL=release-check@localhost \
    GIT_COMMITTER_NAME=release-check GIT_COMMITTER_EMAIL=release-check@localhost
mkdir -m 700 "$GNUPGHOME" || exit 1
key() { gpg --batch --quiet --passphrase '' --quick-gen-key "$1 <release-check@localhost>" ed25519 sign never 2>/dev/null &&
        gpg --batch --with-colons --list-keys "$1" 2>/dev/null | awk -F: '$1 == "fpr" { print $10; exit }'; }
good=$(key good) && other=$(key other) && [ -n "$good" ] && [ -n "$other" ] || { echo "FAIL: gpg makes no key"; exit 1; }
gpg --batch --armor --export "$good" >"$clone/debian/upstream/signing-key.asc" || exit 1
version=$(sed -n 's/^project(softglu VERSION \([0-9][0-9.]*\) .*/\1/p' "$clone/CMakeLists.txt")

touch "$clone/dirt"
(cd "$clone" && git add -A) || exit 1
SOFTGLU_RELEASE_KEY=$good "$clone/scripts/release" "$work/out" >"$work/dirty.log" 2>&1 &&
    bad "release accepted a tree with uncommitted changes"
grep -q "not clean" "$work/dirty.log" || { cat "$work/dirty.log"; bad "release did not say the tree is dirty"; }
(cd "$clone" && git rm -q --cached dirt && rm dirt && git commit -qam "release check") || exit 1

# A tag signed by another key is refused.
(cd "$clone" && git tag -s -u "$other" -m other "v$version") >/dev/null 2>&1 || exit 1
"$clone/scripts/release" "$work/out" >"$work/other.log" 2>&1 && bad "release accepted a tag signed by a key outside signing-key.asc"
(cd "$clone" && git tag -d "v$version") >/dev/null || exit 1

if tarball=$(SOFTGLU_RELEASE_KEY=$good "$clone/scripts/release" "$work/out" 2>"$work/release.log"); then
    [ "$tarball" = "$work/out/softglu-$version.tar.gz" ] || bad "release printed '$tarball'"
    (cd "$clone" && git cat-file tag "v$version") | grep -q 'BEGIN PGP SIGNATURE' || bad "v$version is not a signed tag"
    [ "$(cd "$clone" && git rev-parse "v$version^{commit}")" = "$(cd "$clone" && git rev-parse HEAD)" ] ||
        bad "v$version is not HEAD"
    (cd "$clone" && git ls-tree -r --name-only "v$version" | grep -v '^debian/' | sed "s|^|softglu-$version/|" | sort) >"$work/want"
    tar -tzf "$tarball" | grep -v '/$' | sort >"$work/got"
    cmp -s "$work/want" "$work/got" || bad "the tarball's files are not the tag's: $(diff "$work/want" "$work/got" | head)"
    cp "$tarball" "$work/first.tar.gz"
    SOFTGLU_RELEASE_KEY=$good "$clone/scripts/release" "$work/out" >/dev/null 2>&1 || bad "release refuses to run again"
    cmp -s "$tarball" "$work/first.tar.gz" || bad "a second release of the same tag gives other bytes"
else
    cat "$work/release.log"
    bad "release failed"
fi

# uscan, as a Debian maintainer runs it, against the clone.
if command -v uscan >/dev/null; then
    sed "s|file:///work/main|file://$clone|" "$clone/debian/watch" >"$work/watch"
    grep -q "file://$clone" "$work/watch" || bad "debian/watch does not name file:///work/main"
    mkdir -p "$work/uscan"
    if (cd "$clone" && uscan --watchfile "$work/watch" --destdir "$work/uscan" --download-current-version \
            --verbose) >"$work/uscan.log" 2>&1; then
        grep -q "v$version" "$work/uscan.log" || bad "uscan did not find v$version"
        up=$(ls "$work/uscan"/softglu_"$version".orig.tar.* 2>/dev/null | head -n 1)
        if [ -n "$up" ]; then
            tar -tf "$up" | grep -v '/$' | sed 's|^[^/]*/|softglu-'"$version"'/|' | sort >"$work/uscan.files"
            cmp -s "$work/want" "$work/uscan.files" || bad "uscan's tarball holds other files than the tag"
        else
            bad "uscan made no softglu_$version.orig.tar.*"
        fi
    else
        cat "$work/uscan.log"
        bad "uscan fails on debian/watch"
    fi
else
    echo "skipped: uscan (devscripts) is not installed"
fi

gpgconf --kill all 2>/dev/null || true
[ $fail -eq 0 ] && echo "release ok: v$version signed and verified, its tarball reproducible, uscan agrees"
exit $fail
