// SPDX-License-Identifier: MIT
// softglu-trace, run as a program: its listings read back to the exact
// stream the library sends, its OBJ faces are GL's, bad input is refused,
// the call limit counts exactly, output that cannot be written is reported
// and loses nothing, and memory stays constant however long the stream.
#include "callcount.h"
#include "run_tool.h"
#include "../unit/stream.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <functional>
#include <sstream>
#include <string>

namespace {

const std::string kTool = SOFTGLU_TRACE_COMMAND;

// Runs softglu-trace with `args` (already shell-quoted where needed) in the
// current directory.
Ran trace(const std::string &args) { return runShell("exec " + kTool + " " + args); }

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
            const Ran r = trace(mode + std::string(c.args));
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_TRUE(sameStream(parseListing(r.out, *mode != '\0'), expected)) << mode;
        }
    }
}

TEST(Trace, SummaryCountsTheStream) {
    const Ran r = trace("--summary sphere 1.0 16 8");
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
    // A directory of its own: suites run side by side (the host's, armel's,
    // the sanitizers', another checkout's) must not share the file.
    const TempDir dir;
    const std::string path = dir / "shape.obj";
    for (const Case &c : cases()) {
        SCOPED_TRACE(c.args);
        const Ran r = trace("--obj " + path + " " + c.args);
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
}

// Each line of a group is one command written several ways: a value after
// its option or after '=', options before or after the shape, "--" before
// the shape.  Every way sends the same output (for --obj, the same file).
TEST(Trace, OptionsReadTheSameWhicheverWayTheyAreWritten) {
    const std::vector<std::vector<std::string>> groups = {
        {"--hex sphere 1 6 4", "sphere 1 6 4 --hex", "--hex -- sphere 1 6 4", "sphere 1 --hex 6 4"},
        {"--max-calls 927 sphere 1", "--max-calls=927 sphere 1", "sphere 1 --max-calls 927"},
        {"sphere -1 -2 -1", "-- sphere -1 -2 -1"},
        {"--obj t.obj torus 0.3 8 1 16", "--obj=t.obj torus 0.3 8 1 16", "torus 0.3 8 1 16 --obj t.obj",
         "--obj=t.obj -- torus 0.3 8 1 16"},
    };
    for (const std::vector<std::string> &group : groups) {
        std::string first;
        for (const std::string &args : group) {
            SCOPED_TRACE(args);
            TempDir dir;
            const Ran r = runShell("cd " + dir.path() + " && exec " + kTool + " " + args);
            ASSERT_EQ(r.status, 0) << r.err;
            const std::string out = r.out + slurp(dir / "t.obj");
            ASSERT_NE(out, "");
            if (first.empty())
                first = out;
            EXPECT_EQ(out, first);
        }
    }
}

TEST(Trace, BadArgumentsGiveAReasonTheUsageAndExitStatus2) {
    const std::string longNumber(100000, '7'), longName = "cube" + std::string(100000, 'x');
    const std::pair<std::string, std::string> bad[] = {
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
        {"--frobnicate sphere 1", "unknown option '--frobnicate'"},
        {"--hex --summary sphere 1", "choose one of"},
        {"sphere 1 --obj", "--obj needs a FILE"},
        // An option where a value belongs, an empty name, a name like an
        // option: refused, and no file is written.
        {"--obj --hex sphere 1 2 1", "--obj needs a FILE, not the option '--hex'"},
        {"--obj '' sphere 1", "--obj needs a FILE, not an empty argument"},
        {"--obj -x.obj sphere 1", "--obj needs a FILE, not '-x.obj' (for a file whose name starts with '-', write ./-x.obj)"},
        {"--max-calls --hex sphere 1", "--max-calls needs a number, not the option '--hex'"},
        {"--max-calls -1 sphere 1", "--max-calls: '-1' is not a count"},
        {"--max-calls 18446744073709551616 sphere 1", "is above 18446744073709551615"},
        // Long names are whole, a flag takes no value, "--" ends the options.
        {"--sum sphere 1", "unknown option '--sum'"},
        {"--hex=1 sphere 1", "--hex takes no value"},
        {"--obj= sphere 1", "--obj needs a FILE, not an empty argument"},
        {"--obj=-x.obj sphere 1", "--obj needs a FILE, not '-x.obj'"},
        {"-- --hex sphere 1", "unknown shape '--hex'"},
        // Over-long arguments are echoed in part.
        {"sphere " + longNumber, "RADIUS: '" + longNumber.substr(0, 40) + "...' is too large for a float"},
        {longName, "unknown shape '" + longName.substr(0, 40) + "...' (shapes: "},
        // The limit states the exact count.
        {"sphere 1 100000 100000", "would send 60001300015 GL calls, more than the limit of 10000000 "},
        {"sphere 1 2147483647 2147483647", "would send 27670116112711811080 GL calls, more than the limit of 10000000 "},
        {"--max-calls 0 perspective 60 1 0.1 100", "would send 1 GL call, more than the limit of 0 "},
        {"--max-calls 1000 disk 0 1 16 100", "would send 7001 GL calls, more than the limit of 1000 "},
        // Math families, whole programs, comparisons: what goes with what.
        {"--libm fast sphere 1", "--libm: 'fast' is no family (native, fused or unfused)"},
        {"--like vax sphere 1", "--like: unknown architecture 'vax' (amd64, arm64, armel, "},
        {"--like amd64 sphere 1", "amd64's family depends on its CPU"},
        {"--libm fused --like armel sphere 1", "choose one of --libm and --like"},
        {"--run", "--run needs a PROGRAM"},
        {"sphere 1 --run", "--run comes before the program"},
        {"--run --summary -- true", "--summary, --obj and --max-calls are for one call"},
        {"--diff a", "--diff takes two listings, not 1"},
        {"--diff --hex a b", "--diff takes two listings and no other option"},
        {"--run --diff a b", "choose one of --run and --diff"},
        {"--obj t.obj -o u.txt sphere 1", "--obj names its own FILE: leave out -o"},
        {"sphere 1 -o", "-o needs a FILE"},
    };
    TempDir dir;
    for (const auto &[args, reason] : bad) {
        SCOPED_TRACE(args.substr(0, 60));
        const Ran r = runShell("cd " + dir.path() + " && exec " + kTool + " " + args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        const std::vector<std::string> err = lines(r.err);
        ASSERT_EQ(err.size(), 2u) << r.err.substr(0, 400);
        EXPECT_EQ(err[0].rfind("softglu-trace: ", 0), 0u) << err[0];
        EXPECT_NE(err[0].find(reason), std::string::npos) << err[0];
        EXPECT_LT(err[0].size(), 200u);
        EXPECT_EQ(err[1].rfind("usage: softglu-trace", 0), 0u) << err[1];
        EXPECT_EQ(dir.names(), std::vector<std::string>{});
    }
    // Limits of the integer range and negative numbers are arguments, not
    // errors or options.  A call that sends nothing is never refused.
    for (const char *ok : {"sphere -1 -2147483648 -1", "disk 0 1 2147483647 0", "torus 0.3 2000000 1 0",
                           "--max-calls 0 torus 0.3 2147483647 1 0", "--max-calls 7001 disk 0 1 16 100"}) {
        SCOPED_TRACE(ok);
        const Ran r = trace(ok);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
    }
}

// The exact count the call limit is checked against: what the library
// sends, for every small count (zero and negative ones included), and the
// largest, which need more than 64 bits.
TEST(Trace, CallCountsAreExact) {
    const int counts[] = {-2147483647 - 1, -3, -2, -1, 0, 1, 2, 3, 5, 8};
    for (int a : counts)
        for (int b : counts) {
            SCOPED_TRACE(std::to_string(a) + " " + std::to_string(b));
            const int sa = a < -3 ? -3 : a, sb = b < -3 ? -3 : b;  // INT_MIN costs nothing either way
            EXPECT_EQ(callcount::decimal(callcount::sphere(a, b)),
                      std::to_string(record([&] { gluSphere(nullptr, 1.0f, sa, sb); }).size()));
            EXPECT_EQ(callcount::decimal(callcount::cylinder(a, b)),
                      std::to_string(record([&] { gluCylinder(nullptr, 1, 0.5, 2, sa, sb); }).size()));
            EXPECT_EQ(callcount::decimal(callcount::disk(a, b)),
                      std::to_string(record([&] { gluDisk(nullptr, 0.25, 1, sa, sb); }).size()));
            EXPECT_EQ(callcount::decimal(callcount::torus(a, b)),
                      std::to_string(record([&] { drawTorus(0.3f, sa, 1.0f, sb); }).size()));
        }
    EXPECT_EQ(callcount::decimal(callcount::perspective()),
              std::to_string(record([] { gluPerspective(60, 1, 0.1, 100); }).size()));
    const int kMax = 2147483647;
    EXPECT_EQ(callcount::decimal(callcount::sphere(kMax, kMax)), "27670116112711811080");
    EXPECT_EQ(callcount::decimal(callcount::cylinder(kMax, kMax)), "27670116101974392830");
    EXPECT_EQ(callcount::decimal(callcount::disk(kMax, kMax)), "18446744069414584319");
    EXPECT_EQ(callcount::decimal(callcount::torus(kMax, kMax)), "18446744069414584318");
    EXPECT_EQ(callcount::decimal(callcount::torus(kMax, 0)), "0");
    EXPECT_FALSE(callcount::exceeds(callcount::disk(kMax, kMax), 18446744069414584319ULL));
    EXPECT_TRUE(callcount::exceeds(callcount::disk(kMax, kMax), 18446744069414584318ULL));
    EXPECT_TRUE(callcount::exceeds(callcount::sphere(kMax, kMax), ~0ULL));
}

namespace {

}  // namespace

TEST(Trace, OutputThatCannotBeWrittenIsReportedAndLosesNothing) {
    const std::string big = "cylinder 1 1 1 64 64";  // 25 088 calls, some 1.5 MB listed
    const std::string obj = "sphere 1 6 4";
    const std::string header = "# softglu-trace sphere 1 6 4\n";
    std::vector<WriteCase> cases;
    for (const std::string mode : {"", "--hex ", "--summary "}) {
        // Standard output on a full device, over the file size limit, on a
        // pipe whose reader has gone (with SIGPIPE ignored: EPIPE).
        cases.push_back({"stdout full", "exec TOOL " + mode + big + " > full", 1,
                         "softglu-trace: cannot write standard output: No space left on device\n", {}, nullptr});
        // (The limit would stop the message too: standard error is a pipe.)
        cases.push_back({"stdout over the size limit",
                         "{ ulimit -f 0; TOOL " + mode + big + " > out; echo \"status $?\"; } 2>&1 | cat >&2", 0,
                         "softglu-trace: cannot write standard output: File too large\nstatus 1\n", {"out"}, nullptr});
        // The reader opens the pipe (a FIFO, its name removed) and has gone
        // before the tool starts: no sleep for a loaded machine to outlast.
        cases.push_back({"stdout pipe closed",
                         "trap '' PIPE; mkfifo pipe; { exec 3<pipe; } & exec 4>pipe; wait; rm pipe; TOOL " + mode +
                             big + " >&4; echo \"status $?\" >&2",
                         0,
                         "softglu-trace: cannot write standard output: Broken pipe\nstatus 1\n", {}, nullptr});
    }
    // Like cat, the tool dies of SIGPIPE silently where it is not ignored.
    cases.push_back({"stdout pipe closed, SIGPIPE", "{ TOOL --hex " + big + "; echo \"status $?\" >&2; } | head -c 1",
                     0, "status 141\n", {}, nullptr});
    // --help checks its writes too.
    cases.push_back({"help to a full device", "exec TOOL --help > full", 1,
                     "softglu-trace: cannot write standard output: No space left on device\n", {}, nullptr});
    // The OBJ: a device is written in place and kept; an existing file, or
    // the file behind a link, keeps its content when the new one cannot be
    // written whole, and no temporary file is left.
    cases.push_back({"obj to full", "exec TOOL --obj full " + obj, 1,
                     "softglu-trace: cannot write full: No space left on device\n", {}, nullptr});
    cases.push_back({"obj over the size limit", "echo old > keep.obj && ulimit -f 1 && exec TOOL --obj keep.obj sphere 1 64 32",
                     1, "softglu-trace: cannot write keep.obj: File too large\n", {"keep.obj"},
                     [](const TempDir &d) { EXPECT_EQ(slurp(d / "keep.obj"), "old\n"); }});
    cases.push_back({"obj through a link over the size limit",
                     "echo old > keep.obj && ln -s keep.obj link.obj && ulimit -f 1 && exec TOOL --obj link.obj sphere 1 64 32",
                     1, "softglu-trace: cannot write link.obj: File too large\n", {"keep.obj", "link.obj"},
                     [](const TempDir &d) {
                         EXPECT_EQ(slurp(d / "keep.obj"), "old\n");
                         EXPECT_EQ(kindOf(d / "link.obj"), "l");
                     }});
    cases.push_back({"obj killed while writing",
                     "echo old > keep.obj; TOOL --obj keep.obj cylinder 1 1 1 1000 1665 & sleep 0.5; kill -TERM $!; "
                     "wait $! 2>/dev/null; echo \"status $?\" >&2",
                     0, "status 143\n", {"keep.obj"},
                     [](const TempDir &d) { EXPECT_EQ(slurp(d / "keep.obj"), "old\n"); }});
    cases.push_back({"obj in a missing directory", "exec TOOL --obj no/such.obj " + obj, 1,
                     "softglu-trace: cannot write no/such.obj: No such file or directory\n", {}, nullptr});
    cases.push_back({"obj to a directory", "mkdir d && exec TOOL --obj d " + obj, 1,
                     "softglu-trace: cannot write d: Is a directory\n", {"d"}, nullptr});
    // Written: a new file gets 0666 less the umask, a replaced one keeps its
    // mode, a link is followed and stays, a FIFO gets the data and stays.
    cases.push_back({"obj new", "exec TOOL --obj new.obj " + obj, 0, "wrote new.obj: 72 vertices, 36 faces\n", {"new.obj"},
                     [&](const TempDir &d) {
                         EXPECT_EQ(startOf(d / "new.obj", header.size()), header);
                         EXPECT_EQ(modeOf(d / "new.obj"), 0644u);
                     }});
    cases.push_back({"obj replaced", "echo old > keep.obj && chmod 600 keep.obj && exec TOOL --obj keep.obj " + obj, 0,
                     "wrote keep.obj", {"keep.obj"}, [&](const TempDir &d) {
                         EXPECT_EQ(startOf(d / "keep.obj", header.size()), header);
                         EXPECT_EQ(modeOf(d / "keep.obj"), 0600u);
                     }});
    cases.push_back({"obj through a link", "echo old > keep.obj && ln -s keep.obj link.obj && exec TOOL --obj link.obj " + obj,
                     0, "wrote link.obj", {"keep.obj", "link.obj"}, [&](const TempDir &d) {
                         EXPECT_EQ(kindOf(d / "link.obj"), "l");
                         EXPECT_EQ(startOf(d / "keep.obj", header.size()), header);
                     }});
    cases.push_back({"obj through a dangling link", "ln -s made.obj link.obj && exec TOOL --obj link.obj " + obj, 0,
                     "wrote link.obj", {"link.obj", "made.obj"}, [&](const TempDir &d) {
                         EXPECT_EQ(kindOf(d / "link.obj"), "l");
                         EXPECT_EQ(startOf(d / "made.obj", header.size()), header);
                     }});
    cases.push_back({"obj to a FIFO", "mkfifo fifo && { cat fifo > got & } && TOOL --obj fifo " + obj + " && wait", 0,
                     "wrote fifo", {"fifo", "got"}, [&](const TempDir &d) {
                         EXPECT_EQ(kindOf(d / "fifo"), "p");
                         EXPECT_EQ(startOf(d / "got", header.size()), header);
                     }});
    // /dev/stdout is standard output itself: the OBJ alone goes there (the
    // status line to standard error), appended after `>>`, and a full
    // device behind it is reported.
    cases.push_back({"obj to /dev/stdout", "echo first > out && exec TOOL --obj /dev/stdout " + obj + " >> out", 0,
                     "wrote /dev/stdout", {"out"}, [&](const TempDir &d) {
                         EXPECT_EQ(startOf(d / "out", 6 + header.size()), "first\n" + header);
                         EXPECT_EQ(slurp(d / "out").find("wrote"), std::string::npos);
                     }});
    cases.push_back({"obj to /dev/stdout, a pipe", "TOOL --obj /dev/stdout " + obj + " | cat > out", 0,
                     "wrote /dev/stdout", {"out"},
                     [&](const TempDir &d) { EXPECT_EQ(startOf(d / "out", header.size()), header); }});
    cases.push_back({"obj to /dev/fd/5", "exec 5> out && exec TOOL --obj /dev/fd/5 " + obj, 0, "wrote /dev/fd/5",
                     {"out"}, [&](const TempDir &d) { EXPECT_EQ(startOf(d / "out", header.size()), header); }});
    cases.push_back({"obj to /dev/stdout on full", "exec TOOL --obj /dev/stdout " + obj + " > full", 1,
                     "softglu-trace: cannot write /dev/stdout: No space left on device\n", {}, nullptr});
    runWriteCases(cases, kTool);
}

TEST(Trace, MemoryStaysConstantHoweverLongTheStream) {
    // Ten times the calls (60 200 and 602 000; under the emulator, 20 000
    // and 200 000), the same memory within noise; a tracer that kept the
    // stream would take 40 MB (13 MB) more.
#ifdef SOFTGLU_EMULATED
    const std::string small = " cylinder 1 0.5 2 100 32 > /dev/null", large = " cylinder 1 0.5 2 100 332 > /dev/null";
#else
    const std::string small = " cylinder 1 0.5 2 100 99 > /dev/null", large = " cylinder 1 0.5 2 100 999 > /dev/null";
#endif
    for (const std::string mode : {"--hex", "--summary"}) {
        SCOPED_TRACE(mode);
        const Ran few = trace(mode + small), many = trace(mode + large);
        ASSERT_EQ(few.status, 0) << few.err;
        ASSERT_EQ(many.status, 0) << many.err;
        EXPECT_LT(many.maxRssKiB - few.maxRssKiB, 2048) << few.maxRssKiB << " KiB, then " << many.maxRssKiB;
#if !defined(SOFTGLU_EMULATED) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        EXPECT_LT(many.maxRssKiB, 20 * 1024);
#endif
    }
}

namespace {

std::uint64_t hexBits(const std::string &token) { return std::strtoull(token.c_str(), nullptr, 16); }

// Makes again the softglu call a --hex listing's line names, with the
// arguments' bits as listed, and returns what it sends.
::testing::AssertionResult remake(const std::string &line, Stream &out) {
    const std::size_t open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos)
        return ::testing::AssertionFailure() << "not a call: " << line;
    const std::string name = line.substr(0, open);
    std::vector<std::string> value, bits;
    std::istringstream in(line.substr(open + 1, close - open - 1));
    for (std::string arg; std::getline(in, arg, ',');) {
        std::istringstream words(arg);
        std::string v, b;
        words >> v >> b;
        value.push_back(v);
        bits.push_back(b);
    }
    auto d = [&](std::size_t i) {
        double x;
        const std::uint64_t b = hexBits(bits.at(i));
        std::memcpy(&x, &b, sizeof x);
        return x;
    };
    auto f = [&](std::size_t i) {
        float x;
        const std::uint32_t b = static_cast<std::uint32_t>(hexBits(bits.at(i)));
        std::memcpy(&x, &b, sizeof x);
        return x;
    };
    auto n = [&](std::size_t i) { return std::atoi(value.at(i).c_str()); };
    static GLUquadricObj someQuadric;
    auto h = [&](std::size_t i) { return value.at(i) == "null" ? nullptr : &someQuadric; };
    if (name == "gluPerspective")
        out = record([&] { gluPerspective(d(0), d(1), d(2), d(3)); });
    else if (name == "gluCylinder")
        out = record([&] { gluCylinder(h(0), d(1), d(2), d(3), n(4), n(5)); });
    else if (name == "gluDisk")
        out = record([&] { gluDisk(h(0), d(1), d(2), n(3), n(4)); });
    else if (name == "gluSphere")
        out = record([&] { gluSphere(h(0), f(1), n(2), n(3)); });
    else if (name == "drawTorus")
        out = record([&] { drawTorus(f(0), n(1), f(2), n(3)); });
    else if (line == "gluNewQuadric() = null" || line == "gluQuadricDrawStyle(null, GLU_FILL)")
        out.clear();
    else
        return ::testing::AssertionFailure() << "not a call zoom makes: " << line;
    return ::testing::AssertionSuccess();
}

bool exists(const std::string &path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// The word after "math family: " in softglu-trace --version's output.
std::string familyOf(const std::string &version) {
    const std::size_t at = version.find("math family: ");
    return at == std::string::npos ? "" : version.substr(at + 13, version.find(' ', at + 13) - at - 13);
}

}  // namespace

// softglu-trace --run on zoom (examples/trace), a program that draws 20
// quadrics in each of 8 frames.  Here: every softglu call it makes is
// listed with exactly the GL calls the library sends for those arguments
// (and none of the program's own), while the program's output, image and
// exit status are what they are untraced.  In a cross build: the program
// cross-built and run under the emulator, traced by this machine's
// softglu-trace, lists exactly what the host's zoom does in this
// architecture's family, and --diff names the first math-family
// difference in the other.
TEST(Trace, RunListsEachSoftgluCallOfAProgramAndChangesNothing) {
#ifndef SOFTGLU_ZOOM
    GTEST_SKIP() << "zoom (examples/trace) is not part of this build";
#else
    TempDir dir;
    const std::string cd = "cd " + dir.path() + " && ";
#ifdef SOFTGLU_EMULATED
    const std::string host = SOFTGLU_HOST_TRACE, hostZoom = std::string(SOFTGLU_HOST_BUILD) + "/examples/trace/zoom";
    if (!exists(host) || !exists(hostZoom))
        GTEST_SKIP() << "no host build with softglu-trace and zoom at " << SOFTGLU_HOST_BUILD;
    const std::string like = host + " --like " SOFTGLU_DEB_ARCH;
    const Ran version = runShell("exec " + like + " --version");
    if (version.status != 0)
        GTEST_SKIP() << "this machine cannot run in " SOFTGLU_DEB_ARCH "'s family: " << version.err;
    // The emulator is given the program's own interposer (-E LD_PRELOAD).
    const Ran board = runShell(cd + "exec " + host + " --run --hex -o board.txt -- " SOFTGLU_EMULATOR
                               " -E LD_PRELOAD=" SOFTGLU_INTERPOSER " " SOFTGLU_ZOOM " board.png");
    ASSERT_EQ(board.status, 0) << board.err;
    EXPECT_EQ(board.out, "zoom: 8 frames of 20 quadrics, the last at 2.7602 degrees\n");
    const Ran here = runShell(cd + "exec " + like + " --run --hex -o here.txt -- " + hostZoom + " here.png");
    ASSERT_EQ(here.status, 0) << here.err;
    const Ran same = runShell(cd + "exec " + host + " --diff here.txt board.txt");
    EXPECT_EQ(same.status, 0) << same.out;
    EXPECT_EQ(same.out.rfind("The listings are identical: 170 softglu calls, 112728 GL calls, both in the ", 0), 0u)
        << same.out;

    const std::string other = familyOf(version.out) == "fused" ? "unfused" : "fused";
    const Ran inOther = runShell(cd + "exec " + host + " --libm=" + other + " --run --hex -o other.txt -- " +
                                 hostZoom + " other.png");
    if (inOther.status == 2) {
        std::printf("not compared with the %s family, which this machine cannot run: %s", other.c_str(),
                    inOther.err.c_str());
        return;
    }
    ASSERT_EQ(inOther.status, 0) << inOther.err;
    const Ran parts = runShell(cd + "exec " + host + " --diff other.txt board.txt");
    EXPECT_EQ(parts.status, 1);
    EXPECT_NE(parts.out.find("at GL call 1 of softglu call 108 (line 70565 of A, line 70565 of B)"),
              std::string::npos) << parts.out;
    EXPECT_NE(parts.out.find("A math-family difference"), std::string::npos) << parts.out;
#else
    const std::string zoom = SOFTGLU_ZOOM;
    const Ran plain = runShell(cd + "exec " + zoom + " plain.png");
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Ran traced = runShell(cd + "exec " + kTool + " --run --hex -o run.txt -- " + zoom + " traced.png");
    ASSERT_EQ(traced.status, 0) << traced.err;
    EXPECT_EQ(traced.out, plain.out);  // the program's own standard output, untouched
    EXPECT_NE(traced.err.find("wrote run.txt: 170 softglu calls, 112728 GL calls\n"), std::string::npos) << traced.err;
    // Drawn through Mesa, the same image (a build without Mesa writes none).
    EXPECT_EQ(exists(dir / "plain.png"), exists(dir / "traced.png"));
    EXPECT_EQ(slurp(dir / "traced.png"), slurp(dir / "plain.png"));

    // Each softglu call is followed by exactly what it sends.
    const std::vector<std::string> listed = lines(slurp(dir / "run.txt"));
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed[0], "# math family: " + familyOf(trace("--version").out));
    std::size_t calls = 0;
    for (std::size_t i = 1; i < listed.size();) {
        SCOPED_TRACE(listed[i]);
        Stream expected, got;
        ASSERT_TRUE(remake(listed[i], expected));
        ++calls;
        for (++i; i < listed.size() && listed[i].rfind("glu", 0) != 0 && listed[i].rfind("drawTorus", 0) != 0; ++i) {
            Call c;
            ASSERT_TRUE(parseCall(listed[i], true, c));
            got.push_back(c);
        }
        ASSERT_TRUE(sameStream(got, expected));
    }
    EXPECT_EQ(calls, 170u);
    // In the format of one call's listing, byte for byte.
    const std::string listing = slurp(dir / "run.txt"), sphere = "gluSphere(null, 1 0x3f800000, 12, 6)\n";
    const std::string one = trace("--hex sphere 1 12 6").out;
    ASSERT_NE(listing.find(sphere), std::string::npos);
    EXPECT_EQ(listing.substr(listing.find(sphere) + sphere.size(), one.size()), one);

    // Without -o, the listing goes to standard error: decimals alone.
    const Ran toErr = runShell(cd + "exec " + kTool + " --run -- " + zoom + " again.png");
    EXPECT_EQ(toErr.out, plain.out);
    EXPECT_NE(toErr.err.find("\ngluSphere(null, 1, 12, 6)\nglBegin(GL_TRIANGLE_FAN)\n"), std::string::npos);

    // The exit status is the program's, or says why it could not run.
    const struct {
        const char *args;
        int status;
        const char *err;
    } statuses[] = {
        {"--run -- sh -c 'exit 7'", 7, "made no call of softglu's that the interposer saw"},
        {"--run -- sh -c 'kill -TERM $$'", 143, "was killed by signal 15"},
        {"--run -- ./no-such-program", 127, "cannot run ./no-such-program: No such file or directory"},
        {"--run -o t.txt -- zoom-without-its-path", 127, "cannot run zoom-without-its-path"},
    };
    for (const auto &s : statuses) {
        SCOPED_TRACE(s.args);
        const Ran r = runShell(cd + "exec " + kTool + " " + s.args);
        EXPECT_EQ(r.status, s.status);
        EXPECT_NE(r.err.find(s.err), std::string::npos) << r.err;
    }
    EXPECT_FALSE(exists(dir / "t.txt"));

#ifdef __x86_64__
    // --libm=unfused runs the program with the tunable added to those set.
    if (familyOf(trace("--version").out) == "fused") {
        const std::pair<const char *, const char *> tunables[] = {
            {"glibc.malloc.perturb=0", "glibc.malloc.perturb=0:glibc.cpu.hwcaps=-AVX2,-FMA\n"},
            {"glibc.cpu.hwcaps=-AVX512F:glibc.malloc.perturb=0",
             "glibc.cpu.hwcaps=-AVX512F,-AVX2,-FMA:glibc.malloc.perturb=0\n"},
        };
        for (const auto &[set, expected] : tunables) {
            SCOPED_TRACE(set);
            const Ran r = runShell(std::string("GLIBC_TUNABLES=") + set + " exec " + kTool +
                                   " --libm=unfused --run -- printenv GLIBC_TUNABLES");
            EXPECT_EQ(r.out, expected) << r.err;
        }
    }
#endif
#endif
#endif
}

// Each softglu call of a listing and the names of the GL calls that follow
// it, each name once.
std::vector<std::pair<std::string, std::string>> softgluCallsAndTheirGL(const std::vector<std::string> &listed) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const std::string &line : listed) {
        const bool gl = line.rfind("gl", 0) == 0 && line.size() > 2 && line[2] != 'u';
        if (!gl && line[0] != '#')
            out.push_back({line, ""});
        else if (gl && !out.empty() && out.back().second.find(line.substr(0, line.find('('))) == std::string::npos)
            out.back().second += line.substr(0, line.find('(')) + " ";
    }
    return out;
}

// softglu-trace --run on the NURBS landscape (examples/legacy/landscape.c):
// each NURBS call listed with its enums by name, and each end call
// followed by what it sends: the viewport read for the sampling, the
// trimmed surface's triangles with their normals, the curve's line strip.
TEST(Trace, RunListsTheNurbsCallsAndWhatTheirEndsSend) {
#if !defined(SOFTGLU_LANDSCAPE) || defined(SOFTGLU_EMULATED)
    GTEST_SKIP() << "the legacy examples are not part of this build";
#else
    TempDir dir;
    const Ran traced = runShell("cd " + dir.path() + " && exec " + kTool + " --run -o landscape.txt -- " +
                                SOFTGLU_LANDSCAPE + " landscape.png");
    EXPECT_EQ(traced.status, 0) << traced.err;
    const std::vector<std::pair<std::string, std::string>> wants = {
        {"gluNewNurbsRenderer()", ""},
        {"gluNurbsProperty(non-null, GLU_SAMPLING_TOLERANCE, 25)", ""},
        {"gluNurbsProperty(non-null, GLU_DISPLAY_MODE, 100012)", ""},
        {"gluNurbsCallback(non-null, GLU_ERROR, non-null)", ""},
        {"gluPerspective(40, 1, 1, 20)", "glFrustum "},
        {"gluLookAt(0, 9, 0, 0, 0, 0, 0, 0, -1)", "glMultMatrixd glTranslated "},
        {"gluBeginSurface(non-null)", ""},
        {"gluNurbsSurface(non-null, 12, non-null, 12, non-null, 24, 3, non-null, 4, 4, GL_MAP2_VERTEX_3)", ""},
        {"gluBeginTrim(non-null)", ""},
        {"gluPwlCurve(non-null, 5, non-null, 2, GLU_MAP1_TRIM_2)", ""},
        {"gluEndTrim(non-null)", ""},
        {"gluBeginTrim(non-null)", ""},
        {"gluPwlCurve(non-null, 33, non-null, 2, GLU_MAP1_TRIM_2)", ""},
        {"gluEndTrim(non-null)", ""},
        {"gluEndSurface(non-null)", "glGetIntegerv glBegin glNormal3f glVertex3f glEnd "},
        {"gluBeginCurve(non-null)", ""},
        {"gluNurbsCurve(non-null, 8, non-null, 3, non-null, 4, GL_MAP1_VERTEX_3)", ""},
        {"gluEndCurve(non-null)", "glGetIntegerv glBegin glVertex3f glEnd "},
        {"gluDeleteNurbsRenderer(non-null)", ""},
    };
    EXPECT_EQ(softgluCallsAndTheirGL(lines(slurp(dir / "landscape.txt"))), wants);
#endif
}

// softglu-trace --run on legacy programs built under the switch, whose
// compatibility layer is linked into them: its calls are listed as
// libsoftglu's are, each followed by the GL calls it sends, and the
// program draws what it draws untraced.  solar sets a handle's every
// setting and draws quadrics through it; pick builds mipmaps and picks.
TEST(Trace, RunListsTheCompatibilityLayerOfALegacyProgram) {
#if !defined(SOFTGLU_SOLAR) || defined(SOFTGLU_EMULATED)
    GTEST_SKIP() << "the legacy examples are not part of this build";
#else
    TempDir dir;
    const std::string cd = "cd " + dir.path() + " && exec ";
    auto listingOf = [&](const std::string &program, const std::string &name) {
        const Ran plain = runShell(cd + program + " " + name + "-plain.png");
        const Ran traced = runShell(cd + kTool + " --run -o " + name + ".txt -- " + program + " " + name + ".png");
        EXPECT_EQ(traced.status, 0) << traced.err;
        EXPECT_EQ(traced.out, plain.out);
        EXPECT_EQ(slurp(dir / (name + ".png")), slurp(dir / (name + "-plain.png")));
        return lines(slurp(dir / (name + ".txt")));
    };
    const auto calls = softgluCallsAndTheirGL;

    const std::vector<std::pair<std::string, std::string>> solar = calls(listingOf(SOFTGLU_SOLAR, "solar"));
    const std::vector<std::pair<std::string, std::string>> solarWants = {
        {"gluNewQuadric() = non-null", ""},
        {"gluQuadricCallback(non-null, GLU_ERROR, non-null)", ""},
        {"gluQuadricDrawStyle(non-null, GLU_FILL)", ""},
        {"gluQuadricNormals(non-null, GLU_SMOOTH)", ""},
        {"gluQuadricOrientation(non-null, GLU_OUTSIDE)", ""},
        {"gluQuadricTexture(non-null, GL_TRUE)", ""},
        {"gluPerspective(40, 1.6, 1, 60)", "glFrustum "},
        {"gluOrtho2D(0, 640, 0, 400)", "glOrtho "},
        {"gluLookAt(0, 7, 16, 0, 0, 0, 0, 1, 0)", "glMultMatrixd glTranslated "},
        {"gluDisk(non-null, 3.77, 3.8299999999999996, 120, 1)", "glNormal3f glBegin glTexCoord2f glVertex2f glEnd "},
        {"gluDisk(non-null, 6.47, 6.53, 120, 1)", "glNormal3f glBegin glTexCoord2f glVertex2f glEnd "},
        {"gluDisk(non-null, 10.47, 10.53, 120, 1)", "glNormal3f glBegin glTexCoord2f glVertex2f glEnd "},
        {"gluSphere(non-null, 2.2, 48, 24)", "glBegin glNormal3f glTexCoord2f glVertex3f glEnd "},
        {"gluSphere(non-null, 0.4, 32, 16)", "glBegin glNormal3f glTexCoord2f glVertex3f glEnd "},
        {"gluSphere(non-null, 1.1, 48, 24)", "glBegin glNormal3f glTexCoord2f glVertex3f glEnd "},
        {"gluSphere(non-null, 0.3, 32, 16)", "glBegin glNormal3f glTexCoord2f glVertex3f glEnd "},
        {"gluSphere(non-null, 1.3, 32, 16)", "glBegin glNormal3f glTexCoord2f glVertex3f glEnd "},
        {"gluDisk(non-null, 1.7, 2.7, 64, 3)", "glNormal3f glBegin glTexCoord2f glVertex2f glEnd "},
        {"gluDeleteQuadric(non-null)", ""},
    };
    EXPECT_EQ(solar, solarWants);

    const std::vector<std::string> pickListed = listingOf(SOFTGLU_PICK, "pick");
    const std::string listing = slurp(dir / "pick.txt");
    EXPECT_NE(listing.find("gluPickMatrix(200, 150, 3, 3, [0, 0, 400, 300])\nglTranslated(0, 0, 0)\n"
                           "glScaled(133.33333333333334, 100, 1)\n"),
              std::string::npos);
    // A mipmap's levels: the pixel store read, set, each level uploaded
    // (its bytes and their hash) and the store put back.
    std::string mipmaps;
    for (const auto &[call, gl] : calls(pickListed))
        if (call.rfind("gluBuild", 0) == 0)
            mipmaps += call + ": " + gl + "\n";
    EXPECT_EQ(mipmaps,
              "gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 60, 36, GL_RGB, GL_UNSIGNED_BYTE, non-null): "
              "glGetIntegerv glPixelStorei glTexImage2D \n"
              "gluBuild1DMipmaps(GL_TEXTURE_1D, GL_RGB, 48, GL_RGB, GL_UNSIGNED_BYTE, non-null): "
              "glGetIntegerv glPixelStorei glTexImage1D \n");
    EXPECT_NE(listing.find("glTexImage2D(GL_TEXTURE_2D, 0, 3, 64, 32, 0, GL_RGB, GL_UNSIGNED_BYTE, 6144 bytes 0x"),
              std::string::npos);
#endif
}

// A legacy program that hands the tessellator GL's own glBegin,
// glVertex3dv, glEnd and glEdgeFlag: the tessellator's calls are listed
// (gluTessVertex with its point), and the GL calls its callbacks make
// inside gluTessEndPolygon and gluEndPolygon follow them, through the
// interposer.  The calls the older polygon calls make themselves are not
// listed again.
TEST(Trace, RunListsTheTessellatorsCallsAndTheGLItsCallbacksSend) {
#if !defined(SOFTGLU_TRACE_TESS) || defined(SOFTGLU_EMULATED)
    GTEST_SKIP() << "the tessellating program is not part of this build";
#else
    TempDir dir;
    const Ran plain = runShell(std::string("exec ") + SOFTGLU_TRACE_TESS);
    const Ran traced = runShell(std::string("exec ") + kTool + " --run -o " + (dir / "tess.txt") + " -- " +
                                SOFTGLU_TRACE_TESS);
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(traced.status, 0) << traced.err;
    EXPECT_EQ(traced.out, plain.out);
    EXPECT_NE(plain.out.find(", 5 crossings"), std::string::npos) << plain.out;
    const std::vector<std::string> listed = lines(slurp(dir / "tess.txt"));
    const std::string vertex = "gluTessVertex(non-null, ";
    const std::vector<std::pair<std::string, std::string>> wants = {
        {"gluOrtho2D(0, 10, 0, 10)", "glOrtho "},
        {"gluNewTess()", ""},
        {"gluTessCallback(non-null, GLU_TESS_BEGIN, non-null)", ""},
        {"gluTessCallback(non-null, GLU_TESS_VERTEX, non-null)", ""},
        {"gluTessCallback(non-null, GLU_TESS_END, non-null)", ""},
        {"gluTessCallback(non-null, GLU_TESS_EDGE_FLAG, non-null)", ""},
        {"gluTessCallback(non-null, GLU_TESS_COMBINE, non-null)", ""},
        {"gluTessCallback(non-null, GLU_ERROR, non-null)", ""},  // GLU_TESS_ERROR's value
        {"gluTessProperty(non-null, GLU_TESS_WINDING_RULE, 100131)", ""},
        {"gluTessNormal(non-null, 0, 0, 1)", ""},
        {"gluTessBeginPolygon(non-null, null)", ""},
        {"gluTessBeginContour(non-null)", ""},
        {vertex + "[5, 9, 0], non-null)", ""},
        {vertex + "[2, 1, 0], non-null)", ""},
        {vertex + "[9, 6, 0], non-null)", ""},
        {vertex + "[1, 6, 0], non-null)", ""},
        {vertex + "[8, 1, 0], non-null)", ""},
        {"gluTessEndContour(non-null)", ""},
        {"gluTessEndPolygon(non-null)", "glBegin glEdgeFlag glVertex3dv glEnd "},
        {"gluTessCallback(non-null, GLU_TESS_EDGE_FLAG, null)", ""},
        {"gluTessProperty(non-null, GLU_TESS_WINDING_RULE, 100130)", ""},
        {"gluBeginPolygon(non-null)", ""},
        {vertex + "[0.5, 0.5, 0], non-null)", ""},
        {vertex + "[4.5, 0.5, 0], non-null)", ""},
        {vertex + "[4.5, 4.5, 0], non-null)", ""},
        {vertex + "[0.5, 4.5, 0], non-null)", ""},
        {"gluNextContour(non-null, GLU_INTERIOR)", ""},
        {vertex + "[1.5, 1.5, 0], non-null)", ""},
        {vertex + "[1.5, 3.5, 0], non-null)", ""},
        {vertex + "[3.5, 3.5, 0], non-null)", ""},
        {vertex + "[3.5, 1.5, 0], non-null)", ""},
        {"gluEndPolygon(non-null)", "glBegin glVertex3dv glEnd "},
        {"gluDeleteTess(non-null)", ""},
    };
    EXPECT_EQ(softgluCallsAndTheirGL(listed), wants);
    // Each polygon one GL_TRIANGLES primitive of whole triangles, the star's
    // vertices its own points and the crossings the combine callback made.
    const std::string star = "glVertex3dv(5, 9, 0)", crossing = "glVertex3dv(3.875, 6, 0)";
    int begins = 0, vertices = 0, ends = 0;
    bool starPoint = false, crossingPoint = false;
    for (const std::string &line : listed) {
        begins += line == "glBegin(GL_TRIANGLES)";
        vertices += line.rfind("glVertex3dv(", 0) == 0;
        ends += line == "glEnd()";
        starPoint = starPoint || line == star;
        crossingPoint = crossingPoint || line == crossing;
    }
    EXPECT_EQ(begins, 2);
    EXPECT_EQ(ends, 2);
    EXPECT_GT(vertices, 0);
    EXPECT_EQ(vertices % 3, 0);
    EXPECT_TRUE(starPoint);
    EXPECT_TRUE(crossingPoint);
#endif
}

// softglu-trace --diff on pairs of small listings: the verdict and the
// exit status for each way two listings can part.
TEST(Trace, DiffNamesWhereListingsPartAndWhy) {
    const std::string fused = "# math family: fused\n", unfused = "# math family: unfused\n";
    const std::string sphere = "gluSphere(null, 1 0x3f800000, 4, 2)\n";
    const std::string begin = "glBegin(GL_TRIANGLE_FAN)\n";
    const std::string v1 = "glVertex3f(0 0x00000000, 0.5 0x3f000000, 0.4 0x3ecccccd)\n";
    const std::string v2 = "glVertex3f(0 0x00000000, 0.5 0x3f000000, 0.40000004 0x3eccccce)\n";
    const std::string plain1 = "glVertex3f(0, 0.5, 0.4)\n";
    const std::string disk = "gluDisk(null, 0 0x0000000000000000, 1 0x3ff0000000000000, 16, 1)\n";
    const std::string disk24 = "gluDisk(null, 0 0x0000000000000000, 1 0x3ff0000000000000, 24, 1)\n";
    const std::string normal = "glNormal3f(0 0x00000000, 0 0x00000000, 1 0x3f800000)\n";
    const struct {
        const char *what;
        std::string a, b;
        int status;
        std::vector<std::string> says;
    } cases[] = {
        {"identical", fused + sphere + begin + v1 + disk + normal, fused + sphere + begin + v1 + disk + normal, 0,
         {"The listings are identical: 2 softglu calls, 3 GL calls, both in the fused family.\n"}},
        {"--hex against plain", sphere + begin + v1, "gluSphere(null, 1, 4, 2)\n" + begin + plain1, 0,
         {"The listings are identical: 1 softglu call, 2 GL calls.\n"}},
        {"a point, --hex against plain",
         "gluTessVertex(non-null, [5 0x4014000000000000, 0.5 0x3fe0000000000000, 0 0x0000000000000000], null)\n",
         "gluTessVertex(non-null, [5, 0.5, 0], null)\n", 0, {"The listings are identical: 1 softglu call"}},
        {"a point's coordinate", "gluTessVertex(non-null, [5, 0.5, 0], null)\n",
         "gluTessVertex(non-null, [5, 0.25, 0], null)\n", 1, {"argument 3: 0.5 in A, 0.25 in B\n"}},
        {"the families' math", fused + sphere + begin + v1, unfused + sphere + begin + v2, 1,
         {"The listings part at GL call 2 of softglu call 1 (line 4 of A, line 4 of B):\n  " + sphere +
              "  A: " + v1 + "  B: " + v2,
          "  argument 3: 0.4 0x3ecccccd in A, 0.40000004 0x3eccccce in B\n",
          "A math-family difference: the same call with the same arguments sent other values, A running in the "
          "fused family and B in the unfused"}},
        {"decimals alone, bits worked out", sphere + begin + plain1, sphere + begin + "glVertex3f(0, 0.5, 0.40000004)\n",
         1, {"argument 3: 0.4 0x3ecccccd in A, 0.40000004 0x3eccccce in B\n", "the two math libraries differ"}},
        {"one family, other values", unfused + sphere + begin + v1, unfused + sphere + begin + v2, 1,
         {"Not a math-family difference", "yet both ran in the unfused family"}},
        {"one call's listings", begin + v1, begin + v2, 1,
         {"The listings part at GL call 2 (line 2 of A, line 2 of B):\n", "Where both list the same call"}},
        {"the program's own arguments", sphere + disk + normal, sphere + disk24 + normal, 1,
         {"The listings part at softglu call 2 (line 2 of A, line 2 of B):\n  A: " + disk + "  B: " + disk24,
          "  argument 4: 16 in A, 24 in B\n", "the program itself called softglu differently"}},
        {"more GL calls", sphere + begin + disk, sphere + begin + v1 + disk, 1,
         {"Softglu call 1 sends 1 GL call in A and more in B (line 3 of A, line 3 of B):\n",
          "follows from its arguments alone"}},
        {"other GL calls", sphere + begin + v1, sphere + begin + normal, 1, {"the GL calls themselves differ"}},
        {"cut short", sphere + begin + v1 + disk, sphere + begin, 1,
         {"B ends after line 2, in softglu call 1; A goes on at line 3:\n  " + v1}},
        {"NaNs of two processors", sphere + "glVertex3f(-nan 0xffc00000, 0 0x00000000, 1 0x3f800000)\n",
         sphere + "glVertex3f(nan 0x7fc00000, 0 0x00000000, 1 0x3f800000)\n", 0,
         {"identical: 1 softglu call, 1 GL call", "(1 of them sent NaNs whose sign or payload differ"}},
        {"no listing", sphere + "hello\n", sphere + "hello\n", 2, {}},
    };
    TempDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::FILE *a = std::fopen((dir / "a").c_str(), "w"), *b = std::fopen((dir / "b").c_str(), "w");
        ASSERT_TRUE(a && b);
        std::fputs(c.a.c_str(), a);
        std::fputs(c.b.c_str(), b);
        ASSERT_EQ(std::fclose(a) | std::fclose(b), 0);
        const Ran r = trace("--diff " + dir / "a" + " " + dir / "b");
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        for (const std::string &s : c.says)
            EXPECT_NE(r.out.find(s), std::string::npos) << "missing: " << s << "\nin: " << r.out;
        if (c.status == 2)
            EXPECT_NE(r.err.find("line 2: not a line of a listing: 'hello'"), std::string::npos) << r.err;
    }
    const Ran missing = trace("--diff " + dir / "a" + " " + dir / "none");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read " + dir / "none" + ": No such file or directory"), std::string::npos);
}
