// softglu-trace, run as a program: its listings read back to the exact
// stream the library sends, its OBJ faces are GL's, and bad input is refused.
#include "stream.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

struct Traced {
    int status;
    std::string out, err;
};

std::string slurp(const std::string &path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs softglu-trace with `args` (already shell-quoted where needed).
Traced trace(const std::string &args) {
    char errPath[] = "/tmp/softglu-trace-err-XXXXXX";
    const int fd = mkstemp(errPath);
    if (fd < 0)
        return {-1, "", "mkstemp failed"};
    close(fd);
    const std::string command = std::string(SOFTGLU_TRACE_COMMAND) + " " + args + " 2>" + errPath;
    Traced r{-1, "", ""};
    if (std::FILE *p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        const int status = pclose(p);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    r.err = slurp(errPath);
    std::remove(errPath);
    return r;
}

std::vector<std::string> lines(const std::string &text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

bool opNamed(const std::string &name, Op &op) {
    for (Op o : {Op::Begin, Op::End, Op::Normal3f, Op::TexCoord2f, Op::Vertex3f, Op::Vertex2f, Op::Frustum})
        if (name == glrecord::opName(o)) {
            op = o;
            return true;
        }
    return false;
}

// Reads one listed call back.  With `hex`, each argument is taken from its
// bits; otherwise from its decimal, read at the argument's own precision.
::testing::AssertionResult parseCall(const std::string &line, bool hex, Call &c) {
    c = Call{};
    const std::size_t open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close != line.size() - 1 || !opNamed(line.substr(0, open), c.op))
        return ::testing::AssertionFailure() << "not a call: " << line;
    std::istringstream args(line.substr(open + 1, close - open - 1));
    if (c.op == Op::Begin) {
        std::string mode;
        args >> mode;
        c.mode = mode == "GL_QUAD_STRIP" ? GL_QUAD_STRIP : mode == "GL_TRIANGLE_FAN" ? GL_TRIANGLE_FAN : 0;
        return c.mode ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << line;
    }
    for (int i = 0; i < c.argCount(); ++i) {
        std::string decimal, bits;
        args >> decimal;
        if (!decimal.empty() && decimal.back() == ',')
            decimal.pop_back();
        if (hex) {
            args >> bits;
            if (!bits.empty() && bits.back() == ',')
                bits.pop_back();
        }
        const unsigned long long b = std::strtoull(bits.c_str(), nullptr, 16);
        if (c.op == Op::Frustum) {
            const std::uint64_t raw = b;
            if (hex)
                std::memcpy(&c.d[i], &raw, sizeof raw);
            else
                c.d[i] = std::strtod(decimal.c_str(), nullptr);
        } else {
            const std::uint32_t raw = static_cast<std::uint32_t>(b);
            if (hex)
                std::memcpy(&c.f[i], &raw, sizeof raw);
            else
                c.f[i] = std::strtof(decimal.c_str(), nullptr);
        }
        if (decimal.empty() || (hex && bits.size() < 3))
            return ::testing::AssertionFailure() << "argument " << i << " missing: " << line;
    }
    return ::testing::AssertionSuccess();
}

Stream parseListing(const std::string &out, bool hex) {
    Stream s;
    for (const std::string &line : lines(out)) {
        Call c;
        EXPECT_TRUE(parseCall(line, hex, c));
        s.push_back(c);
    }
    return s;
}

struct Case {
    const char *args;
    std::function<void()> draw;
};

// Small calls of every shape; "sphere 0.5" takes the default counts, and
// 0.3 is read as the float nearest 0.3, like the literal 0.3f.
const std::vector<Case> &cases() {
    static const std::vector<Case> all = {
        {"sphere 1.0 6 4", [] { gluSphere(nullptr, 1.0f, 6, 4); }},
        {"sphere 0.5", [] { gluSphere(nullptr, 0.5f, 16, 8); }},
        {"cylinder 1 0.5 2 7 3", [] { gluCylinder(nullptr, 1.0, 0.5, 2.0, 7, 3); }},
        {"disk 0.25 1 12 3", [] { gluDisk(nullptr, 0.25, 1.0, 12, 3); }},
        {"torus 0.3 8 1 16", [] { drawTorus(0.3f, 8, 1.0f, 16); }},
        {"perspective 60 1.333 0.1 100", [] { gluPerspective(60.0, 1.333, 0.1, 100.0); }},
    };
    return all;
}

}  // namespace

TEST(Trace, ListingsReadBackToTheExactStreamTheLibrarySends) {
    for (const Case &c : cases()) {
        SCOPED_TRACE(c.args);
        const Stream expected = record(c.draw);
        for (const char *mode : {"--hex ", ""}) {
            const Traced r = trace(mode + std::string(c.args));
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_TRUE(sameStream(parseListing(r.out, *mode != '\0'), expected)) << mode;
        }
    }
}

TEST(Trace, SummaryCountsTheStream) {
    const Traced r = trace("--summary sphere 1.0 16 8");
    ASSERT_EQ(r.status, 0) << r.err;
    const Stream s = record([] { gluSphere(nullptr, 1.0f, 16, 8); });
    std::size_t vertices = 0;
    for (const Primitive &p : primitives(s))
        vertices += p.vertices.size();
    EXPECT_NE(r.out.find("primitives       10 (GL_QUAD_STRIP 8, GL_TRIANGLE_FAN 2)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("vertices         " + std::to_string(vertices) + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("texcoords        " + std::to_string(count(s, Op::TexCoord2f)) + "\n"), std::string::npos);
    EXPECT_NE(r.out.find("bounding box     x -1 .. 1, y -1 .. 1, z -1 .. 1"), std::string::npos) << r.out;
}

namespace {

struct Obj {
    std::vector<Vec3> v, vn;
    std::size_t vt = 0;
    std::vector<std::vector<int>> faces;  // 0-based vertex indices
    std::vector<std::string> vtLines;
};

Obj readObj(const std::string &path) {
    Obj o;
    for (const std::string &line : lines(slurp(path))) {
        std::istringstream in(line);
        std::string tag;
        in >> tag;
        if (tag == "v" || tag == "vn") {
            Vec3 p{};
            in >> p.x >> p.y >> p.z;
            (tag == "v" ? o.v : o.vn).push_back(p);
        } else if (tag == "vt") {
            o.vtLines.push_back(line);
        } else if (tag == "f") {
            std::vector<int> face;
            for (std::string corner; in >> corner;)
                face.push_back(std::atoi(corner.c_str()) - 1);
            o.faces.push_back(face);
        }
    }
    return o;
}

// How many faces GL makes of the stream's primitives: a quad per pair of
// vertices after the first pair of a strip, a triangle per vertex after the
// first two of a fan.
std::size_t glFaces(const Stream &s) {
    std::size_t n = 0;
    for (const Primitive &p : primitives(s)) {
        const std::size_t size = p.vertices.size();
        if (p.mode == GL_QUAD_STRIP && size >= 4)
            n += size / 2 - 1;
        if (p.mode == GL_TRIANGLE_FAN && size >= 3)
            n += size - 2;
    }
    return n;
}

}  // namespace

TEST(Trace, ObjHoldsGlsFacesInGlsWinding) {
    const std::string path = ::testing::TempDir() + "softglu-trace-test.obj";
    for (const Case &c : cases()) {
        SCOPED_TRACE(c.args);
        const Traced r = trace("--obj " + path + " " + c.args);
        ASSERT_EQ(r.status, 0) << r.err;
        const Obj o = readObj(path);
        const Stream s = record(c.draw);
        EXPECT_EQ(o.faces.size(), glFaces(s));
        EXPECT_EQ(o.v.size(), count(s, Op::Vertex3f) + count(s, Op::Vertex2f));
        EXPECT_EQ(o.vn.size(), o.v.size());
        EXPECT_EQ(o.vtLines.size(), count(s, Op::TexCoord2f) ? o.v.size() : 0u);
        // Every face that has an area turns its front (counterclockwise) to
        // the side its vertex normals point to: the outside.
        for (const std::vector<int> &f : o.faces) {
            const Vec3 a = o.v[f[0]], b = o.v[f[1]], d = o.v[f[2]];
            const Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z}, w{d.x - a.x, d.y - a.y, d.z - a.z};
            const Vec3 n{u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
            if (length(n) > 1e-6)
                EXPECT_GT(dot(n, o.vn[f[0]]), 0.0);
        }
    }
    // The ring of the sphere's top fan sends no texture coordinate: its
    // vertices carry the pole's (0.5, 0).
    ASSERT_EQ(trace("--obj " + path + " sphere 1 6 4").status, 0);
    const Obj sphere = readObj(path);
    ASSERT_GE(sphere.vtLines.size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(sphere.vtLines[i], "vt 0.5 0");
    std::remove(path.c_str());
}

TEST(Trace, BadArgumentsGiveAReasonTheUsageAndExitStatus2) {
    const std::pair<const char *, const char *> bad[] = {
        {"", "no shape given"},
        {"cube 1", "unknown shape 'cube'"},
        {"sphere", "sphere takes 1 to 3 arguments, not 0"},
        {"sphere 1 2 3 4", "sphere takes 1 to 3 arguments, not 4"},
        {"perspective 60 1 0.1", "perspective takes 4 arguments, not 3"},
        {"sphere abc", "RADIUS: 'abc' is not a number"},
        {"cylinder 1 1 2x", "HEIGHT: '2x' is not a number"},
        {"sphere 1 ''", "SLICES: '' is not an integer"},
        {"sphere 1 1.5", "SLICES: '1.5' is not an integer"},
        {"sphere 1 3000000000", "SLICES: '3000000000' is outside the 32-bit integer range"},
        {"torus 0.3 -2147483649 1", "NUMC: '-2147483649' is outside the 32-bit integer range"},
        {"sphere 1e39", "RADIUS: '1e39' is too large for a float"},
        {"sphere 1 100000 100000", "would send 60001300015 GL calls, more than the limit of 10000000"},
        {"--frobnicate sphere 1", "unknown option '--frobnicate'"},
        {"--hex --summary sphere 1", "choose one of"},
        {"sphere 1 --obj", "--obj needs a FILE"},
    };
    for (const auto &[args, reason] : bad) {
        SCOPED_TRACE(args);
        const Traced r = trace(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        const std::vector<std::string> err = lines(r.err);
        ASSERT_EQ(err.size(), 2u) << r.err;
        EXPECT_EQ(err[0].rfind("softglu-trace: ", 0), 0u) << err[0];
        EXPECT_NE(err[0].find(reason), std::string::npos) << err[0];
        EXPECT_EQ(err[1].rfind("usage: softglu-trace", 0), 0u) << err[1];
    }
    // Limits of the integer range and negative numbers are arguments, not
    // errors or options.
    EXPECT_EQ(trace("sphere -1 -2147483648 -1").status, 0);
    EXPECT_EQ(trace("disk 0 1 2147483647 0").status, 0);
}
