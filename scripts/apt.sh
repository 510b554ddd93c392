# SPDX-License-Identifier: MIT
# shellcheck shell=sh
# apt.sh, sourced by scripts/ensure-packages and scripts/build-packages:
# apt-get as softglu's scripts run it, on a mirror that may be partly
# broken.  Everything apt says goes to standard error.
#
# A Debian mirror often has one suite or one architecture in the middle of
# a sync ("File has unexpected size ... Mirror sync in progress?") while
# the rest, and the packages a build needs, download fine.  So an index
# update that fails is a warning, not the end: apt keeps the indexes that
# did download (and the old ones of the others), and the install or the
# download that follows decides.  Each file apt fetches is retried a few
# times (Acquire::Retries) before it counts as failed; a package that still
# cannot be had is named, with apt's own error lines, and the caller fails.
# Another apt-get (a parallel build) may hold the lock: it is waited for.

apt_retries=3
apt_options="-o DPkg::Lock::Timeout=600 -o Acquire::Retries=$apt_retries"

# apt_update: refreshes the package indexes (as root); a failure is reported
# as a warning and does not stop the caller.
apt_update() {
    apt_run "warning: apt-get update failed" -qq update ||
        echo "${0##*/}: going on with the indexes that did download: the packages' own download decides" >&2
}

# apt_install PKG...: installs the packages (as root).
apt_install() {
    apt_run "cannot install $*" install -y -qq --no-install-recommends "$@"
}

# apt_download PKG: downloads the package's .deb into the current directory.
apt_download() {
    apt_run "cannot download $1" download -qq "$1"
}

# apt_run FAILURE ARG...: apt-get ARG...; when it fails, FAILURE and apt's
# own error lines on standard error, and apt-get's exit status.
apt_run() {
    _failure=$1
    shift
    _errors=$(mktemp) || return 1
    _status=0
    # shellcheck disable=SC2086
    apt-get $apt_options "$@" 2>"$_errors" >&2 || _status=$?
    [ $_status -eq 0 ] || echo "${0##*/}: $_failure (apt-get exit status $_status):" >&2
    cat "$_errors" >&2
    rm -f "$_errors"
    return $_status
}
