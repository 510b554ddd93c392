#!/bin/sh
# SPDX-License-Identifier: MIT
# check_arch.sh DEBARCH LIBRARY READELF OBJDUMP: the library is an object the
# Debian architecture DEBARCH runs (ELF class, byte order, machine, the ABI
# flags, and for ARM the floating-point calling convention and the
# processor it needs), and its code holds no fused multiply-add
# instruction, which would round a product and a sum once instead of twice.
# On i386, it does no x87 arithmetic either: SSE2 rounds every operation to
# its own precision.
set -u
arch=$1 lib=$2 readelf=$3 objdump=$4
fail=0
. "$(dirname "$0")/lib.sh"

header=$("$readelf" -h "$lib") || { echo "FAIL: cannot read $lib"; exit 1; }
field() { echo "$header" | sed -n "s/^ *$1: *//p"; }
attrs=$("$readelf" -A "$lib")
attr() { echo "$attrs" | sed -n "s/^ *$1: *//p"; }
code=$("$objdump" -d --no-show-raw-insn "$lib" | awk -F'\t' 'NF >= 2 { split($2, w, " "); print w[1] }')
uses() { echo "$code" | grep -E -x "$1" | sort -u | tr '\n' ' '; }

case $arch in
    amd64) class=ELF64 data=little machine="Advanced Micro Devices X86-64" fma='vfn?m(add|sub)[0-9a-z]*' ;;
    i386) class=ELF32 data=little machine="Intel 80386" fma='vfn?m(add|sub)[0-9a-z]*' ;;
    armel | armhf) class=ELF32 data=little machine=ARM fma='vfn?m[as][.a-z0-9]*' ;;
    arm64) class=ELF64 data=little machine=AArch64 fma='fn?m(add|sub)|fml[as]' ;;
    s390x) class=ELF64 data=big machine="IBM S/390" fma='(ma|ms)[de]br?|wfn?m[as][sd]b|vfn?m[as][a-z]*' ;;
    riscv64) class=ELF64 data=little machine=RISC-V fma='fn?m(add|sub)\.[sdhq]' ;;
    ppc64el) class=ELF64 data=little machine=PowerPC64 fma='(fn?m(add|sub)s?|x[sv]n?m(add|sub)[a-z]*|vmaddfp|vnmsubfp)\.?' ;;
    mips64el) class=ELF64 data=little machine="MIPS R3000" fma='n?m(add|sub)f?\.(s|d|ps)' ;;
    *) echo "FAIL: no checks for architecture '$arch'"; exit 1 ;;
esac
[ "$(field Class)" = "$class" ] || bad "class is '$(field Class)', expected $class"
case "$(field Data)" in *"$data endian"*) ;; *) bad "data is '$(field Data)', expected $data endian" ;; esac
[ "$(field Machine)" = "$machine" ] || bad "machine is '$(field Machine)', expected $machine"
case "$(field Type)" in DYN*) ;; *) bad "type is '$(field Type)'" ;; esac
facts="$class $data-endian $machine"

flags=$(field Flags)
case $arch in
    armel)
        case "$flags" in *"Version5 EABI"*"soft-float ABI"*) ;; *) bad "flags '$flags': not EABI5 soft-float" ;; esac
        [ -z "$(attr Tag_ABI_VFP_args)" ] || bad "floats passed in VFP registers"
        [ -z "$(attr Tag_FP_arch)" ] || bad "uses floating-point hardware: $(attr Tag_FP_arch)"
        cpu=$(attr Tag_CPU_arch)
        case "$cpu" in v4 | v4T | v5T | v5TE | v5TEJ) ;; *) bad "CPU architecture '$cpu' is beyond armel's ARMv5TE" ;; esac
        facts="$facts, EABI5 soft-float, no FPU, $cpu" ;;
    armhf)
        case "$flags" in *"Version5 EABI"*"hard-float ABI"*) ;; *) bad "flags '$flags': not EABI5 hard-float" ;; esac
        [ "$(attr Tag_ABI_VFP_args)" = "VFP registers" ] || bad "floats not passed in VFP registers"
        fp=$(attr Tag_FP_arch)
        [ "$fp" = VFPv3-D16 ] || bad "FPU '$fp', expected armhf's VFPv3-D16"
        facts="$facts, EABI5 hard-float, $fp, $(attr Tag_CPU_arch)" ;;
    riscv64)
        # lp64d: doubles passed in floating-point registers; RVC: the
        # compressed instructions of rv64gc.
        case "$flags" in *"RVC"*"double-float ABI"*) ;; *) bad "flags '$flags': not RVC with the double-float ABI" ;; esac
        facts="$facts, RVC, double-float ABI" ;;
    ppc64el)
        case "$flags" in *abiv2*) ;; *) bad "flags '$flags': not the ELFv2 ABI" ;; esac
        # The suite runs on qemu's POWER9 (its POWER8 cannot run glibc's
        # libm), so the code is held to POWER8 here: no instruction that
        # objdump decodes for POWER9 but not for POWER8.
        tmp=$(mktemp -d) || exit 1
        "$objdump" -d --no-show-raw-insn -M power8 "$lib" |
            awk -F'\t' 'NF >= 2 && $2 ~ /^\.long/ { print $1 }' | LC_ALL=C sort >"$tmp/power8"
        "$objdump" -d --no-show-raw-insn -M power9 "$lib" |
            awk -F'\t' 'NF >= 2 && $2 !~ /^\.long/ { split($2, w, " "); print $1 "\t" w[1] }' | LC_ALL=C sort >"$tmp/power9"
        newer=$(LC_ALL=C join -t "$(printf '\t')" "$tmp/power8" "$tmp/power9" | cut -f2 | sort -u | tr '\n' ' ')
        rm -rf "$tmp"
        [ -z "$newer" ] || bad "instructions beyond POWER8: $newer"
        facts="$facts, ELFv2 ABI, POWER8 instructions only" ;;
    mips64el)
        # n64 (the only ABI of ELF64 MIPS), MIPS64 release 2, legacy NaN
        # encoding: Debian's mips64el.
        case "$flags" in *mips64r2*) ;; *) bad "flags '$flags': not MIPS64r2" ;; esac
        case "$flags" in *nan2008*) bad "flags '$flags': NaN2008, not Debian's legacy NaN" ;; esac
        facts="$facts, MIPS64r2, legacy NaN" ;;
    i386)
        x87=$(uses 'f(add|sub|subr|mul|div|divr|sqrt|prem|sin|cos)p?|fi(add|sub|mul|div)[a-z]*')
        [ -z "$x87" ] || bad "x87 arithmetic: $x87"
        facts="$facts, SSE2 arithmetic, no x87" ;;
esac

fused=$(uses "$fma")
[ -z "$fused" ] || bad "fused multiply-add instructions: $fused"

[ $fail -eq 0 ] && echo "$arch ok: $facts, no fused multiply-add"
exit $fail
