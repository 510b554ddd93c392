// SPDX-License-Identifier: MIT
// glrecord's shortest round-trip decimals: the fast path (std::to_chars and
// printf's %g layout) prints exactly what the original search printed, for
// every kind of float and double.
#include "glrecord.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

// The original implementation, frozen here as the reference: the smallest
// precision P for which printf's %.Pg reads back to the same bits; whole
// numbers below 2^53 as integers.
template <typename T>
std::string reference(T v) {
    // A NaN prints as its sign alone.  (Widened, a float NaN that is
    // signalling in MIPS's legacy encoding, where the top fraction bit marks
    // a signalling NaN, becomes the positive default NaN and loses its sign.)
    if (std::isnan(v))
        return std::signbit(v) ? "-nan" : "nan";
    char buf[40];
    const double wide = static_cast<double>(v);
    if (wide == std::trunc(wide) && std::fabs(wide) < 9007199254740992.0) {
        std::snprintf(buf, sizeof buf, "%.0f", wide);
        return buf;
    }
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, static_cast<double>(v));
        T back;
        if constexpr (sizeof(T) == 4)
            back = std::strtof(buf, nullptr);
        else
            back = std::strtod(buf, nullptr);
        if (std::memcmp(&back, &v, sizeof v) == 0)
            return buf;
    }
    return buf;
}

template <typename T, typename Bits>
T fromBits(Bits b) {
    static_assert(sizeof(T) == sizeof(Bits));
    T v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

// Same text as the reference, and (but for NaNs) reads back to the bits.
template <typename T>
::testing::AssertionResult matches(T v) {
    const std::string got = glrecord::shortest(v), want = reference(v);
    if (got != want)
        return ::testing::AssertionFailure() << std::hexfloat << v << ": '" << got << "', reference '" << want << "'";
    if (!std::isnan(v)) {
        T back;
        if constexpr (sizeof(T) == 4)
            back = std::strtof(got.c_str(), nullptr);
        else
            back = std::strtod(got.c_str(), nullptr);
        if (std::memcmp(&back, &v, sizeof v) != 0)
            return ::testing::AssertionFailure() << "'" << got << "' does not read back";
    }
    return ::testing::AssertionSuccess();
}

// Deterministic pseudo-random bits (xorshift64*).
struct Random {
    std::uint64_t state = 0x9e3779b97f4a7c15ULL;
    std::uint64_t next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 2685821657736338717ULL;
    }
};

// Tricky values of type T: signed zeros, extremes, subnormals, infinities,
// NaNs with payloads, every power of two and its neighbours, the neighbours
// of every power of ten, whole numbers around 2^24 and 2^53, the %g layout
// boundaries (exponent -5/-4, precision equal to the exponent), short
// decimals.
template <typename T>
std::vector<T> tricky() {
    using L = std::numeric_limits<T>;
    std::vector<T> v = {L::min(), L::max(), L::lowest(), L::denorm_min(), -L::denorm_min(), L::epsilon(),
                        L::infinity(), -L::infinity(), L::quiet_NaN(), -L::quiet_NaN(), L::signaling_NaN()};
    // Converted only where in range: narrowing an out-of-range double is
    // undefined.
    const auto add = [&v](long double x) {
        if (std::isnan(x) || std::fabs(x) <= static_cast<long double>(L::max()))
            v.push_back(static_cast<T>(x));
    };
    for (double d : {0.0, -0.0, 1.0, -1.0, 0.5, 0.1, 0.2, 0.3, 1.0 / 3, 2.0 / 3, 1e-5, 1e-4, 9.999999e-5,
                     0.00012345, 123456.7, 1234567.8, 12345678.9, 0.30000000000000004, 1e16, 1e17, 1e21, 1e22,
                     1e23, 16777216.5, 16777217.0, 9007199254740991.0, 9007199254740992.0, 9007199254740994.0,
                     18014398509481984.0, 3.4028235e38, 0.38268346, 0.9238795, 0.07696079088297711, 5e-324,
                     2.2250738585072014e-308, 1.7976931348623157e308})
        add(d);
    if constexpr (sizeof(T) == 4) {
        for (std::uint32_t payload : {0x7f800001u, 0x7fc00001u, 0xffffffffu, 0x7fbfffffu, 0xff800001u})
            v.push_back(fromBits<T>(payload));
    } else {
        for (std::uint64_t payload : {0x7ff0000000000001ULL, 0x7ff8000000000001ULL, 0xffffffffffffffffULL})
            v.push_back(fromBits<T>(payload));
    }
    for (int e = L::min_exponent - L::digits - 1; e <= L::max_exponent; ++e) {
        const T p = std::ldexp(T(1), e);
        for (T x : {p, std::nextafter(p, T(0)), std::nextafter(p, L::infinity()), p * 3, p * 5, p * 7})
            if (std::isfinite(x)) {
                v.push_back(x);
                v.push_back(-x);
            }
    }
    for (int e = L::min_exponent10 - 20; e <= L::max_exponent10; ++e) {
        const long double p = std::pow(10.0L, static_cast<long double>(e));
        for (long double x : {p, p * 5, p * 1.5L, p * 9.5L})
            add(x);
        if (std::fabs(p) <= static_cast<long double>(L::max())) {
            v.push_back(std::nextafter(static_cast<T>(p), T(0)));
            v.push_back(std::nextafter(static_cast<T>(p), L::infinity()));
        }
    }
    return v;
}

}  // namespace

TEST(Shortest, PrintsWhatThePrintfSearchPrintsForTrickyValues) {
    for (float f : tricky<float>())
        EXPECT_TRUE(matches(f));
    for (double d : tricky<double>())
        EXPECT_TRUE(matches(d));
}

TEST(Shortest, PrintsWhatThePrintfSearchPrintsForRandomBits) {
    Random r;
#ifdef SOFTGLU_EMULATED
    const int n = 5000;  // the reference search is slow under the emulator
#else
    const int n = 30000;
#endif
    for (int i = 0; i < n; ++i) {
        const std::uint64_t b = r.next();
        ASSERT_TRUE(matches(fromBits<float>(static_cast<std::uint32_t>(b >> 32))));
        ASSERT_TRUE(matches(fromBits<double>(b)));
        // Short decimals, as people type them and as the library often sends.
        const double typed = static_cast<double>(static_cast<std::int64_t>(b % 2000001) - 1000000) /
                             std::pow(10.0, static_cast<int>((b >> 40) % 12));
        ASSERT_TRUE(matches(static_cast<float>(typed)));
        ASSERT_TRUE(matches(typed));
    }
}

TEST(Shortest, WritesTheFormatsOfTheListing) {
    EXPECT_EQ(glrecord::shortest(100.0f), "100");
    EXPECT_EQ(glrecord::shortest(-0.0f), "-0");
    EXPECT_EQ(glrecord::shortest(0.1f), "0.1");
    EXPECT_EQ(glrecord::shortest(0.0001f), "0.0001");
    EXPECT_EQ(glrecord::shortest(0.00001f), "1e-05");
    EXPECT_EQ(glrecord::shortest(1e20f), "1e+20");
    EXPECT_EQ(glrecord::shortest(9007199254740994.0), "9007199254740994");
    EXPECT_EQ(glrecord::shortest(1e23), "1e+23");
    EXPECT_EQ(glrecord::shortest(0.38268346f), "0.38268346");
    EXPECT_EQ(glrecord::shortest(0.07696079088297711), "0.07696079088297711");
    EXPECT_EQ(glrecord::shortest(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(glrecord::shortest(-std::numeric_limits<float>::infinity()), "-inf");
}

// Every float, against the reference (about two CPU-hours, spread over the
// cores; it passed on the branch that brought the fast path in):
//   softglu_trace_tests --gtest_also_run_disabled_tests --gtest_filter='*EveryFloat*'
TEST(Shortest, DISABLED_PrintsWhatThePrintfSearchPrintsForEveryFloat) {
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    std::vector<std::uint64_t> failures(threads), first(threads);
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([t, threads, &failures, &first] {
            for (std::uint64_t b = t; b <= 0xffffffffULL; b += threads) {
                const float f = fromBits<float>(static_cast<std::uint32_t>(b));
                if (!matches(f)) {
                    if (!failures[t]++)
                        first[t] = b;
                }
            }
        });
    for (std::thread &t : pool)
        t.join();
    for (unsigned t = 0; t < threads; ++t)
        EXPECT_EQ(failures[t], 0u) << "first at bits 0x" << std::hex << first[t];
}

// glrecord's comparison of two calls, which the stream comparisons of the
// unit tests and the fuzzer rest on: one bit of any argument slot, of the
// mode, or of an upload's size or hash makes two calls differ (-0 is not +0).
TEST(SameBits, EverySlotOfACallCounts) {
    glrecord::Call base{};
    base.op = glrecord::Op::Color4f;
    std::vector<glrecord::Call> changed;
    const auto change = [&](auto edit) {
        glrecord::Call c = base;
        edit(c);
        changed.push_back(c);
    };
    for (int k = 0; k < 4; ++k)
        change([k](glrecord::Call &c) { c.f[k] = -0.0f; });
    for (int k = 0; k < 16; ++k)
        change([k](glrecord::Call &c) { c.d[k] = -0.0; });
    for (int k = 0; k < 8; ++k)
        change([k](glrecord::Call &c) { c.i[k] = 1; });
    change([](glrecord::Call &c) { c.mode = 1; });
    change([](glrecord::Call &c) { c.bytes = 1; });
    change([](glrecord::Call &c) { c.hash = 1; });
    change([](glrecord::Call &c) { c.op = glrecord::Op::TexCoord4f; });
    EXPECT_TRUE(glrecord::sameBits(base, base));
    for (std::size_t n = 0; n < changed.size(); ++n)
        EXPECT_FALSE(glrecord::sameBits(base, changed[n])) << "change " << n;
}
