// SPDX-License-Identifier: MIT
#include "diff.h"

#include "args.h"
#include "listing.h"
#include "output.h"
#include "record.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace diff {
namespace {

// A listing's lines, read in large blocks.  Comment lines ("# ...") are
// skipped; "# math family: X" says which family the listing ran in.
class Lines {
public:
    explicit Lines(const char *path) : path_(path), buffer_(kBlock) {}
    ~Lines() {
        if (fd_ >= 0)
            close(fd_);
    }
    Lines(const Lines &) = delete;
    Lines &operator=(const Lines &) = delete;

    bool open() {
        fd_ = ::open(path_, O_RDONLY | O_CLOEXEC);
        if (fd_ < 0)
            return fail(std::strerror(errno));
        posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
        return true;
    }

    // The next line that is no comment; false at the end, or with error()
    // set when the file cannot be read.
    bool next(std::string_view &line) {
        for (;;) {
            if (!nextLine(line))
                return false;
            ++number_;
            if (line.empty() || line[0] != '#')
                return true;
            const std::string_view tag = glrecord::kFamilyTag;
            if (line.substr(0, tag.size()) == tag)
                family_ = std::string(line.substr(tag.size()));
        }
    }

    // What is read ahead and not taken yet, at least half a block of it
    // unless the file ends first; and taking `n` bytes of it, `lines`
    // whole lines.
    std::string_view ahead() {
        if (end_ - begin_ < buffer_.size() / 2 && !eof_ && error_.empty())
            fill();
        return std::string_view(buffer_.data() + begin_, end_ - begin_);
    }
    void skip(std::size_t n, std::uint64_t lines) {
        begin_ += n;
        number_ += lines;
    }
    void setFamily(std::string_view family) { family_ = std::string(family); }

    std::uint64_t number() const { return number_; }
    const std::string &family() const { return family_; }
    const std::string &error() const { return error_; }
    const char *path() const { return path_; }

    bool fail(const std::string &why) {
        if (error_.empty())
            error_ = args::display(path_, 256) + ": " + why;
        return false;
    }

private:
    static const std::size_t kBlock = 1 << 20;

    bool nextLine(std::string_view &line) {
        for (;;) {
            const char *start = buffer_.data() + begin_;
            const char *newline = static_cast<const char *>(std::memchr(start, '\n', end_ - begin_));
            if (newline) {
                line = std::string_view(start, static_cast<std::size_t>(newline - start));
                begin_ += line.size() + 1;
                return true;
            }
            if (eof_) {  // a last line without its newline
                if (begin_ == end_)
                    return false;
                line = std::string_view(start, end_ - begin_);
                begin_ = end_;
                return true;
            }
            if (begin_ == 0 && end_ == buffer_.size())
                return fail("a line longer than 1 MiB: not a listing");
            if (!fill())
                return false;
        }
    }

    // Moves what is left to the front and reads on to the end of the
    // buffer or of the file.
    bool fill() {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        while (end_ < buffer_.size() && !eof_) {
            const ssize_t n = read(fd_, buffer_.data() + end_, buffer_.size() - end_);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(std::strerror(errno));
            eof_ = n == 0;
            end_ += static_cast<std::size_t>(n);
        }
        return true;
    }

    const char *path_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    bool eof_ = false;
    std::uint64_t number_ = 0;
    std::string family_;
    std::string error_;
};

enum class Kind { Softglu, Gl, Bad };

bool upper(char c) { return c >= 'A' && c <= 'Z'; }

// A call of softglu's (gluSphere, drawTorus...), a GL call, or no line of
// a listing.  Only the line's ends are looked at: this runs on every line.
Kind kindOf(std::string_view line) {
    auto endsWith = [line](std::string_view end) {
        return line.size() >= end.size() && line.substr(line.size() - end.size()) == end;
    };
    if (line.size() < 4 || !(endsWith(")") || endsWith(") = null") || endsWith(") = non-null")))
        return Kind::Bad;
    if ((line.substr(0, 3) == "glu" && upper(line[3])) || line.substr(0, 10) == "drawTorus(")
        return Kind::Softglu;
    if (line.substr(0, 2) == "gl" && upper(line[2]))
        return Kind::Gl;
    return Kind::Bad;
}

using Arg = glrecord::ListedArg;

// A listed call taken apart (listing.h), with record.h's letters of its
// arguments, "" when unknown.
struct Call : glrecord::ListedCall {
    const char *letters = "";
};

bool parse(std::string_view line, Call &c) {
    if (!glrecord::parseLine(line, c))
        return false;
    c.letters = "";
    for (const softglu_record_kind &k : softglu_records)
        if (c.name == k.name)
            c.letters = k.args;
    return true;
}

bool isNaN(std::string_view v) { return v == "nan" || v == "-nan"; }

enum class Same { No, Yes, NaNs };

// Whether two arguments hold the same value: the same bits where both
// listings show them, else the same shortest decimal, which is one value's
// alone.  Two NaNs are the same value: a processor gives the NaNs it makes
// a sign and payload of its own.
Same sameArg(const Arg &a, const Arg &b) {
    if (!a.bits.empty() && !b.bits.empty() ? a.bits == b.bits : a.value == b.value)
        return Same::Yes;
    return isNaN(a.value) && isNaN(b.value) ? Same::NaNs : Same::No;
}

// How two calls compare, and the first argument that differs (or npos).
Same sameCall(const Call &a, const Call &b, std::size_t &differs) {
    differs = std::string::npos;
    if (a.name != b.name || a.args.size() != b.args.size() || a.result != b.result)
        return Same::No;
    Same same = Same::Yes;
    for (std::size_t i = 0; i < a.args.size(); ++i) {
        const Same s = sameArg(a.args[i], b.args[i]);
        if (s == Same::No) {
            differs = i;
            return Same::No;
        }
        if (s == Same::NaNs)
            same = Same::NaNs;
    }
    return same;
}

// The letter of argument i (record.h), skipping the returned value's.
char letterOf(const Call &c, std::size_t i) {
    std::size_t at = 0;
    for (const char *l = c.letters; *l; ++l) {
        if (*l == 'r')
            continue;
        if (at++ == i)
            return *l;
    }
    return 0;
}

std::string hex(std::uint64_t bits, int digits) {
    char buf[24];
    return std::string(buf, glrecord::hexTo(buf, bits, digits));
}

// An argument as the report shows it: its decimal and its bits, worked
// out from the decimal in a listing without them.
std::string shown(const Call &c, std::size_t i) {
    const Arg &a = c.args[i];
    if (!a.bits.empty())
        return std::string(a.value) + " " + std::string(a.bits);
    const std::string v(a.value);
    const char letter = letterOf(c, i);
    if (letter == 'f' && !isNaN(a.value))
        return v + " " + hex(glrecord::floatBits(a.value), 8);
    if (letter == 'd' && !isNaN(a.value))
        return v + " " + hex(glrecord::doubleBits(a.value), 16);
    return v;
}

// "  argument 2: 0.5 0x3f000000 in A, 0.25 0x3e800000 in B\n", or nothing
// when the calls differ in more than their arguments' values.
std::string argumentLine(std::string_view la, std::string_view lb) {
    Call a, b;
    std::size_t i = std::string::npos;
    if (!parse(la, a) || !parse(lb, b) || sameCall(a, b, i) != Same::No || i == std::string::npos)
        return "";
    return "  argument " + std::to_string(i + 1) + ": " + shown(a, i) + " in A, " + shown(b, i) + " in B\n";
}

std::string lineOf(const Lines &a, const Lines &b) {
    return "line " + std::to_string(a.number()) + " of A, line " + std::to_string(b.number()) + " of B";
}

}  // namespace

int compare(const char *pathA, const char *pathB) {
    Lines a(pathA), b(pathB);
    if (!a.open() || !b.open()) {
        std::fprintf(stderr, "softglu-trace: cannot read %s\n", (a.error().empty() ? b : a).error().c_str());
        return 2;
    }
    std::uint64_t softglu = 0, gl = 0, glTotal = 0, nans = 0;
    std::string current;  // the softglu call the GL calls belong to
    std::string report;
    bool identical = false;
    Call ca, cb;
    // A line both listings share: a softglu call starts its GL calls'
    // count again.
    const auto count = [&](Kind k, std::string_view line) {
        if (k == Kind::Softglu) {
            ++softglu;
            gl = 0;
            current.assign(line);
        } else {
            ++gl;
            ++glTotal;
        }
    };
    for (;;) {
        // Where both files go on alike, whole lines at a time: counted,
        // not compared line by line.
        const std::string_view sa = a.ahead(), sb = b.ahead();
        std::size_t alike = 0;
        const std::size_t most = std::min(sa.size(), sb.size());
        for (std::size_t step = 4096; alike < most; alike += step) {
            step = std::min(step, most - alike);
            if (std::memcmp(sa.data() + alike, sb.data() + alike, step) != 0)
                break;
        }
        std::size_t taken = 0;
        std::uint64_t lines = 0;
        while (taken < alike) {
            const char *start = sa.data() + taken;
            const char *newline = static_cast<const char *>(std::memchr(start, '\n', alike - taken));
            if (!newline)
                break;
            const std::string_view line(start, static_cast<std::size_t>(newline - start));
            if (!line.empty() && line[0] == '#') {
                const std::string_view tag = glrecord::kFamilyTag;
                if (line.substr(0, tag.size()) == tag) {
                    a.setFamily(line.substr(tag.size()));
                    b.setFamily(line.substr(tag.size()));
                }
            } else {
                const Kind k = kindOf(line);
                if (k == Kind::Bad)
                    break;  // told below, line by line
                count(k, line);
            }
            taken += line.size() + 1;
            ++lines;
        }
        a.skip(taken, lines);
        b.skip(taken, lines);

        std::string_view la, lb;
        const bool ha = a.next(la), hb = b.next(lb);
        if (!a.error().empty() || !b.error().empty()) {
            std::fprintf(stderr, "softglu-trace: cannot read %s\n", (a.error().empty() ? b : a).error().c_str());
            return 2;
        }
        if (!ha && !hb) {
            identical = true;
            break;
        }
        const Kind ka = ha ? kindOf(la) : Kind::Softglu, kb = hb ? kindOf(lb) : Kind::Softglu;
        if (ka == Kind::Bad || kb == Kind::Bad) {
            const Lines &bad = ka == Kind::Bad ? a : b;
            std::fprintf(stderr, "softglu-trace: %s, line %llu: not a line of a listing: %s\n",
                         args::display(bad.path(), 256).c_str(), static_cast<unsigned long long>(bad.number()),
                         args::quoted(std::string(ka == Kind::Bad ? la : lb)).c_str());
            return 2;
        }
        if (!ha || !hb) {
            const Lines &ended = ha ? b : a, &goes = ha ? a : b;
            report = std::string(ha ? "B" : "A") + " ends after line " + std::to_string(ended.number()) +
                     (softglu ? ", in softglu call " + std::to_string(softglu) : std::string()) + "; " +
                     (ha ? "A" : "B") + " goes on at line " + std::to_string(goes.number()) + ":\n  " +
                     std::string(ha ? la : lb) + "\n" +
                     "Not a math-family difference: one program made more calls than the other, or one "
                     "listing is cut short.\n";
            break;
        }
        std::size_t arg = std::string::npos;
        Same same = la == lb ? Same::Yes : Same::No;
        if (same == Same::No && ka == kb && parse(la, ca) && parse(lb, cb))
            same = sameCall(ca, cb, arg);
        if (same != Same::No) {
            nans += same == Same::NaNs;
            count(ka, la);
            continue;
        }
        // The first difference.
        if (ka == Kind::Softglu && kb == Kind::Softglu) {
            report = "The listings part at softglu call " + std::to_string(softglu + 1) + " (" + lineOf(a, b) +
                     "):\n  A: " + std::string(la) + "\n  B: " + std::string(lb) + "\n" + argumentLine(la, lb) +
                     "Not a math-family difference: the program itself called softglu differently (what it "
                     "computed, read or timed differs).\n";
        } else if (ka != kb) {
            const bool aMore = ka == Kind::Gl;
            report = (softglu ? "Softglu call " + std::to_string(softglu) : std::string("The call")) + " sends " +
                     std::to_string(gl) + (gl == 1 ? " GL call in " : " GL calls in ") + (aMore ? "B" : "A") +
                     " and more in " +
                     (aMore ? "A" : "B") + " (" + lineOf(a, b) + "):\n" +
                     (softglu ? "  " + current + "\n" : std::string()) + "  A: " + std::string(la) +
                     "\n  B: " + std::string(lb) + "\n" +
                     "Not a math-family difference: how many GL calls a call sends follows from its "
                     "arguments alone.\n";
        } else {
            report = "The listings part at GL call " + std::to_string(gl + 1) +
                     (softglu ? " of softglu call " + std::to_string(softglu) : std::string()) + " (" +
                     lineOf(a, b) + "):\n" + (softglu ? "  " + current + "\n" : std::string()) +
                     "  A: " + std::string(la) + "\n  B: " + std::string(lb) + "\n" + argumentLine(la, lb);
            Call pa, pb;
            const bool sameOp = parse(la, pa) && parse(lb, pb) && pa.name == pb.name;
            const std::string &fa = a.family(), &fb = b.family();
            if (!sameOp) {
                report += "Not a math-family difference: the GL calls themselves differ, and which calls a "
                          "call sends follows from its arguments alone.\n";
            } else if (!softglu) {
                report += "Where both list the same call, this is a difference of their math libraries "
                          "(softglu-trace --version names a machine's family).\n";
            } else if (!fa.empty() && !fb.empty() && fa != fb && fa != "unknown" && fb != "unknown") {
                report += "A math-family difference: the same call with the same arguments sent other values, "
                          "A running in the " + fa + " family and B in the " + fb +
                          " (softglu-trace --libm or --like runs a machine in the other family).\n";
            } else if (!fa.empty() && fa == fb && fa != "unknown") {
                report += "Not a math-family difference: the same call with the same arguments sent other "
                          "values, yet both ran in the " + fa +
                          " family (another build of softglu, or a rounding mode the program set?).\n";
            } else {
                report += "The same call with the same arguments sent other values: the two math libraries "
                          "differ (the listings do not say both families; softglu-trace --version names a "
                          "machine's).\n";
            }
        }
        break;
    }
    if (identical) {
        report = "The listings are identical: " + std::to_string(softglu) + (softglu == 1 ? " softglu call, " : " softglu calls, ") +
                 std::to_string(glTotal) + (glTotal == 1 ? " GL call" : " GL calls");
        const std::string &fa = a.family(), &fb = b.family();
        if (!fa.empty() && !fb.empty())
            report += fa == fb ? ", both in the " + fa + " family" : ", A in the " + fa + " family and B in the " + fb;
        report += ".\n";
    }
    if (nans)
        report += "(" + std::to_string(nans) + (identical ? " of them" : " calls before it") +
                  " sent NaNs whose sign or payload differ: each processor gives the NaNs it makes its own, "
                  "and they count as the same.)\n";
    if (output::printText("softglu-trace", report) != 0)
        return 2;
    return identical ? 0 : 1;
}

}  // namespace diff
