// SPDX-License-Identifier: MIT
#include "args.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

Options::Options(int argc, char **argv, const std::vector<Option> &options)
    : argc_(argc), argv_(argv), options_(options) {
    // "+": getopt never reorders argv, and stops at the first operand, which
    // next() takes itself.  ":": a missing value is told apart from an
    // unknown option.  Messages are ours (opterr 0).
    short_ = "+:";
    for (std::size_t i = 0; i < options_.size(); ++i) {
        const Option &o = options_[i];
        long_.push_back({o.name, o.value ? required_argument : no_argument, nullptr, static_cast<int>(256 + i)});
        if (o.letter)
            short_ += std::string(1, o.letter) + (o.value ? ":" : "");
    }
    long_.push_back({nullptr, 0, nullptr, 0});
    opterr = 0;
}

const Option *Options::named(const char *text) const {
    const std::size_t n = std::strcspn(text + 2, "=");
    for (const Option &o : options_)
        if (std::strlen(o.name) == n && std::strncmp(o.name, text + 2, n) == 0)
            return &o;
    return nullptr;
}

const Option *Options::lettered(char letter) const {
    for (const Option &o : options_)
        if (o.letter && o.letter == letter)
            return &o;
    return nullptr;
}

bool Options::next(Found &found) {
    found = Found{};
    if (at_ >= argc_)
        return false;
    const char *a = argv_[at_];
    // An option is "--", "--NAME[=VALUE]" or "-L", or "-LVALUE" for a
    // letter that takes a value; anything else is an operand.
    const bool isLong = a[0] == '-' && a[1] == '-';
    const Option *letter = a[0] == '-' && !isLong && a[1] != '\0' ? lettered(a[1]) : nullptr;
    if (operandsOnly_ || (!isLong && !(letter && (a[2] == '\0' || letter->value)))) {
        found.value = a;
        ++at_;
        return true;
    }
    if (isLong && a[2] == '\0') {  // "--"
        operandsOnly_ = true;
        ++at_;
        return next(found);
    }
    const Option *o = isLong ? named(a) : letter;
    if (!o)
        throw BadUsage{"unknown option " + quoted(a)};

    // getopt_long reads this one option and its value, from the same place.
    const int start = at_;
    optind = start;
    const int c = getopt_long(argc_, argv_, short_.c_str(), long_.data(), nullptr);
    at_ = optind;
    found.as = isLong ? std::string("--") + o->name : std::string("-") + o->letter;
    if (c == ':')
        throw BadUsage{found.as + " needs " + o->value};
    if (c == '?')  // the only way left to get it wrong
        throw BadUsage{found.as + " takes no value"};
    found.option = o;
    if (o->value) {
        found.value = optarg;
        // A value in an argument of its own that looks like an option is
        // most likely a value left out.
        if (at_ == start + 2 && optarg[0] == '-' && optarg[1] == '-')
            throw BadUsage{found.as + " needs " + o->value + ", not the option " + quoted(optarg)};
    }
    return true;
}

std::vector<const char *> Options::rest() {
    std::vector<const char *> out(argv_ + at_, argv_ + argc_);
    at_ = argc_;
    return out;
}

const char *nonEmpty(const Found &found) {
    if (*found.value == '\0')
        throw BadUsage{found.as + " needs " + found.option->value + ", not an empty argument"};
    return found.value;
}

const char *fileName(const Found &found) {
    const char *path = nonEmpty(found);
    if (path[0] == '-')
        throw BadUsage{found.as + " needs " + found.option->value + ", not " + quoted(path) +
                       " (for a file whose name starts with '-', write ./" + display(path) + ")"};
    return path;
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
