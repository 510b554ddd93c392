// SPDX-License-Identifier: MIT
// softglu-trace: makes one softglu call and prints the GL calls it sends.
//
// The program links libsoftglu and defines the GL entry points itself (the
// recorder in glrecord.cpp, exported so the library binds to it), so what it
// prints is exactly what the library sent, bit for bit.
#include <GL/glu.h>

#include "args.h"
#include "glrecord.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "usage: softglu-trace [--hex | --summary | --obj FILE] SHAPE ARGS...  (--help for shapes)";

const char kHelp[] = R"(softglu-trace: make one softglu call and print the GL calls it sends.

usage: softglu-trace [--hex | --summary | --obj FILE] SHAPE ARGS...

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
               triangle of a fan, in GL's winding (counterclockwise = front)

Examples:
  softglu-trace sphere 1.0 16 8
  softglu-trace --hex cylinder 1 0.5 2 16 4
  softglu-trace --summary disk 0.25 1 12 3
  softglu-trace --obj torus.obj torus 0.3 8 1 16
  softglu-trace perspective 60 1.333 0.1 100

Also: --help prints this text, --version the version of softglu.

Exit status: 0 on success, 2 for bad arguments, 1 when FILE cannot be written.
)";

// The tracer holds the whole stream in memory; calls that would send more
// than this are refused rather than left to exhaust it.
const double kMaxCalls = 1e7;

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

double atLeast0(double v) { return v > 0 ? v : 0; }

struct Shape {
    const char *name;
    std::vector<Param> params;
    void (*draw)(const Value *v);
    // An upper bound on the calls `draw` sends (a vertex takes at most three).
    double (*calls)(const Value *v);
};

const Shape kShapes[] = {
    {"sphere",
     {{"RADIUS", Type::Float, nullptr}, {"SLICES", Type::Int, "16"}, {"STACKS", Type::Int, "8"}},
     [](const Value *v) { gluSphere(nullptr, v[0].f, v[1].i, v[2].i); },
     [](const Value *v) {
         const double columns = atLeast0(v[1].i + 1.0);
         return 2 * (3 + 3 * (columns + 1)) + atLeast0(v[2].i) * (2 + 6 * columns);
     }},
    {"cylinder",
     {{"BASE", Type::Double, nullptr},
      {"TOP", Type::Double, nullptr},
      {"HEIGHT", Type::Double, nullptr},
      {"SLICES", Type::Int, "16"},
      {"STACKS", Type::Int, "4"}},
     [](const Value *v) { gluCylinder(nullptr, v[0].d, v[1].d, v[2].d, v[3].i, v[4].i); },
     [](const Value *v) { return atLeast0(v[3].i) * (2 + 6 * atLeast0(v[4].i + 1.0)); }},
    {"disk",
     {{"INNER", Type::Double, nullptr},
      {"OUTER", Type::Double, nullptr},
      {"SLICES", Type::Int, "16"},
      {"LOOPS", Type::Int, "1"}},
     [](const Value *v) { gluDisk(nullptr, v[0].d, v[1].d, v[2].i, v[3].i); },
     [](const Value *v) { return 1 + atLeast0(v[3].i) * (2 + 4 * atLeast0(v[2].i + 1.0)); }},
    {"torus",
     {{"RC", Type::Float, nullptr},
      {"NUMC", Type::Int, nullptr},
      {"RT", Type::Float, nullptr},
      {"NUMT", Type::Int, "16"}},
     [](const Value *v) { drawTorus(v[0].f, v[1].i, v[2].f, v[3].i); },
     [](const Value *v) { return atLeast0(v[1].i) * (2 + 4 * atLeast0(v[3].i + 1.0)); }},
    {"perspective",
     {{"FOVY", Type::Double, nullptr},
      {"ASPECT", Type::Double, nullptr},
      {"ZNEAR", Type::Double, nullptr},
      {"ZFAR", Type::Double, nullptr}},
     [](const Value *v) { gluPerspective(v[0].d, v[1].d, v[2].d, v[3].d); },
     [](const Value *) { return 1.0; }},
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
    throw BadUsage{"unknown shape '" + name + "' (shapes: " + shapeNames() + ")"};
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

void printListing(const glrecord::Stream &s, bool hex) {
    for (const glrecord::Call &c : s)
        std::printf("%s\n", (hex ? glrecord::formatHex(c) : glrecord::format(c)).c_str());
}

const char *modeName(unsigned mode) {
    return mode == GL_QUAD_STRIP ? "GL_QUAD_STRIP" : mode == GL_TRIANGLE_FAN ? "GL_TRIANGLE_FAN" : "other";
}

void printSummary(const glrecord::Stream &s, const std::vector<glrecord::Primitive> &prims) {
    std::size_t perOp[7] = {};
    for (const glrecord::Call &c : s)
        ++perOp[static_cast<int>(c.op)];
    std::printf("calls            %zu\n", s.size());
    for (int op = 0; op < 7; ++op)
        if (perOp[op])
            std::printf("  %-14s %zu\n", glrecord::opName(static_cast<glrecord::Op>(op)), perOp[op]);

    std::size_t strips = 0, fans = 0, vertices = 0;
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    std::size_t withNaN = 0;
    for (const glrecord::Primitive &p : prims) {
        strips += p.mode == GL_QUAD_STRIP;
        fans += p.mode == GL_TRIANGLE_FAN;
        for (const glrecord::Vertex &v : p.vertices) {
            ++vertices;
            if (std::isnan(v.pos[0]) || std::isnan(v.pos[1]) || std::isnan(v.pos[2])) {
                ++withNaN;
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::fmin(lo[k], v.pos[k]);
                hi[k] = std::fmax(hi[k], v.pos[k]);
            }
        }
    }
    std::printf("primitives       %zu (GL_QUAD_STRIP %zu, GL_TRIANGLE_FAN %zu)\n", prims.size(), strips, fans);
    std::printf("vertices         %zu\n", vertices);
    std::printf("normals          %zu\n", perOp[static_cast<int>(glrecord::Op::Normal3f)]);
    std::printf("texcoords        %zu\n", perOp[static_cast<int>(glrecord::Op::TexCoord2f)]);
    if (vertices == withNaN) {
        std::printf("bounding box     none\n");
    } else {
        std::printf("bounding box     x %s .. %s, y %s .. %s, z %s .. %s\n", glrecord::shortest(lo[0]).c_str(),
                    glrecord::shortest(hi[0]).c_str(), glrecord::shortest(lo[1]).c_str(),
                    glrecord::shortest(hi[1]).c_str(), glrecord::shortest(lo[2]).c_str(),
                    glrecord::shortest(hi[2]).c_str());
    }
    if (withNaN)
        std::printf("NaN vertices     %zu (left out of the box)\n", withNaN);
}

// The faces GL makes of a primitive, as indices into its vertices in GL's
// winding: quad i of a strip is v[2i], v[2i+1], v[2i+3], v[2i+2]; triangle i
// of a fan is v[0], v[i], v[i+1].
std::vector<std::vector<std::size_t>> faces(const glrecord::Primitive &p) {
    std::vector<std::vector<std::size_t>> out;
    const std::size_t n = p.vertices.size();
    if (p.mode == GL_QUAD_STRIP)
        for (std::size_t i = 0; i + 3 < n; i += 2)
            out.push_back({i, i + 1, i + 3, i + 2});
    else if (p.mode == GL_TRIANGLE_FAN)
        for (std::size_t i = 1; i + 1 < n; ++i)
            out.push_back({0, i, i + 1});
    return out;
}

std::string floats(const float *v, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += " " + glrecord::shortest(v[i]);
    return out;
}

// Returns false when the file cannot be written.
bool writeObj(const char *path, const std::string &command, const glrecord::Stream &s,
              const std::vector<glrecord::Primitive> &prims) {
    std::FILE *f = std::fopen(path, "w");
    if (!f)
        return false;
    bool textured = false;
    for (const glrecord::Call &c : s)
        textured |= c.op == glrecord::Op::TexCoord2f;
    std::fprintf(f, "# %s\n", command.c_str());
    std::size_t base = 1, faceCount = 0;  // OBJ indices start at 1
    for (std::size_t k = 0; k < prims.size(); ++k) {
        const glrecord::Primitive &p = prims[k];
        std::fprintf(f, "# primitive %zu: %s, %zu vertices\n", k, modeName(p.mode), p.vertices.size());
        for (const glrecord::Vertex &v : p.vertices) {
            std::fprintf(f, "v%s\n", floats(v.pos, 3).c_str());
            if (textured)
                std::fprintf(f, "vt%s\n", floats(v.tex, 2).c_str());
            std::fprintf(f, "vn%s\n", floats(v.normal, 3).c_str());
        }
        for (const std::vector<std::size_t> &face : faces(p)) {
            std::fputs("f", f);
            for (std::size_t i : face) {
                if (textured)
                    std::fprintf(f, " %zu/%zu/%zu", base + i, base + i, base + i);
                else
                    std::fprintf(f, " %zu//%zu", base + i, base + i);
            }
            std::fputs("\n", f);
            ++faceCount;
        }
        base += p.vertices.size();
    }
    const bool ok = std::fclose(f) == 0;
    if (ok)
        std::printf("wrote %s: %zu vertices, %zu faces\n", path, base - 1, faceCount);
    return ok;
}

enum class Output { Listing, Hex, Summary, Obj };

int run(int argc, char **argv) {
    Output output = Output::Listing;
    const char *objPath = nullptr;
    int outputs = 0;
    std::vector<const char *> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--version") {
            std::puts("softglu-trace " SOFTGLU_VERSION);
            return 0;
        } else if (a == "--hex" || a == "--summary") {
            output = a == "--hex" ? Output::Hex : Output::Summary;
            ++outputs;
        } else if (a == "--obj") {
            if (i + 1 >= argc)
                throw BadUsage{"--obj needs a FILE"};
            objPath = argv[++i];
            output = Output::Obj;
            ++outputs;
        } else if (a.compare(0, 2, "--") == 0) {  // "-1" is a number, not an option
            throw BadUsage{"unknown option '" + a + "'"};
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (outputs > 1)
        throw BadUsage{"choose one of --hex, --summary and --obj"};
    if (positional.empty())
        throw BadUsage{"no shape given (shapes: " + shapeNames() + ")"};

    const Shape &shape = findShape(positional[0]);
    const std::vector<Value> values = readValues(shape, {positional.begin() + 1, positional.end()});
    const double calls = shape.calls(values.data());
    if (calls > kMaxCalls) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "this call would send about %.3g GL calls; softglu-trace holds at most %.0f",
                      calls, kMaxCalls);
        throw BadUsage{buf};
    }

    glrecord::Stream stream;
    {
        glrecord::Recording rec;
        shape.draw(values.data());
        stream = std::move(rec.calls);
    }
    std::vector<glrecord::Primitive> prims;
    const std::string error = glrecord::replay(stream, prims);
    if (!error.empty())
        std::fprintf(stderr, "softglu-trace: warning: the stream is not well formed: %s\n", error.c_str());

    switch (output) {
    case Output::Listing: printListing(stream, false); break;
    case Output::Hex: printListing(stream, true); break;
    case Output::Summary: printSummary(stream, prims); break;
    case Output::Obj: {
        std::string command = "softglu-trace";
        for (const char *p : positional)
            command += std::string(" ") + p;
        if (!writeObj(objPath, command, stream, prims)) {
            std::fprintf(stderr, "softglu-trace: cannot write %s: %s\n", objPath, std::strerror(errno));
            return 1;
        }
        break;
    }
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv) { return args::runTool("softglu-trace", kUsage, run, argc, argv); }
