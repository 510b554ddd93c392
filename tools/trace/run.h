// SPDX-License-Identifier: MIT
// softglu-trace --run: a whole program traced through the interposer
// (interpose.c), its softglu calls and the GL calls each sends listed as
// they arrive.
#ifndef SOFTGLU_TRACE_RUN_H
#define SOFTGLU_TRACE_RUN_H

#include <vector>

namespace run {

struct Options {
    bool hex = false;
    const char *output = nullptr;  // nullptr: standard error
};

// Runs `program` (its name, looked up in PATH like a shell does, and its
// arguments) with the interposer preloaded, writes the listing and returns
// softglu-trace's exit status: the program's own (128 + N when a signal N
// ended it), 127 or 126 when it cannot be run, 1 when the listing cannot
// be written.
int traceProgram(const Options &options, const std::vector<const char *> &program);

}  // namespace run

#endif
