# SPDX-License-Identifier: MIT
# What the checks of builds, installs, packages and docs share; each
# sources it first, with `. "$(dirname "$0")/lib.sh"`, and sets fail=0
# itself.

# A failed check: said on standard output, and the script exits 1 at its end.
bad() { echo "FAIL: $*"; fail=1; }

# The installed packages, their versions and states, sorted: compared
# before and after a check that installs and purges packages.
state() { dpkg-query -W -f='${binary:Package} ${Version} ${db:Status-Abbrev}\n' | sort; }

# What an ELF object records and defines, each sorted on one line: its
# NEEDED entries (with $readelf) and the names it exports, without their
# versions (with $nm).
needed() { "$readelf" -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' '; }
exported() { "$nm" -D --defined-only "$1" | awk '$2 ~ /^[TWDBRV]$/ {print $3}' | sed 's/@.*//' | sort | tr '\n' ' '; }

# The C++ runtime and unwinding symbols an object refers to (with $nm):
# softglu's libraries refer to none.
cxx_runtime() { "$nm" -D "$1" | grep -E '__cxa_(throw|allocate|begin_catch)|__gxx_personality|_Unwind_|_ZTI|_Znw'; }

# bad unless OBJECT (named LABEL) records libc.so.6 and at most libm.so.6.
libc_only() {
    case "$(needed "$1")" in
        "libc.so.6 "|"libc.so.6 libm.so.6 ") ;;
        *) bad "$2's NEEDED is '$(needed "$1")', expected libc.so.6 and at most libm.so.6" ;;
    esac
}

# bad unless PROGRAM (named LABEL), built in the porting environment,
# records libsoftglu.so.1 and no other GL utility library.
softglu_not_glu() {
    case " $(needed "$1")" in *" libsoftglu.so.1 "*) ;; *) bad "$2 does not need libsoftglu.so.1: $(needed "$1")" ;; esac
    case "$(needed "$1")" in *libGLU*) bad "$2 needs another GLU: $(needed "$1")" ;; esac
}
