// SPDX-License-Identifier: MIT
// tessfile FILE PREFIX [TIMES]: the shapes of FILE (softglu_realshapes
// --write; its format is described there) whose names start with PREFIX,
// through the tessellator TIMES times (1 unless given): each time a new
// tessellator, every polygon one gluTessBeginPolygon, GLU_TESS_WINDING_ODD,
// the callbacks of bench/counting.h, as softglu_realshapes times them.
// Prints the polygons, their input vertices and the vertices the callback
// received.  Run under qemu-arm by bench/armel-count.sh --file and under
// callgrind by bench/realshapes-count.sh --file (each takes the difference
// of 1 and 2 times).
#include "counting.h"

#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string file;
long line = 0;

[[noreturn]] void bad(const std::string &why) {
    if (line > 0)
        std::fprintf(stderr, "tessfile: %s:%ld: %s\n", file.c_str(), line, why.c_str());
    else
        std::fprintf(stderr, "tessfile: %s: %s\n", file.c_str(), why.c_str());
    std::exit(1);
}

// The count after `word ` on a line, or -1 when the line is not that.
long countAfter(const std::string &text, const std::string &word) {
    if (text.compare(0, word.size() + 1, word + " ") != 0)
        return -1;
    char *end;
    const long n = std::strtol(text.c_str() + word.size() + 1, &end, 10);
    if (*end != '\0' || n < 1 || n > 100000000)
        bad("bad count in '" + text + "'");
    return n;
}

// The chosen shapes' polygons; the others' lines are skipped unread.
std::vector<counting::Contours> read(const std::string &prefix) {
    std::ifstream in(file);
    if (!in)
        bad("cannot open it (softglu_realshapes --write=FILE makes it)");
    std::vector<counting::Contours> polygons;
    bool chosen = false;
    std::string text;
    const auto next = [&]() {
        ++line;
        if (!std::getline(in, text))
            bad("ends early");
    };
    while (++line, std::getline(in, text)) {
        if (text.empty() || text[0] == '#')
            continue;
        if (text.compare(0, 6, "shape ") == 0) {
            chosen = text.compare(6, prefix.size(), prefix) == 0;
            continue;
        }
        const long rings = countAfter(text, "polygon");
        if (rings < 0)
            bad("expected 'shape NAME' or 'polygon RINGS', not '" + text + "'");
        if (chosen)
            polygons.emplace_back();
        for (long r = 0; r < rings; ++r) {
            next();
            const long points = countAfter(text, "ring");
            if (points < 0)
                bad("expected 'ring POINTS', not '" + text + "'");
            if (chosen)
                polygons.back().emplace_back();
            for (long k = 0; k < points; ++k) {
                next();
                if (!chosen)
                    continue;
                char *end, *end2;
                const double x = std::strtod(text.c_str(), &end), y = std::strtod(end, &end2);
                if (end == text.c_str() || end2 == end || *end2 != '\0')
                    bad("expected 'x y', not '" + text + "'");
                polygons.back().back().push_back({x, y, 0.0});
            }
        }
    }
    if (in.bad())
        bad("cannot read it");
    return polygons;
}

}  // namespace

int main(int argc, char **argv) {
    const long times = argc == 4 ? std::strtol(argv[3], nullptr, 10) : 1;
    if ((argc != 3 && argc != 4) || times < 1 || times > 1000) {
        std::fprintf(stderr, "usage: %s FILE PREFIX [TIMES] (1 to 1000 times)\n", argv[0]);
        return 2;
    }
    file = argv[1];
    std::vector<counting::Contours> polygons = read(argv[2]);
    if (polygons.empty()) {
        std::fprintf(stderr, "tessfile: no shape in %s starts with '%s'\n", argv[1], argv[2]);
        return 1;
    }
    unsigned long long vertices = 0;
    for (const auto &p : polygons)
        for (const auto &c : p)
            vertices += c.size();
    counting::program = "tessfile";
    for (long k = 0; k < times; ++k) {
        GLUtesselator *t = gluNewTess();
        if (!t) {
            std::fprintf(stderr, "tessfile: gluNewTess failed\n");
            return 1;
        }
        counting::setUp(t);
        gluTessProperty(t, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
        for (auto &p : polygons) {
            counting::made.clear();
            counting::send(t, p);
        }
        gluDeleteTess(t);
    }
    std::printf("polygons %zu vertices %llu received %llu\n", polygons.size(), vertices, counting::emitted);
    return 0;
}
