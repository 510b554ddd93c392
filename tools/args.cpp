// SPDX-License-Identifier: MIT
#include "args.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace args {
namespace {

std::string quoted(const char *text) { return std::string("'") + text + "'"; }

// strtof / strtod / strtoll accept leading blanks and stop at the first
// character they cannot use; a tool argument must be the number and nothing
// else.
bool wholeArgument(const char *text, const char *end) {
    return *text != '\0' && !std::isspace(static_cast<unsigned char>(*text)) && *end == '\0';
}

template <typename T, typename Read>
std::string parseReal(const char *text, T &out, Read read, const char *typeName) {
    char *end = nullptr;
    errno = 0;
    const T v = read(text, &end);
    if (!wholeArgument(text, end))
        return quoted(text) + " is not a number";
    // ERANGE with an infinite result is overflow of a finite decimal; with a
    // finite one it is underflow, which strtof/strtod round correctly.
    if (errno == ERANGE && std::isinf(v))
        return quoted(text) + " is too large for a " + typeName;
    out = v;
    return "";
}

}  // namespace

std::string parse(const char *text, float &out) { return parseReal(text, out, std::strtof, "float"); }

std::string parse(const char *text, double &out) { return parseReal(text, out, std::strtod, "double"); }

std::string parse(const char *text, int &out) {
    char *end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (!wholeArgument(text, end))
        return quoted(text) + " is not an integer";
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
        return quoted(text) + " is outside the 32-bit integer range";
    out = static_cast<int>(v);
    return "";
}

int runTool(const char *tool, const char *usage, int (*run)(int, char **), int argc, char **argv) {
    try {
        return run(argc, argv);
    } catch (const BadUsage &e) {
        std::fprintf(stderr, "%s: %s\n%s\n", tool, e.message.c_str(), usage);
        return 2;
    }
}

}  // namespace args
