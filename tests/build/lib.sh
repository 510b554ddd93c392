# SPDX-License-Identifier: MIT
# What the checks of builds, installs, packages and docs share; each
# sources it first, with `. "$(dirname "$0")/lib.sh"`, and sets fail=0
# itself.

# A failed check: said on standard output, and the script exits 1 at its end.
bad() { echo "FAIL: $*"; fail=1; }

# The installed packages, their versions and states, sorted: compared
# before and after a check that installs and purges packages.
state() { dpkg-query -W -f='${binary:Package} ${Version} ${db:Status-Abbrev}\n' | sort; }
