// SPDX-License-Identifier: MIT
// softglu-trace, run as a program: its listings read back to the exact
// stream the library sends, its OBJ faces are GL's, bad input is refused,
// the call limit counts exactly, output that cannot be written is reported
// and loses nothing, and memory stays constant however long the stream.
#include "callcount.h"
#include "run.h"
#include "stream.h"

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
