/* SPDX-License-Identifier: MIT */
// Strict command-line numbers for the tools: the whole argument must be one
// number of the parameter's own type, parsed at that type's precision, or
// the caller gets a message saying what is wrong with it.
#ifndef SOFTGLU_TOOLS_ARGS_H
#define SOFTGLU_TOOLS_ARGS_H

#include <cstddef>
#include <string>

namespace args {

// Each returns "" and sets `out`, or returns a message such as
// "'abc' is not a number" and leaves `out` alone.  Floats are read with
// strtof, so a decimal is rounded to single precision once, not through
// double.  inf, nan and hex floats are numbers; a finite value too large for
// the type is an error, one too small rounds to a subnormal or zero as usual.
std::string parse(const char *text, float &out);
std::string parse(const char *text, double &out);
// A decimal integer within the 32-bit signed range.
std::string parse(const char *text, int &out);
// A decimal integer from 0 to 2^64 - 1, digits only.
std::string parse(const char *text, unsigned long long &out);

// The text as messages show it: at most `limit` bytes of it (whole UTF-8
// characters), "..." where it was cut, control characters as \xHH.
const std::size_t kShown = 40;
std::string display(const std::string &text, std::size_t limit = kShown);
// display(text) in single quotes.
std::string quoted(const std::string &text);

// Bad command-line input, thrown by a tool's run function.
struct BadUsage {
    std::string message;
};

// Returns run(argc, argv); for bad input, prints "TOOL: message" and the
// usage line to standard error and returns exit status 2; when memory runs
// out, prints "TOOL: out of memory" and returns 1.
int runTool(const char *tool, const char *usage, int (*run)(int, char **), int argc, char **argv);

}  // namespace args

#endif
