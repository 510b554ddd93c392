/* SPDX-License-Identifier: MIT */
// What the two halves of the reference corpus share: tests/reference/corpus.cpp (the
// library's calls, and the program that records and replays them) and
// tests/reference/corpus_compat.cpp (the compatibility layer's, built with its
// switch).
#ifndef SOFTGLU_TESTS_CORPUS_H
#define SOFTGLU_TESTS_CORPUS_H

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace corpus {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const float kInfF = std::numeric_limits<float>::infinity();
const float kNaNF = std::numeric_limits<float>::quiet_NaN();

struct Case {
    std::string label;
    std::function<std::string()> run;  // returns a result to compare, if any
};

// printf into a string.  Labels print doubles with %.17g and floats with
// %.9g, which read back exactly.
inline std::string label(const char *format, ...) __attribute__((format(printf, 1, 2)));
inline std::string label(const char *format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buf) {  // never cut a label short
        std::fprintf(stderr, "softglu_corpus: a label longer than %zu characters: %s\n", sizeof buf - 1, buf);
        std::exit(2);
    }
    return buf;
}

struct Counts {
    int a, b;
};

// Arguments that are the same on every architecture: integers from a fixed
// linear congruential sequence, made decimal by one correctly rounded
// division (k / 1000 fills the mantissa, unlike a binary fraction, whose
// short products would hide a product taken in the wrong precision).
class Numbers {
public:
    explicit Numbers(std::uint64_t seed) : state_(seed) {}
    int count(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint32_t>(hi - lo + 1)); }
    double decimal(int lo, int hi) { return count(lo, hi) / 1000.0; }  // in [lo, hi] / 1000
    float decimalf(int lo, int hi) { return static_cast<float>(decimal(lo, hi)); }

private:
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint64_t state_;
};

inline void addDrawCase(std::vector<Case> &cases, std::string l, std::function<void()> draw) {
    cases.push_back({std::move(l), [draw] { draw(); return std::string(); }});
}

// The compatibility layer's cases (tests/reference/corpus_compat.cpp): the corpus's,
// and ordinary calls for the broad set.
void addCompatCases(std::vector<Case> &cases);
void addVariedCompatCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale);

// The compatibility layer's quadric handles in every setting
// (tests/reference/corpus_quadric.cpp), likewise.
void addQuadricCases(std::vector<Case> &cases);
void addVariedQuadricCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale);

// The compatibility layer's tessellator (tests/reference/corpus_tess.cpp): classic
// shapes under every rule and output, and each error; random lattice
// polygons for the broad set.
void addTessCases(std::vector<Case> &cases);
void addVariedTessCases(std::vector<Case> &cases, std::uint64_t seed, int count);

// The compatibility layer's NURBS curves and surfaces
// (tests/reference/corpus_nurbs.cpp): classic surfaces and curves in every mode and
// method, trimmed, and each error; random surfaces for the broad set.
void addNurbsCases(std::vector<Case> &cases);
void addVariedNurbsCases(std::vector<Case> &cases, std::uint64_t seed, int count);

// The projection helpers' cases (tests/reference/corpus_project.cpp), likewise.
void addProjectionCases(std::vector<Case> &cases);
void addVariedProjectionCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction);

// The image calls' cases (tests/reference/corpus_images.cpp), likewise.
void addImageCases(std::vector<Case> &cases);
void addVariedImageCases(std::vector<Case> &cases, std::uint64_t seed, int perFunction, int scale);

}  // namespace corpus

#endif
