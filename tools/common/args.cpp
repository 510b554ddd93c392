// SPDX-License-Identifier: MIT
#include "args.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace args {
namespace {

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

std::string display(const std::string &text, std::size_t limit) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + len > text.size())
            len = 1;
        std::string piece = text.substr(i, len);
        if (c < 0x20 || c == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            piece = buf;
        }
        if (out.size() + piece.size() > limit)
            break;
        out += piece;
        i += len;
    }
    if (i < text.size())
        out += "...";
    return out;
}

std::string quoted(const std::string &text) { return "'" + display(text) + "'"; }

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

std::string parse(const char *text, unsigned long long &out) {
    bool digits = *text != '\0';
    for (const char *p = text; *p; ++p)
        digits &= *p >= '0' && *p <= '9';
    if (!digits)
        return quoted(text) + " is not a count (digits only, 0 to 18446744073709551615)";
    errno = 0;
    const unsigned long long v = std::strtoull(text, nullptr, 10);
    if (errno == ERANGE)
        return quoted(text) + " is above 18446744073709551615, the largest count";
    out = v;
    return "";
}

int runTool(const char *tool, const char *usage, int (*run)(int, char **), int argc, char **argv) {
    try {
        return run(argc, argv);
    } catch (const BadUsage &e) {
        std::fprintf(stderr, "%s: %s\n%s\n", tool, e.message.c_str(), usage);
        return 2;
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "%s: out of memory\n", tool);
        return 1;
    }
}

}  // namespace args
