// SPDX-License-Identifier: MIT
// The cross-family listing test, in each cross build's suite: this
// architecture's softglu-trace, run under its emulator on the CPU model
// the toolchain file names, lists a broad set of calls exactly as this
// machine's softglu-trace (the host build's) lists them in this
// architecture's math family, --like ARCH.  Nothing is replayed: each side
// runs its own math library, so this proves which family the architecture
// is in, and that one environment variable makes a workstation send the
// board's bits.  The set holds calls whose listings differ between the
// two families, found by scanning fields of view (bench/family-scan/family-scan.sh),
// and the test checks that they do.
#include "run_tool.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <sys/stat.h>

namespace {

const std::string kHostTrace = SOFTGLU_HOST_TRACE;
const std::string kArch = SOFTGLU_DEB_ARCH;
const std::string kTool = SOFTGLU_TRACE_COMMAND;

// Where glibc 2.36's fused and unfused tan part: found among 1,800,000
// fields of view from 0.0001 to 180 degrees.  Small and nearly straight
// angles, where tan's argument is near 0 or pi / 2; a double argument
// reaches glFrustum without a float rounding to hide it.  (No sphere,
// cylinder, disk or torus call scanned differed: their sin and cos go to
// GL as floats, and a one-ulp difference of a double almost never changes
// the float it rounds to.)
const char *const kFamiliesDiffer[] = {
    "perspective 2.7602 1 1 100",   "perspective 4.2052 1 1 100",   "perspective 6.9625 1.3333333333333333 1 100",
    "perspective 175.069 1 1 100",  "perspective 178.0539 1 0.5 10",
};

// Every function; counts up to a few hundred; zero, negative and one-step
// counts; zero, negative, tiny, huge, infinite and NaN arguments.
const char *const kCalls[] = {
    "sphere 1 16 8", "sphere 1.0 6 4", "sphere 0.5", "sphere 2.5 300 2", "sphere 0.75 3 200", "sphere -1 7 5",
    "sphere 1 1 1", "sphere 1 0 0", "sphere 1 -3 2", "sphere 0 4 2", "sphere 1e-40 3 2", "sphere 3e38 5 3",
    "sphere inf 4 2", "sphere nan 3 2", "sphere 1 -16777217 2", "sphere 1 3 -16777217",
    "cylinder 1 0.5 2 16 4", "cylinder 1 1 1 300 2", "cylinder 0.3 0.1 5 7 100", "cylinder 1 0 1 5 2",
    "cylinder 1 1 0 3 1", "cylinder 0 0 1 4 1", "cylinder -1 2 -3 5 2", "cylinder 1 1 1 0 1", "cylinder 1 1 1 -1 3",
    "cylinder 1e300 1e300 1e300 3 1", "cylinder inf 1 1 3 2", "cylinder nan 1 1 3 1",
    "disk 0.25 1 12 3", "disk 0 1 300 2", "disk 0.5 1 3 200", "disk 1 0.5 5 2", "disk -1 1 6 3", "disk 0 0 3 1",
    "disk 0 1 0 1", "disk 0 1 3 0", "disk inf 1 3 1", "disk 0 nan 3 1", "disk 0.25 1 16777217 0",
    "torus 0.3 8 1 16", "torus 0.3 300 1 2", "torus 0.1 3 2 300", "torus -0.3 5 -1 4", "torus 0.3 4 1 -1",
    "torus 0.3 0 1 3", "torus 0.3 -3 1 -4", "torus inf 3 1 3", "torus 0.3 3 nan 3",
    "perspective 60 1.333 0.1 100", "perspective 45 1 1 40", "perspective 0 1 1 100", "perspective 180 1 1 100",
    "perspective 360 1 1 100", "perspective -30 1 1 10", "perspective 1e-300 1 1 2", "perspective 90 0 -1 1",
    "perspective nan 1 1 100", "perspective inf 1 1 100", "perspective 60 inf 0 100",
};

// A NaN as listed, "-nan 0xffc00000": its sign and payload are the
// processor's (x86 makes negative NaNs, ARM and s390x positive ones).
const std::regex kNaN("-?nan 0x[0-9a-f]+");

bool exists(const std::string &path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

TEST(Families, ListingsMatchTheHostsInThisArchitecturesFamily) {
    if (!exists(kHostTrace))
        GTEST_SKIP() << "no host build's softglu-trace at " << kHostTrace
                     << " (build the host first, or set SOFTGLU_HOST_BUILD)";
    const std::string host = shellQuoted(kHostTrace) + " --like " + kArch;
    const Ran version = runShell("exec " + host + " --version");
    if (version.status != 0)
        GTEST_SKIP() << "this machine cannot run in " << kArch << "'s family: " << version.err;

    std::vector<std::string> calls(std::begin(kCalls), std::end(kCalls));
    calls.insert(calls.end(), std::begin(kFamiliesDiffer), std::end(kFamiliesDiffer));
    int nanOnly = 0;
    for (const std::string &call : calls) {
        SCOPED_TRACE(call);
        const Ran here = runShell("exec " + host + " --hex " + call);
        const Ran there = runShell("exec " + kTool + " --hex " + call);
        ASSERT_EQ(here.status, 0) << here.err;
        ASSERT_EQ(there.status, 0) << there.err;
        if (here.out == there.out)
            continue;
        // Byte for byte, but for the sign and payload of the NaNs each
        // processor makes.
        EXPECT_EQ(std::regex_replace(here.out, kNaN, "nan"), std::regex_replace(there.out, kNaN, "nan"));
        ++nanOnly;
    }
    std::printf("%zu calls listed alike by %s in its family and by this machine --like %s (%d of them but for "
                "the sign or payload of NaNs the processor made)\n",
                calls.size(), kArch.c_str(), kArch.c_str(), nanOnly);

    // The set has teeth: the calls found by scanning list otherwise in the
    // other family.
    const std::string fused = shellQuoted(kHostTrace) + " --libm=fused", unfused = shellQuoted(kHostTrace) + " --libm=unfused";
    const Ran canFuse = runShell("exec " + fused + " --version");
    if (canFuse.status != 0) {
        std::printf("not checked that the families part on the calls found: %s", canFuse.err.c_str());
        return;
    }
    for (const char *call : kFamiliesDiffer) {
        SCOPED_TRACE(call);
        EXPECT_NE(runShell("exec " + fused + " --hex " + call).out, runShell("exec " + unfused + " --hex " + call).out);
    }
}
