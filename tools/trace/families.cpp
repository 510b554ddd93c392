// SPDX-License-Identifier: MIT
#include "families.h"

#include "args.h"
#include "family.h"

#include <gnu/libc-version.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace families {
namespace {

struct Architecture {
    const char *name;
    int family;  // SOFTGLU_FAMILY_UNKNOWN for amd64: it depends on the CPU
};

// Debian 12's architectures (cmake/architectures.txt, held to it by a test)
// and the family each one's glibc 2.36 belongs to, measured under qemu-user.
const Architecture kArchitectures[] = {
    {"amd64", SOFTGLU_FAMILY_UNKNOWN},   {"arm64", SOFTGLU_FAMILY_FUSED},
    {"armel", SOFTGLU_FAMILY_UNFUSED},   {"armhf", SOFTGLU_FAMILY_UNFUSED},
    {"i386", SOFTGLU_FAMILY_UNFUSED},    {"mips64el", SOFTGLU_FAMILY_UNFUSED},
    {"ppc64el", SOFTGLU_FAMILY_FUSED},   {"riscv64", SOFTGLU_FAMILY_FUSED},
    {"s390x", SOFTGLU_FAMILY_FUSED},
};

// What turns glibc's FMA code off on amd64: its variants of sin, cos and
// tan are picked at load time, the fused one only where the CPU has both.
const char kHwcaps[] = "glibc.cpu.hwcaps";
const char kUnfusedCaps[] = "-AVX2,-FMA";

std::string members(int family) {
    std::string out;
    for (const Architecture &a : kArchitectures)
        if (a.family == family)
            out += (out.empty() ? "" : ", ") + std::string(a.name);
    return out;
}

using args::BadUsage;

#if defined(__x86_64__)
// GLIBC_TUNABLES with -AVX2,-FMA added to its glibc.cpu.hwcaps, or that
// tunable added, everything else kept.
std::string withUnfusedCaps(const char *tunables) {
    const std::string old = tunables ? tunables : "";
    std::string out;
    bool found = false;
    std::size_t start = 0;
    while (start <= old.size() && !old.empty()) {
        std::size_t colon = old.find(':', start);
        if (colon == std::string::npos)
            colon = old.size();
        std::string item = old.substr(start, colon - start);
        if (item.rfind(std::string(kHwcaps) + "=", 0) == 0) {
            item += (item.size() > sizeof kHwcaps ? "," : "") + std::string(kUnfusedCaps);
            found = true;
        }
        out += (out.empty() ? "" : ":") + item;
        start = colon + 1;
    }
    if (!found)
        out += (out.empty() ? "" : ":") + std::string(kHwcaps) + "=" + kUnfusedCaps;
    return out;
}

// Whether GLIBC_TUNABLES already turns off AVX2 and FMA.
bool capsOff() {
    const char *t = std::getenv("GLIBC_TUNABLES");
    return t && std::strstr(t, "-AVX2") && std::strstr(t, "-FMA");
}

[[noreturn]] void reexecUnfused(char **argv) {
    const std::string tunables = withUnfusedCaps(std::getenv("GLIBC_TUNABLES"));
    if (setenv("GLIBC_TUNABLES", tunables.c_str(), 1) != 0)
        throw std::bad_alloc();
    execv("/proc/self/exe", argv);
    std::fprintf(stderr, "softglu-trace: cannot run itself again with GLIBC_TUNABLES=%s: %s\n", tunables.c_str(),
                 std::strerror(errno));
    std::exit(1);
}
#endif

std::string unknownReason() {
    return std::string("this machine's glibc ") + gnu_get_libc_version() +
           " matches neither family measured for glibc 2.36; measure it again (docs/bit-exact.md)";
}

}  // namespace

const char *thisArchitecture() {
#if defined(__x86_64__)
    return "amd64";
#elif defined(__i386__)
    return "i386";
#elif defined(__aarch64__)
    return "arm64";
#elif defined(__arm__) && defined(__ARM_PCS_VFP)
    return "armhf";
#elif defined(__arm__)
    return "armel";
#elif defined(__s390x__)
    return "s390x";
#elif defined(__powerpc64__) && defined(__LITTLE_ENDIAN__)
    return "ppc64el";
#elif defined(__mips64) && defined(__MIPSEL__)
    return "mips64el";
#elif defined(__riscv) && __riscv_xlen == 64
    return "riscv64";
#else
    return "unknown";
#endif
}

const char *name(int family) {
    return family == SOFTGLU_FAMILY_FUSED ? "fused" : family == SOFTGLU_FAMILY_UNFUSED ? "unfused" : "unknown";
}

int ofArchitecture(const std::string &arch) {
    for (const Architecture &a : kArchitectures) {
        if (arch != a.name)
            continue;
        if (a.family == SOFTGLU_FAMILY_UNKNOWN)
            throw BadUsage{"--like amd64: amd64's family depends on its CPU (fused with FMA and AVX2, unfused "
                           "without): say --libm=fused or --libm=unfused"};
        return a.family;
    }
    std::string names;
    for (const Architecture &a : kArchitectures)
        names += (names.empty() ? "" : ", ") + std::string(a.name);
    throw BadUsage{"--like: unknown architecture " + args::quoted(arch) + " (" + names + ")"};
}

int choose(const std::string &wanted, char **argv) {
    const int measured = softglu_family();
    if (wanted == "native")
        return measured;
    const int family = wanted == "fused" ? SOFTGLU_FAMILY_FUSED : SOFTGLU_FAMILY_UNFUSED;
    if (family == measured)
        return measured;
    const std::string here = thisArchitecture();
    if (measured == SOFTGLU_FAMILY_UNKNOWN)
        throw BadUsage{"--libm=" + wanted + ": " + unknownReason()};
#if defined(__x86_64__)
    if (family == SOFTGLU_FAMILY_UNFUSED) {
        if (capsOff())
            throw BadUsage{"--libm=unfused: GLIBC_TUNABLES=" + std::string(std::getenv("GLIBC_TUNABLES")) +
                           " is set, yet glibc's sin, cos and tan are still fused here (a glibc that ignores "
                           "the tunable?)"};
        reexecUnfused(argv);
    }
    __builtin_cpu_init();
    if (__builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2"))
        throw BadUsage{"--libm=fused: GLIBC_TUNABLES turns off the CPU's FMA or AVX2, and with them glibc's "
                       "fused sin, cos and tan; unset it"};
    throw BadUsage{"--libm=fused: this CPU has no FMA or no AVX2, which glibc's fused sin, cos and tan need; "
                   "the fused family is that of " + members(SOFTGLU_FAMILY_FUSED) +
                   " and of amd64 CPUs with both"};
#else
    (void)argv;
    throw BadUsage{"--libm=" + wanted + ": " + here + "'s math library is " + name(measured) +
                   "; only amd64 can run in either family"};
#endif
}

std::string describe(int family) {
    if (family == SOFTGLU_FAMILY_FUSED)
        return "fused (the sin, cos and tan of amd64 with FMA and AVX2, " + members(family) + ")";
    if (family == SOFTGLU_FAMILY_UNFUSED)
        return "unfused (the sin, cos and tan of " + members(family) + ", and amd64 without FMA or AVX2)";
    return "unknown (" + unknownReason() + ")";
}

}  // namespace families
