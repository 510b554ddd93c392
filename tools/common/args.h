/* SPDX-License-Identifier: MIT */
// Reading the tools' command lines: options, and strict numbers (the whole
// argument must be one number of the parameter's own type, parsed at that
// type's precision, or the caller gets a message saying what is wrong with
// it).
#ifndef SOFTGLU_TOOLS_ARGS_H
#define SOFTGLU_TOOLS_ARGS_H

#include <cstddef>
#include <string>
#include <vector>

#include <getopt.h>

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

// One option of a tool: --NAME, and -LETTER when `letter` is not 0.
// `value` is what the option's value is called in messages ("a FILE"), or
// nullptr for an option that takes none.
struct Option {
    const char *name;
    char letter;
    const char *value;
};

// What Options::next found: an option and its value (nullptr for one that
// takes none), or an operand (`option` nullptr, the argument in `value`).
struct Found {
    const Option *option = nullptr;
    const char *value = nullptr;
    std::string as;  // the option as written: "--obj" or "-o"
};

// Reads a tool's command line in order, with getopt_long.  An option's
// value is given as --NAME VALUE, --NAME=VALUE, -L VALUE or -LVALUE, and
// "--" ends the options.  Options and operands may be mixed; an argument
// that starts with '-' but is no option ("-1", "-inf", "-") is an operand,
// so negative numbers need no "--".  Long names are written whole: no
// abbreviations, so that a new option never breaks a command that works.
// getopt's state is global: one reader at a time.  next() throws BadUsage:
//   unknown option '--frobnicate'
//   --obj needs a FILE                          (nothing follows it)
//   --obj needs a FILE, not the option '--hex'  (an option follows it)
//   --hex takes no value                        (--hex=1)
class Options {
public:
    Options(int argc, char **argv, const std::vector<Option> &options);
    // The next option or operand; false after the last.
    bool next(Found &found);
    // The arguments not read yet, as they are, options or not: a command
    // to run and its own arguments.
    std::vector<const char *> rest();

private:
    const Option *named(const char *text) const;  // for "--NAME" or "--NAME=..."
    const Option *lettered(char letter) const;

    int argc_;
    char **argv_;
    std::vector<Option> options_;
    std::vector<struct option> long_;  // getopt_long's table of the same
    std::string short_;                // and its string of letters
    int at_ = 1;                       // the next argument to read
    bool operandsOnly_ = false;        // after "--"
};

// The value of an option, refused when it is empty:
// "--max-calls needs a number, not an empty argument".
const char *nonEmpty(const Found &found);
// The value of an option that names a file: not empty, and not starting
// with '-', which is more likely a mistyped option than a name:
// "-o needs a FILE, not '-x.png' (for a file whose name starts with '-',
// write ./-x.png)".
const char *fileName(const Found &found);

// Returns run(argc, argv); for bad input, prints "TOOL: message" and the
// usage line to standard error and returns exit status 2; when memory runs
// out, prints "TOOL: out of memory" and returns 1.
int runTool(const char *tool, const char *usage, int (*run)(int, char **), int argc, char **argv);

}  // namespace args

#endif
