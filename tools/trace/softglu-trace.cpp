// SPDX-License-Identifier: MIT
// softglu-trace: makes one softglu call and prints the GL calls it sends;
// or traces a whole program's softglu calls (run.cpp); or compares two
// listings (diff.cpp).
//
// The program links libsoftglu and defines the GL entry points itself (the
// recording GL of recording-gl/, exported so the library binds to it), so
// what it prints is exactly what the library sent, bit for bit.
#include <GL/glu.h>

#include "args.h"
#include "callcount.h"
#include "diff.h"
#include "families.h"
#include "glrecord.h"
#include "output.h"
#include "run.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: softglu-trace [OPTIONS] SHAPE ARGS... | --run [OPTIONS] -- PROGRAM [ARGS...] | --diff A B  "
    "(--help for more)";

const char kHelp[] = R"(softglu-trace: make one softglu call and print the GL calls it sends,
trace a whole program's softglu calls, or compare two listings.

usage: softglu-trace [--hex | --summary | --obj FILE] [-o FILE] [--max-calls N]
                     [--libm FAMILY | --like ARCH] SHAPE ARGS...
       softglu-trace --run [--hex] [-o FILE] [--libm FAMILY | --like ARCH]
                     -- PROGRAM [ARGS...]
       softglu-trace --diff LISTING LISTING

Shapes, with their arguments in call order (float: single precision, read
with strtof so the decimal is rounded once; double; int: 32-bit signed):
  sphere RADIUS [SLICES [STACKS]]
      gluSphere(NULL, RADIUS float, SLICES int = 16, STACKS int = 8)
  cylinder BASE TOP HEIGHT [SLICES [STACKS]]
      gluCylinder(NULL, BASE double, TOP double, HEIGHT double,
                  SLICES int = 16, STACKS int = 4)
  disk INNER OUTER [SLICES [LOOPS]]
      gluDisk(NULL, INNER double, OUTER double, SLICES int = 16, LOOPS int = 1)
  torus RC NUMC RT [NUMT]
      drawTorus(RC float, NUMC int, RT float, NUMT int = 16)
  perspective FOVY ASPECT ZNEAR ZFAR
      gluPerspective(FOVY double, ASPECT double, ZNEAR double, ZFAR double)
Arguments in brackets may be left off from the right and take the values
shown.  Numbers may be written as decimals, hex floats (0x1.8p-1), inf or
nan; integers as decimals.

Output, one of:
  (default)    one GL call per line, each value in the shortest decimal that
               reads back to the same float or double
  --hex        the same with each argument's IEEE bits in hex after it
  --summary    call counts, primitives by kind, vertices, normals, texture
               coordinates and the bounding box of the vertices
  --obj FILE   write the geometry to FILE as Wavefront OBJ: one v/vn (and vt,
               when the call sends texture coordinates) per vertex, carrying
               the normal and texture coordinate current in GL (initially
               (0, 0, 1) and (0, 0)); one face per quad of a quad strip and per
               triangle of a fan, in GL's winding (counterclockwise = front).
               FILE is replaced only once it is written whole; a device or
               FIFO is written in place; a symbolic link is followed.
Every mode prints as the calls arrive, in constant memory.

  -o, --output FILE  write the listing or summary to FILE instead of
                 standard output (replaced only once written whole, as --obj)
  --max-calls N  refuse a call that would send more than N GL calls
                 (default 10000000; the exact count is computed first)

Math family: glibc's sin, cos and tan come in two families, whose bits
differ on a few arguments in ten thousand (gluPerspective shows it most):
fused (amd64 with FMA and AVX2, arm64, ppc64el, riscv64, s390x) and unfused
(armel, armhf, i386, mips64el, amd64 without FMA or AVX2).
  --libm FAMILY  native (the default), fused or unfused: on amd64, unfused
                 runs the tool again with GLIBC_TUNABLES=glibc.cpu.hwcaps=
                 -AVX2,-FMA added; a family this machine cannot provide is
                 refused
  --like ARCH    the family of architecture ARCH (armel, armhf, arm64, i386,
                 mips64el, ppc64el, riscv64, s390x): --like armel makes a
                 workstation send what the armel board sends
--version and --summary name the family in force.

Whole programs:
  --run -- PROGRAM [ARGS...]
                 run PROGRAM (dynamically linked with libsoftglu.so.1) with
                 softglu's interposer preloaded, and list each call of
                 softglu's it makes, its arguments' bits, and the GL calls
                 softglu sends inside it; every call still reaches the
                 program's GL.  The listing goes to -o FILE or standard
                 error, never to the program's standard output; the exit
                 status is the program's.  Under qemu-user, trace the
                 emulator and give it the program's own interposer:
                 softglu-trace --run -- qemu-arm -E LD_PRELOAD=... PROGRAM
  --diff A B     compare two listings (of one call, or of --run) value by
                 value: exit status 0 when identical, 1 when not, naming
                 the first softglu call where they part, its first GL call
                 that differs and both values, and whether that is a
                 math-family difference; 2 for a file that is no listing

Examples:
  softglu-trace sphere 1.0 16 8
  softglu-trace --hex cylinder 1 0.5 2 16 4
  softglu-trace --summary disk 0.25 1 12 3
  softglu-trace --obj torus.obj torus 0.3 8 1 16
  softglu-trace perspective 60 1.333 0.1 100
  softglu-trace --like armel --hex perspective 175.069 1 1 100
  softglu-trace --run --hex -o here.txt -- ./program
  softglu-trace --diff here.txt board.txt

Also: --help prints this text, --version the version of softglu and the
math family in force.
Options may come before or after the shape.  A value follows its option
(--obj FILE) or joins it after '=' (--obj=FILE); -- ends the options.

Messages, warnings and the OBJ's "wrote ..." line go to standard error.
Exit status: 0 on success, 2 for bad arguments (and a refused call or
family), 1 when the output cannot be written (standard output included);
--run and --diff as above.
)";

// Calls that would send more than this are refused unless --max-calls
// says otherwise: not for memory, which stays constant, but for time and
// for the size of the output (10 million calls take some 700 MB with --hex).
const unsigned long long kDefaultMaxCalls = 10000000;

enum class Type { Float, Double, Int };

struct Param {
    const char *name;
    Type type;
    const char *fallback;  // nullptr: required
};

union Value {
    float f;
    double d;
    int i;
};

struct Shape {
    const char *name;
    std::vector<Param> params;
    void (*draw)(const Value *v);
    // Exactly how many GL calls `draw` sends.
    callcount::Count (*calls)(const Value *v);
};

const Shape kShapes[] = {
    {"sphere",
     {{"RADIUS", Type::Float, nullptr}, {"SLICES", Type::Int, "16"}, {"STACKS", Type::Int, "8"}},
     [](const Value *v) { gluSphere(nullptr, v[0].f, v[1].i, v[2].i); },
     [](const Value *v) { return callcount::sphere(v[1].i, v[2].i); }},
    {"cylinder",
     {{"BASE", Type::Double, nullptr},
      {"TOP", Type::Double, nullptr},
      {"HEIGHT", Type::Double, nullptr},
      {"SLICES", Type::Int, "16"},
      {"STACKS", Type::Int, "4"}},
     [](const Value *v) { gluCylinder(nullptr, v[0].d, v[1].d, v[2].d, v[3].i, v[4].i); },
     [](const Value *v) { return callcount::cylinder(v[3].i, v[4].i); }},
    {"disk",
     {{"INNER", Type::Double, nullptr},
      {"OUTER", Type::Double, nullptr},
      {"SLICES", Type::Int, "16"},
      {"LOOPS", Type::Int, "1"}},
     [](const Value *v) { gluDisk(nullptr, v[0].d, v[1].d, v[2].i, v[3].i); },
     [](const Value *v) { return callcount::disk(v[2].i, v[3].i); }},
    {"torus",
     {{"RC", Type::Float, nullptr},
      {"NUMC", Type::Int, nullptr},
      {"RT", Type::Float, nullptr},
      {"NUMT", Type::Int, "16"}},
     [](const Value *v) { drawTorus(v[0].f, v[1].i, v[2].f, v[3].i); },
     [](const Value *v) { return callcount::torus(v[1].i, v[3].i); }},
    {"perspective",
     {{"FOVY", Type::Double, nullptr},
      {"ASPECT", Type::Double, nullptr},
      {"ZNEAR", Type::Double, nullptr},
      {"ZFAR", Type::Double, nullptr}},
     [](const Value *v) { gluPerspective(v[0].d, v[1].d, v[2].d, v[3].d); },
     [](const Value *) { return callcount::perspective(); }},
};

using args::BadUsage;

std::string parseValue(const Param &p, const char *text, Value &out) {
    switch (p.type) {
    case Type::Float: return args::parse(text, out.f);
    case Type::Double: return args::parse(text, out.d);
    case Type::Int: return args::parse(text, out.i);
    }
    return "";
}

std::string shapeNames() {
    std::string names;
    for (const Shape &s : kShapes)
        names += names.empty() ? s.name : std::string(", ") + s.name;
    return names;
}

// "sphere RADIUS [SLICES [STACKS]]"
std::string signature(const Shape &s) {
    std::string out = s.name, close;
    for (const Param &p : s.params) {
        out += std::string(" ") + (p.fallback ? "[" : "") + p.name;
        close += p.fallback ? "]" : "";
    }
    return out + close;
}

const Shape &findShape(const std::string &name) {
    for (const Shape &s : kShapes)
        if (name == s.name)
            return s;
    throw BadUsage{"unknown shape " + args::quoted(name) + " (shapes: " + shapeNames() + ")"};
}

// Reads the shape's arguments, filling in the defaults of trailing ones.
std::vector<Value> readValues(const Shape &shape, const std::vector<const char *> &given) {
    std::size_t required = 0;
    for (const Param &p : shape.params)
        required += p.fallback == nullptr;
    if (given.size() < required || given.size() > shape.params.size())
        throw BadUsage{shape.name + std::string(" takes ") +
                       (required == shape.params.size()
                            ? std::to_string(required)
                            : std::to_string(required) + " to " + std::to_string(shape.params.size())) +
                       " arguments, not " + std::to_string(given.size()) + ": " + signature(shape)};
    std::vector<Value> values(shape.params.size());
    for (std::size_t i = 0; i < shape.params.size(); ++i) {
        const Param &p = shape.params[i];
        const std::string error = parseValue(p, i < given.size() ? given[i] : p.fallback, values[i]);
        if (!error.empty())
            throw BadUsage{std::string(shape.name) + " " + p.name + ": " + error};
    }
    return values;
}

const char *modeName(unsigned mode) {
    return mode == GL_QUAD_STRIP ? "GL_QUAD_STRIP" : mode == GL_TRIANGLE_FAN ? "GL_TRIANGLE_FAN" : "other";
}

using glrecord::Call;
using glrecord::Op;
using glrecord::Replayer;

// Each of these takes the calls as the library sends them and writes as it
// goes; all keep constant memory.  Every one replays the stream too, for the
// warning about a stream that is not well formed.

// One line of the listing per call.  Once a write has failed the rest are
// not formatted.
class ListingSink final : public glrecord::Sink {
public:
    ListingSink(output::Output &out, bool hex) : out_(out), hex_(hex) {}
    void call(const Call &c) override {
        replay.step(c);
        if (out_.failed())
            return;
        char *p = glrecord::formatTo(out_.reserve(glrecord::kMaxFormatted + 1), c, hex_);
        *p++ = '\n';
        out_.commit(p);
    }
    Replayer replay;

private:
    output::Output &out_;
    bool hex_;
};

// Running counts and the running bounding box.
class Summary final : public glrecord::Sink {
public:
    void call(const Call &c) override {
        ++calls_;
        ++perOp_[static_cast<int>(c.op)];
        switch (replay.step(c)) {
        case Replayer::Event::Begin:
            ++primitives_;
            strips_ += replay.mode() == GL_QUAD_STRIP;
            fans_ += replay.mode() == GL_TRIANGLE_FAN;
            break;
        case Replayer::Event::Vertex: {
            ++vertices_;
            const float *pos = replay.vertex().pos;
            if (std::isnan(pos[0]) || std::isnan(pos[1]) || std::isnan(pos[2])) {
                ++withNaN_;
                break;
            }
            for (int k = 0; k < 3; ++k) {
                lo_[k] = std::fmin(lo_[k], pos[k]);
                hi_[k] = std::fmax(hi_[k], pos[k]);
            }
            break;
        }
        case Replayer::Event::End:
        case Replayer::Event::None: break;
        }
    }

    void print(output::Output &out, int family) const {
        std::string text = "calls            " + std::to_string(calls_) + "\n";
        for (int op = 0; op < glrecord::kOpCount; ++op)
            if (perOp_[op]) {
                char line[64];
                std::snprintf(line, sizeof line, "  %-14s %s\n", glrecord::opName(static_cast<Op>(op)),
                              std::to_string(perOp_[op]).c_str());
                text += line;
            }
        text += "primitives       " + std::to_string(primitives_) + " (GL_QUAD_STRIP " + std::to_string(strips_) +
                ", GL_TRIANGLE_FAN " + std::to_string(fans_) + ")\n";
        text += "vertices         " + std::to_string(vertices_) + "\n";
        text += "normals          " + std::to_string(perOp_[static_cast<int>(Op::Normal3f)]) + "\n";
        text += "texcoords        " + std::to_string(perOp_[static_cast<int>(Op::TexCoord2f)]) + "\n";
        if (vertices_ == withNaN_) {
            text += "bounding box     none\n";
        } else {
            using glrecord::shortest;
            text += "bounding box     x " + shortest(lo_[0]) + " .. " + shortest(hi_[0]) + ", y " + shortest(lo_[1]) +
                    " .. " + shortest(hi_[1]) + ", z " + shortest(lo_[2]) + " .. " + shortest(hi_[2]) + "\n";
        }
        if (withNaN_)
            text += "NaN vertices     " + std::to_string(withNaN_) + " (left out of the box)\n";
        text += std::string("math family      ") + families::name(family) + "\n";
        out.write(text);
    }
    Replayer replay;

private:
    std::uint64_t calls_ = 0, perOp_[glrecord::kOpCount] = {};
    std::uint64_t primitives_ = 0, strips_ = 0, fans_ = 0, vertices_ = 0, withNaN_ = 0;
    float lo_[3] = {INFINITY, INFINITY, INFINITY}, hi_[3] = {-INFINITY, -INFINITY, -INFINITY};
};

// The first of the OBJ's two passes: whether the call sends texture
// coordinates, which decides the form of every vertex and face.
class Textured final : public glrecord::Sink {
public:
    void call(const Call &c) override { textured |= c.op == Op::TexCoord2f; }
    bool textured = false;
};

// The second pass writes the OBJ as the calls arrive: each vertex when it is
// sent, and a primitive's faces when it ends.  The faces follow from the
// primitive's mode and vertex count alone (quad i of a strip is v[2i],
// v[2i+1], v[2i+3], v[2i+2]; triangle i of a fan is v[0], v[i], v[i+1]), so
// nothing is kept.
class Obj final : public glrecord::Sink {
public:
    Obj(output::Output &out, bool textured) : out_(out), textured_(textured) {}

    void call(const Call &c) override {
        switch (replay.step(c)) {
        case Replayer::Event::Begin:
            endPrimitive();
            open_ = true;
            mode_ = replay.mode();
            count_ = 0;
            if (!out_.failed())
                out_.write("# primitive " + std::to_string(primitives_) + ": " + modeName(mode_) + "\n");
            ++primitives_;
            break;
        case Replayer::Event::Vertex: {
            ++count_;
            if (out_.failed())
                break;
            const glrecord::Vertex &v = replay.vertex();
            char *p = out_.reserve(3 * (4 + 3 * glrecord::kMaxShortest));
            p = floats(p, "v", v.pos, 3);
            if (textured_)
                p = floats(p, "vt", v.tex, 2);
            p = floats(p, "vn", v.normal, 3);
            out_.commit(p);
            break;
        }
        case Replayer::Event::End: endPrimitive(); break;
        case Replayer::Event::None: break;
        }
    }

    // After the last call: the faces of a primitive left open.
    void finish() { endPrimitive(); }

    Replayer replay;
    std::uint64_t vertices() const { return base_ - 1; }
    std::uint64_t faces() const { return faces_; }

private:
    static char *floats(char *p, const char *tag, const float *v, int n) {
        while (*tag)
            *p++ = *tag++;
        for (int i = 0; i < n; ++i) {
            *p++ = ' ';
            p = glrecord::shortestTo(p, v[i]);
        }
        *p++ = '\n';
        return p;
    }

    void corner(char *&p, std::uint64_t index) {
        *p++ = ' ';
        char number[24];
        char *end = std::to_chars(number, number + sizeof number, index).ptr;
        const std::size_t n = static_cast<std::size_t>(end - number);
        std::memcpy(p, number, n);
        p += n;
        *p++ = '/';
        if (textured_) {
            std::memcpy(p, number, n);
            p += n;
        }
        *p++ = '/';
        std::memcpy(p, number, n);
        p += n;
    }

    void face(std::initializer_list<std::uint64_t> corners) {
        ++faces_;
        if (out_.failed())
            return;
        char *p = out_.reserve(4 * 64 + 2);
        *p++ = 'f';
        for (std::uint64_t i : corners)
            corner(p, base_ + i);
        *p++ = '\n';
        out_.commit(p);
    }

    void endPrimitive() {
        if (!open_)
            return;
        open_ = false;
        if (mode_ == GL_QUAD_STRIP)
            for (std::uint64_t i = 0; i + 3 < count_; i += 2)
                face({i, i + 1, i + 3, i + 2});
        else if (mode_ == GL_TRIANGLE_FAN)
            for (std::uint64_t i = 1; i + 1 < count_; ++i)
                face({0, i, i + 1});
        base_ += count_;
    }

    output::Output &out_;
    bool textured_;
    bool open_ = false;
    unsigned mode_ = 0;
    std::uint64_t count_ = 0;    // vertices of the current primitive
    std::uint64_t base_ = 1;     // OBJ index of its first vertex
    std::uint64_t primitives_ = 0, faces_ = 0;
};

enum class Mode { Listing, Hex, Summary, Obj };

// Makes the call with `sink` current.
void stream(const Shape &shape, const std::vector<Value> &values, glrecord::Sink &sink) {
    glrecord::Streaming on(sink);
    shape.draw(values.data());
}

void warnIfMalformed(Replayer &replay) {
    const std::string error = replay.finish();
    if (!error.empty())
        std::fprintf(stderr, "softglu-trace: warning: the stream is not well formed: %s\n", error.c_str());
}

const std::vector<args::Option> kOptions = {
    {"help", 'h', nullptr},    {"version", 0, nullptr},     {"hex", 0, nullptr},
    {"summary", 0, nullptr},   {"obj", 0, "a FILE"},        {"max-calls", 0, "a number"},
    {"output", 'o', "a FILE"}, {"libm", 0, "a FAMILY"},     {"like", 0, "an ARCH"},
    {"run", 0, nullptr},       {"diff", 0, nullptr},
};

// What the command line asks for.
struct Request {
    Mode mode = Mode::Listing;
    int modes = 0;  // how many of --hex, --summary and --obj
    const char *objPath = nullptr, *outPath = nullptr;
    unsigned long long maxCalls = kDefaultMaxCalls;
    bool maxCallsGiven = false, version = false, runProgram = false, compare = false;
    std::string libm, like;
    std::vector<const char *> positional;
};

// Reads the options into `r`; false when --help was printed (its status
// in `status`).
bool parse(int argc, char **argv, Request &r, int &status) {
    args::Options options(argc, argv, kOptions);
    for (args::Found f; options.next(f);) {
        if (!f.option) {  // "-1" is a number, not an option
            r.positional.push_back(f.value);
            // After --run, the program's name: the rest is its own.
            if (r.runProgram) {
                for (const char *a : options.rest())
                    r.positional.push_back(a);
            }
            continue;
        }
        const std::string a = f.option->name;
        if (a == "help") {
            status = output::printText("softglu-trace", kHelp);
            return false;
        } else if (a == "version") {
            r.version = true;
        } else if (a == "hex" || a == "summary") {
            r.mode = a == "hex" ? Mode::Hex : Mode::Summary;
            ++r.modes;
        } else if (a == "obj") {
            r.objPath = args::fileName(f);
            r.mode = Mode::Obj;
            ++r.modes;
        } else if (a == "output") {
            r.outPath = args::fileName(f);
        } else if (a == "max-calls") {
            const std::string error = args::parse(args::nonEmpty(f), r.maxCalls);
            if (!error.empty())
                throw BadUsage{"--max-calls: " + error};
            r.maxCallsGiven = true;
        } else if (a == "libm") {
            r.libm = args::nonEmpty(f);
            if (r.libm != "native" && r.libm != "fused" && r.libm != "unfused")
                throw BadUsage{"--libm: " + args::quoted(r.libm) + " is no family (native, fused or unfused)"};
        } else if (a == "like") {
            r.like = args::nonEmpty(f);
        } else if (a == "run") {
            if (!r.positional.empty())
                throw BadUsage{"--run comes before the program: --run -- PROGRAM [ARGS...]"};
            r.runProgram = true;
        } else if (a == "diff") {
            r.compare = true;
        }
    }
    return true;
}

// Refuses options that do not go together.
void check(const Request &r) {
    if (r.modes > 1)
        throw BadUsage{"choose one of --hex, --summary and --obj"};
    if (!r.libm.empty() && !r.like.empty())
        throw BadUsage{"choose one of --libm and --like"};
    if (r.runProgram && r.compare)
        throw BadUsage{"choose one of --run and --diff"};
    if (r.compare) {
        if (r.modes || r.outPath || r.maxCallsGiven || !r.libm.empty() || !r.like.empty())
            throw BadUsage{"--diff takes two listings and no other option"};
        if (r.positional.size() != 2)
            throw BadUsage{"--diff takes two listings, not " + std::to_string(r.positional.size())};
    }
    if (r.runProgram && (r.mode == Mode::Summary || r.mode == Mode::Obj || r.maxCallsGiven))
        throw BadUsage{"--run lists the calls (--hex for their bits); --summary, --obj and --max-calls are for one call"};
    if (r.mode == Mode::Obj && r.outPath)
        throw BadUsage{"--obj names its own FILE: leave out -o"};
}

// One call of the library, made and written as the mode asks.
int traceCall(const Request &r, int family) {
    if (r.positional.empty())
        throw BadUsage{"no shape given (shapes: " + shapeNames() + ")"};
    const Shape &shape = findShape(r.positional[0]);
    const std::vector<Value> values = readValues(shape, {r.positional.begin() + 1, r.positional.end()});
    const callcount::Count calls = shape.calls(values.data());
    if (callcount::exceeds(calls, r.maxCalls))
        throw BadUsage{"this call would send " + callcount::decimal(calls) +
                       (calls == callcount::Count{0, 1} ? " GL call" : " GL calls") + ", more than the limit of " +
                       std::to_string(r.maxCalls) + " (raise it with --max-calls N)"};

    output::Output out;
    const char *path = r.mode == Mode::Obj ? r.objPath : r.outPath;
    if (!path) {
        out.openStandardOutput();
    } else if (!out.open(path)) {
        std::fprintf(stderr, "softglu-trace: %s\n", out.error().c_str());
        return 1;
    }
    std::uint64_t objVertices = 0, objFaces = 0;
    switch (r.mode) {
    case Mode::Listing:
    case Mode::Hex: {
        ListingSink listing(out, r.mode == Mode::Hex);
        stream(shape, values, listing);
        warnIfMalformed(listing.replay);
        break;
    }
    case Mode::Summary: {
        Summary summary;
        stream(shape, values, summary);
        summary.print(out, family);
        warnIfMalformed(summary.replay);
        break;
    }
    case Mode::Obj: {
        // Two passes: the library sends the same stream both times.
        Textured scan;
        stream(shape, values, scan);
        std::string command = "# softglu-trace";
        for (const char *p : r.positional)
            command += std::string(" ") + p;
        out.write(command + "\n");
        Obj obj(out, scan.textured);
        stream(shape, values, obj);
        obj.finish();
        warnIfMalformed(obj.replay);
        objVertices = obj.vertices();
        objFaces = obj.faces();
        break;
    }
    }
    if (!out.finish()) {
        std::fprintf(stderr, "softglu-trace: %s\n", out.error().c_str());
        return 1;
    }
    if (r.mode == Mode::Obj)
        std::fprintf(stderr, "wrote %s: %s vertices, %s faces\n", args::display(r.objPath, 4096).c_str(),
                     std::to_string(objVertices).c_str(), std::to_string(objFaces).c_str());
    return 0;
}

// softglu-trace's main: parses, checks, then hands the request to --diff,
// --run or one call.
int traceMain(int argc, char **argv) {
    Request r;
    int status = 0;
    if (!parse(argc, argv, r, status))
        return status;
    check(r);
    if (r.compare)
        return diff::compare(r.positional[0], r.positional[1]);

    // The family first: on amd64 it may run the tool again.
    const int family = families::choose(r.like.empty() ? (r.libm.empty() ? "native" : r.libm)
                                                       : families::name(families::ofArchitecture(r.like)),
                                        argv);
    if (r.version)
        return output::printText("softglu-trace", "softglu-trace " SOFTGLU_VERSION "\nmath family: " +
                                                      families::describe(family) + "\n");
    if (r.runProgram) {
        if (r.positional.empty())
            throw BadUsage{"--run needs a PROGRAM: --run -- PROGRAM [ARGS...]"};
        run::Options o;
        o.hex = r.mode == Mode::Hex;
        o.output = r.outPath;
        return run::traceProgram(o, r.positional);
    }
    return traceCall(r, family);
}
}  // namespace

int main(int argc, char **argv) { return args::runTool("softglu-trace", kUsage, traceMain, argc, argv); }
