#!/bin/sh
# check_armel.sh LIBRARY READELF: the library is what Debian armel runs: a
# 32-bit little-endian ARM EABI5 shared object with the soft-float calling
# convention (no VFP argument passing), using no floating-point hardware, for
# an ARMv5TE or older core.
set -u
lib=$1 readelf=$2
fail=0
bad() { echo "FAIL: $*"; fail=1; }

header=$("$readelf" -h "$lib") || { echo "FAIL: cannot read $lib"; exit 1; }
field() { echo "$header" | sed -n "s/^ *$1: *//p"; }
[ "$(field Class)" = "ELF32" ] || bad "class is '$(field Class)'"
case "$(field Data)" in *"little endian"*) ;; *) bad "data is '$(field Data)'" ;; esac
case "$(field Type)" in DYN*) ;; *) bad "type is '$(field Type)'" ;; esac
[ "$(field Machine)" = "ARM" ] || bad "machine is '$(field Machine)'"
flags=$(field Flags)
case "$flags" in *"Version5 EABI"*) ;; *) bad "flags '$flags' do not say Version5 EABI" ;; esac
case "$flags" in *"soft-float ABI"*) ;; *) bad "flags '$flags' do not say soft-float ABI" ;; esac

attrs=$("$readelf" -A "$lib")
echo "$attrs" | grep -q 'Tag_ABI_VFP_args' && bad "VFP argument passing: $(echo "$attrs" | grep Tag_ABI_VFP_args)"
echo "$attrs" | grep -q 'Tag_FP_arch' && bad "uses floating-point hardware: $(echo "$attrs" | grep Tag_FP_arch)"
arch=$(echo "$attrs" | sed -n 's/^ *Tag_CPU_arch: *//p')
case "$arch" in v4|v4T|v5T|v5TE|v5TEJ) ;; *) bad "CPU architecture '$arch' is beyond armel's ARMv5TE" ;; esac

[ $fail -eq 0 ] && echo "armel ok: $(field Class) $(field Machine), $flags, CPU $arch"
exit $fail
