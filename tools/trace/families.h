// SPDX-License-Identifier: MIT
// softglu-trace's --libm and --like: which family of sin, cos and tan the
// call (or the traced program) runs with, chosen and checked (family.h
// measures it).
#ifndef SOFTGLU_TRACE_FAMILIES_H
#define SOFTGLU_TRACE_FAMILIES_H

#include <string>

namespace families {

// Debian's name for the architecture this program was built for.
const char *thisArchitecture();

// The family of SOFTGLU_FAMILY_* by name: "fused", "unfused" or "unknown".
const char *name(int family);

// The family architecture `arch` belongs to (--like); throws
// args::BadUsage for a name it does not know, and for amd64, whose family
// depends on its CPU.
int ofArchitecture(const std::string &arch);

// Makes `wanted` ("native", "fused" or "unfused") the family in force and
// returns it, as measured.  On amd64, "unfused" in a process whose math is
// fused re-executes the program (argv) with glibc.cpu.hwcaps=-AVX2,-FMA
// added to GLIBC_TUNABLES, which keeps any tunables already set, and does
// not return.  A family this machine cannot provide is refused
// (args::BadUsage), saying why.
int choose(const std::string &wanted, char **argv);

// "fused, as on arm64, ...": for --version and --summary.
std::string describe(int family);

}  // namespace families

#endif
