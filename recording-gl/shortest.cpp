// SPDX-License-Identifier: MIT
#include "shortest.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace glrecord {
namespace {

char *copy(char *out, const char *text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

// The reference: the smallest precision P for which printf's %.Pg reads back
// to the same bits.  Whole numbers below 2^53 print as integers ("100", not
// "1e+02"); they read back exactly.
template <typename T>
char *searchShortest(char *out, T v) {
    char buf[40];
    const double wide = static_cast<double>(v);
    if (wide == std::trunc(wide) && std::fabs(wide) < 9007199254740992.0) {
        std::snprintf(buf, sizeof buf, "%.0f", wide);
        return copy(out, buf);
    }
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, wide);
        T back;
        if constexpr (sizeof(T) == 4)
            back = std::strtof(buf, nullptr);
        else
            back = std::strtod(buf, nullptr);
        if (std::memcmp(&back, &v, sizeof v) == 0)
            return copy(out, buf);
    }
    return copy(out, buf);  // NaN payloads other than the default cannot round-trip
}

// The same text, fast.  std::to_chars gives the shortest digits that read
// back, and among those the nearest to the value.  Where the values that
// round to v lie symmetrically around it (every finite value but a power of
// two above the smallest normal), the correctly rounded decimal of that many
// digits reads back too, and is the same string: printf's %.Pg prints exactly
// these digits at that P, and no smaller P reads back.  At a power of two
// the interval below is half the one above, the two can differ, and the
// search decides.  Only the layout is left: printf's %g rules, written out.
template <typename T>
char *fastShortest(char *out, T v) {
    if (std::isnan(v))
        return copy(out, std::signbit(v) ? "-nan" : "nan");
    if (std::isinf(v))
        return copy(out, v < 0 ? "-inf" : "inf");
    const double wide = static_cast<double>(v);
    if (wide == std::trunc(wide) && std::fabs(wide) < 9007199254740992.0) {
        if (wide == 0)
            return copy(out, std::signbit(wide) ? "-0" : "0");
        return std::to_chars(out, out + kMaxShortest, static_cast<long long>(wide)).ptr;
    }
    if constexpr (sizeof(T) == 4) {
        std::uint32_t b;
        std::memcpy(&b, &v, sizeof b);
        if ((b & 0x7fffff) == 0 && ((b >> 23) & 0xff) > 1)
            return searchShortest(out, v);
    } else {
        std::uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        if ((b & 0xfffffffffffffULL) == 0 && ((b >> 52) & 0x7ff) > 1)
            return searchShortest(out, v);
    }
    // "-d.ddde-XX": the sign, the digits and the decimal exponent.
    char sci[40];
    const char *end = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific).ptr;
    const char *p = sci;
    if (*p == '-')
        *out++ = *p++;
    char digits[20];
    int n = 0;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            digits[n++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
    if (exponent < -4 || exponent >= n) {  // %g's scientific form
        *out++ = digits[0];
        if (n > 1) {
            *out++ = '.';
            std::memcpy(out, digits + 1, n - 1);
            out += n - 1;
        }
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        const int e = exponent < 0 ? -exponent : exponent;
        if (e < 10)
            *out++ = '0';
        return std::to_chars(out, out + 4, e).ptr;
    }
    if (exponent < 0) {  // 0.000ddd
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > exponent; --i)
            *out++ = '0';
        std::memcpy(out, digits, n);
        return out + n;
    }
    std::memcpy(out, digits, exponent + 1);  // ddd or ddd.ddd
    out += exponent + 1;
    if (n == exponent + 1)  // a whole number from 2^53 up
        return out;
    *out++ = '.';
    std::memcpy(out, digits + exponent + 1, n - exponent - 1);
    return out + n - exponent - 1;
}

}  // namespace

char *shortestTo(char *out, float v) { return fastShortest(out, v); }
char *shortestTo(char *out, double v) { return fastShortest(out, v); }

std::string shortest(float v) {
    char buf[kMaxShortest];
    return std::string(buf, shortestTo(buf, v));
}

std::string shortest(double v) {
    char buf[kMaxShortest];
    return std::string(buf, shortestTo(buf, v));
}

}  // namespace glrecord
