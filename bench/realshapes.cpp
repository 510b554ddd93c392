// SPDX-License-Identifier: MIT
// softglu_realshapes: the tessellator beside mapbox's earcut on real shapes,
// in one process, on the same rings:
//   1. glyphs: the printable ASCII glyphs of DejaVu Sans, FreeType's outlines
//      with their Béziers flattened as programs that fill or extrude text do;
//   2. geography: countries of the Digital Chart of the World (gmt-dcw), with
//      their islands and enclaves (Lesotho in South Africa, San Marino and the
//      Vatican in Italy);
//   3. synthetic: a Hilbert curve, long thin slivers, many collinear points.
// Each ring set is split into outlines with their holes (by nesting), the
// polygons earcut takes; softglu gets the very same polygons, one
// gluTessBeginPolygon each, GLU_TESS_WINDING_ODD, its triangles counted by the
// vertex callback as in bench/tess.cpp.  earcut's one object is reused, as the
// tessellator is.  Markdown tables go to standard output, progress to
// standard error.
//
//   softglu_realshapes [--min-time=SECONDS] [--font=TTF] [--dcw=NC]
//   softglu_realshapes --once=softglu|earcut:NAME [--font=TTF] [--dcw=NC]
//   softglu_realshapes --write=FILE [--font=TTF] [--dcw=NC]
//
// Times are CPU times: per shape, the median of 5 rounds, each round passing
// over all of the shape's polygons again and again for at least --min-time
// (0.1 s by default); softglu's and earcut's rounds alternate.  --once runs
// one engine once over the shapes whose name starts with NAME (a class, or
// CLASS/SHAPE): bench/realshapes-count.sh counts the instructions of that
// pass() under callgrind.  Without earcut.hpp at build time
// (bench/fetch-earcut.sh) it times softglu alone and says so.
//
// Once per shape, outside the timing, each engine's triangles are checked
// against the polygons (section 6): their areas' sum against the area the
// odd rule fills, and for softglu that no triangle is clockwise.  The
// tables' "covers" columns say "yes" or the relative area error.
//
// --write writes every shape's polygons to FILE as text and does nothing
// else, for bench/tessfile.cpp where FreeType and netCDF are not to be had
// (bench/armel-count.sh).  Lines:
//   shape NAME          a shape (CLASS/SHAPE, to the end of the line)
//   polygon RINGS       one of its polygons: the outline, then its holes
//   ring POINTS         one ring, then POINTS lines "x y" (%.17g: exact)
// and lines starting with # are comments.
#include "counting.h"
#include "shapes.h"

#include <GL/glu.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <netcdf.h>

#if __has_include(<mapbox/earcut.hpp>)
#include <mapbox/earcut.hpp>
#define SOFTGLU_HAVE_EARCUT 1
#else
#define SOFTGLU_HAVE_EARCUT 0
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using shapes::Contour;
using shapes::Point;
using shapes::Polygon;

struct Shape {
    std::string kind, name;  // kind: glyphs, geography or synthetic
    std::vector<Polygon> polygons;
    int vertices = 0;
};

[[noreturn]] void fail(const std::string &why) {
    std::fprintf(stderr, "softglu_realshapes: %s\n", why.c_str());
    std::exit(1);
}

// ---- 1. Rings to polygons: each outline with the holes right inside it ----

bool inside(const Point &p, const Contour &ring) {
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const Point &a = ring[i], &b = ring[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

// A ring inside an even number of rings is an outline; one inside an odd
// number is a hole of the ring one level up that holds it.
std::vector<Polygon> nest(std::vector<Contour> rings) {
    const std::size_t n = rings.size();
    struct Box {
        double x0, y0, x1, y1;
    };
    std::vector<Box> box(n);
    for (std::size_t i = 0; i < n; ++i) {
        box[i] = {rings[i][0].x, rings[i][0].y, rings[i][0].x, rings[i][0].y};
        for (const Point &p : rings[i])
            box[i] = {std::min(box[i].x0, p.x), std::min(box[i].y0, p.y), std::max(box[i].x1, p.x),
                      std::max(box[i].y1, p.y)};
    }
    const auto holds = [&](std::size_t outer, std::size_t i) {
        const Point &p = rings[i][0];
        return outer != i && p.x >= box[outer].x0 && p.x <= box[outer].x1 && p.y >= box[outer].y0 &&
               p.y <= box[outer].y1 && inside(p, rings[outer]);
    };
    std::vector<int> depth(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            depth[i] += holds(j, i);
    std::vector<Polygon> polygons;
    std::vector<std::size_t> slot(n);
    for (std::size_t i = 0; i < n; ++i)
        if (depth[i] % 2 == 0) {
            slot[i] = polygons.size();
            polygons.push_back({rings[i]});
        }
    for (std::size_t i = 0; i < n; ++i)
        if (depth[i] % 2 == 1)
            for (std::size_t j = 0; j < n; ++j)
                if (depth[j] == depth[i] - 1 && holds(j, i)) {
                    polygons[slot[j]].push_back(rings[i]);
                    break;
                }
    return polygons;
}

// A ring as a source gives it: consecutive repeats and the closing repeat of
// the first point dropped.
void closeRing(std::vector<Contour> &rings, Contour ring) {
    ring.erase(std::unique(ring.begin(), ring.end(), [](const Point &a, const Point &b) { return a.x == b.x && a.y == b.y; }),
               ring.end());
    while (ring.size() > 1 && ring.back().x == ring.front().x && ring.back().y == ring.front().y)
        ring.pop_back();
    if (ring.size() >= 3)
        rings.push_back(std::move(ring));
}

Shape shapeOf(std::string kind, std::string name, std::vector<Contour> rings) {
    Shape s{std::move(kind), std::move(name), nest(std::move(rings))};
    for (const Polygon &p : s.polygons)
        s.vertices += shapes::vertexCount(p);
    return s;
}

// ---- 2. Glyphs: FreeType's outlines, Béziers flattened to within 0.25 px ----

const int kGlyphPixels = 48;
const double kFlatness = 0.25;  // the farthest a chord strays from its curve, in pixels

struct Outline {
    std::vector<Contour> rings;
    Contour ring;
    Point pen{0, 0};
};

Point pointOf(const FT_Vector *v) { return {v->x / 64.0, v->y / 64.0}; }

// n chords with a second derivative bounded by `bend`: each strays at most
// bend / (8 n^2) from the curve.
int chords(double bend) { return std::max(1, static_cast<int>(std::ceil(std::sqrt(bend / (8.0 * kFlatness))))); }

int moveTo(const FT_Vector *to, void *user) {
    Outline &o = *static_cast<Outline *>(user);
    closeRing(o.rings, std::move(o.ring));
    o.ring.clear();
    o.pen = pointOf(to);
    o.ring.push_back(o.pen);
    return 0;
}
int lineTo(const FT_Vector *to, void *user) {
    Outline &o = *static_cast<Outline *>(user);
    o.pen = pointOf(to);
    o.ring.push_back(o.pen);
    return 0;
}
int conicTo(const FT_Vector *control, const FT_Vector *to, void *user) {
    Outline &o = *static_cast<Outline *>(user);
    const Point a = o.pen, c = pointOf(control), b = pointOf(to);
    const int n = chords(2.0 * std::hypot(a.x - 2.0 * c.x + b.x, a.y - 2.0 * c.y + b.y));
    for (int k = 1; k <= n; ++k) {
        const double t = static_cast<double>(k) / n, u = 1.0 - t;
        o.ring.push_back({u * u * a.x + 2.0 * u * t * c.x + t * t * b.x, u * u * a.y + 2.0 * u * t * c.y + t * t * b.y});
    }
    o.pen = b;
    return 0;
}
int cubicTo(const FT_Vector *control1, const FT_Vector *control2, const FT_Vector *to, void *user) {
    Outline &o = *static_cast<Outline *>(user);
    const Point a = o.pen, c = pointOf(control1), d = pointOf(control2), b = pointOf(to);
    const double bend = 6.0 * std::max(std::hypot(a.x - 2.0 * c.x + d.x, a.y - 2.0 * c.y + d.y),
                                       std::hypot(c.x - 2.0 * d.x + b.x, c.y - 2.0 * d.y + b.y));
    const int n = chords(bend);
    for (int k = 1; k <= n; ++k) {
        const double t = static_cast<double>(k) / n, u = 1.0 - t;
        const double wa = u * u * u, wc = 3.0 * u * u * t, wd = 3.0 * u * t * t, wb = t * t * t;
        o.ring.push_back({wa * a.x + wc * c.x + wd * d.x + wb * b.x, wa * a.y + wc * c.y + wd * d.y + wb * b.y});
    }
    o.pen = b;
    return 0;
}

// Each printable ASCII glyph but the space, at kGlyphPixels pixels unhinted.
std::vector<Shape> glyphs(const std::string &font) {
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0)
        fail("FreeType does not start");
    if (FT_New_Face(library, font.c_str(), 0, &face) != 0)
        fail("cannot open the font " + font + " (fonts-dejavu-core)");
    if (FT_Set_Pixel_Sizes(face, 0, kGlyphPixels) != 0)
        fail("cannot size " + font);
    const FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
    std::vector<Shape> all;
    for (char c = '!'; c <= '~'; ++c) {
        Outline o;
        if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
            face->glyph->format != FT_GLYPH_FORMAT_OUTLINE ||
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &o) != 0)
            fail(std::string("no outline for '") + c + "' in " + font);
        closeRing(o.rings, std::move(o.ring));
        all.push_back(shapeOf("glyphs", c == '|' ? "\\|" : std::string(1, c), std::move(o.rings)));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return all;
}

// ---- 3. Geography: countries of the Digital Chart of the World ----

// gmt-dcw keeps a country CC as CC_lon and CC_lat, unsigned shorts u that
// stand for min + u / scale degrees (attributes min and scale); 65535 ends
// each ring.
std::vector<double> coordinates(int file, const std::string &name) {
    int var;
    double min, scale;
    int dim;
    std::size_t length;
    if (nc_inq_varid(file, name.c_str(), &var) != NC_NOERR || nc_get_att_double(file, var, "min", &min) != NC_NOERR ||
        nc_get_att_double(file, var, "scale", &scale) != NC_NOERR || nc_inq_vardimid(file, var, &dim) != NC_NOERR ||
        nc_inq_dimlen(file, dim, &length) != NC_NOERR)
        fail("no variable " + name + " with min and scale in the DCW file");
    std::vector<unsigned short> raw(length);
    if (nc_get_var_ushort(file, var, raw.data()) != NC_NOERR)
        fail("cannot read " + name);
    std::vector<double> out(length);
    for (std::size_t i = 0; i < length; ++i)
        out[i] = raw[i] == 65535 ? NAN : min + raw[i] / scale;
    return out;
}

std::vector<Shape> geography(const std::string &dcw) {
    // name, ISO code: a long coast (Norway), many islands (Greece, Finland,
    // Japan), enclaves (South Africa, Italy), a long thin country (Chile).
    const char *const countries[][2] = {{"Iceland", "IS"}, {"Cuba", "CU"},       {"South Africa", "ZA"},
                                        {"Italy", "IT"},   {"New Zealand", "NZ"}, {"Chile", "CL"},
                                        {"Greece", "GR"},  {"Finland", "FI"},     {"Japan", "JP"},
                                        {"Norway", "NO"}};
    int file;
    if (nc_open(dcw.c_str(), NC_NOWRITE, &file) != NC_NOERR)
        fail("cannot open " + dcw + " (gmt-dcw)");
    std::vector<Shape> all;
    for (const auto &country : countries) {
        const std::vector<double> lon = coordinates(file, std::string(country[1]) + "_lon"),
                                  lat = coordinates(file, std::string(country[1]) + "_lat");
        if (lon.size() != lat.size())
            fail(std::string("the DCW file's ") + country[1] + " has unequal lon and lat");
        std::vector<Contour> rings;
        Contour ring;
        for (std::size_t i = 0; i <= lon.size(); ++i)
            if (i == lon.size() || std::isnan(lon[i]) || std::isnan(lat[i])) {
                closeRing(rings, std::move(ring));
                ring.clear();
            } else {
                ring.push_back({lon[i], lat[i]});
            }
        all.push_back(shapeOf("geography", country[0], std::move(rings)));
    }
    nc_close(file);
    return all;
}

// ---- 4. Synthetic: a space-filling curve, slivers, collinear points ----

// Hilbert's curve of order 5 on the 32 x 32 grid (1024 points, unit steps),
// closed by two points below its ends: a simple polygon one unit wide
// everywhere, with long runs of collinear points.
Contour hilbert() {
    const int side = 32;
    Contour c;
    for (int d = 0; d < side * side; ++d) {
        int x = 0, y = 0;
        for (int s = 1, t = d; s < side; s *= 2, t /= 4) {
            const int rx = 1 & (t / 2), ry = 1 & (t ^ rx);
            if (ry == 0) {
                if (rx == 1) {
                    x = s - 1 - x;
                    y = s - 1 - y;
                }
                std::swap(x, y);
            }
            x += s * rx;
            y += s * ry;
        }
        c.push_back({static_cast<double>(x), static_cast<double>(y)});
    }
    c.push_back({side - 1.0, -1.0});
    c.push_back({0.0, -1.0});
    return c;
}

// A comb of `teeth` teeth, each 100 long and 0.01 wide, one unit apart.
Contour comb(int teeth) {
    Contour c{{0.0, 0.0}, {static_cast<double>(teeth), 0.0}};
    for (int k = teeth - 1; k >= 0; --k) {
        c.push_back({k + 0.01, 100.0});
        c.push_back({k + 0.0, 100.0});
        c.push_back({k + 0.0, 1.0});
    }
    c.pop_back();
    return c;
}

// An ellipse 2000 long and 0.002 high: every triangle a sliver.
Contour sliver(int n) {
    Contour c;
    for (int i = 0; i < n; ++i) {
        const double t = 2.0 * shapes::kPi * i / n;
        c.push_back({1000.0 * std::cos(t), 0.001 * std::sin(t)});
    }
    return c;
}

// A square with `perSide` points on each side, and a square hole likewise.
Contour square(int perSide, double size, bool hole) {
    Contour c;
    const double corner[5][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
    for (int s = 0; s < 4; ++s)
        for (int k = 0; k < perSide; ++k) {
            const double t = static_cast<double>(k) / perSide;
            c.push_back({size * (corner[s][0] + t * (corner[s + 1][0] - corner[s][0])),
                         size * (corner[s][1] + t * (corner[s + 1][1] - corner[s][1]))});
        }
    if (hole)
        std::reverse(c.begin(), c.end());
    return c;
}

std::vector<Shape> synthetic() {
    return {shapeOf("synthetic", "Hilbert curve", {hilbert()}),
            shapeOf("synthetic", "comb of 100 slivers", {comb(100)}),
            shapeOf("synthetic", "thin ellipse", {sliver(500)}),
            shapeOf("synthetic", "collinear square with hole", {square(250, 2.0, false), square(100, 1.0, true)}),
            shapeOf("synthetic", "wavy ring", shapes::wavyRing(1000))};
}

// ---- 5. The engines, each over all of a set's polygons ----

using Triangle = std::array<Point, 3>;

// The corners softglu sends while its triangles are listed.
std::vector<Point> corners;
void CALLBACK_corner(void *data) {
    const double *v = static_cast<const double *>(data);
    corners.push_back({v[0], v[1]});
}

// Crossings' vertices (counting::made) are kept for one polygon.
struct Softglu {
    std::vector<counting::Contours> polygons;
    GLUtesselator *tess = gluNewTess();

    explicit Softglu(const std::vector<Polygon> &in) {
        if (!tess)
            fail("gluNewTess failed");
        counting::setUp(tess);
        gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
        for (const Polygon &p : in) {
            polygons.emplace_back();
            counting::append(polygons.back(), p);
        }
    }
    ~Softglu() { gluDeleteTess(tess); }
    Softglu(const Softglu &) = delete;
    Softglu &operator=(const Softglu &) = delete;

    __attribute__((noinline)) void pass() {
        for (auto &p : polygons) {
            counting::made.clear();
            counting::send(tess, p);
        }
    }
    unsigned long long triangles() {
        const unsigned long long before = counting::emitted;
        pass();
        return (counting::emitted - before) / 3;
    }
    // One pass with the corners kept (softglu sends GL_TRIANGLES alone).
    std::vector<Triangle> triangleList() {
        corners.clear();
        gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(CALLBACK_corner));
        pass();
        counting::setUp(tess);
        std::vector<Triangle> out;
        for (std::size_t i = 0; i + 2 < corners.size(); i += 3)
            out.push_back({corners[i], corners[i + 1], corners[i + 2]});
        return out;
    }
};

#if SOFTGLU_HAVE_EARCUT
struct Earcut {
    std::vector<std::vector<std::vector<std::array<double, 2>>>> polygons;
    mapbox::detail::Earcut<std::uint32_t> earcut;
    unsigned long long indices = 0;

    explicit Earcut(const std::vector<Polygon> &in) {
        for (const Polygon &p : in) {
            polygons.emplace_back();
            for (const Contour &c : p) {
                polygons.back().emplace_back();
                for (const Point &q : c)
                    polygons.back().back().push_back({q.x, q.y});
            }
        }
    }
    __attribute__((noinline)) void pass() {
        for (auto &p : polygons) {
            earcut(p);
            indices += earcut.indices.size();
        }
    }
    unsigned long long triangles() {
        const unsigned long long before = indices;
        pass();
        return (indices - before) / 3;
    }
    // Its indices count the polygon's rings' points in turn.
    std::vector<Triangle> triangleList() {
        std::vector<Triangle> out;
        for (auto &p : polygons) {
            earcut(p);
            std::vector<Point> flat;
            for (const auto &ring : p)
                for (const auto &q : ring)
                    flat.push_back({q[0], q[1]});
            const auto &k = earcut.indices;
            for (std::size_t i = 0; i + 2 < k.size(); i += 3)
                out.push_back({flat[k[i]], flat[k[i + 1]], flat[k[i + 2]]});
        }
        return out;
    }
};
#endif

// ---- 6. Coverage: the triangles' area against the polygons' ----

// Twice the signed area of abc, and whether its sign is certain: the
// double evaluation errs by at most (3 + 16e)e (|l| + |r|), e = 2^-53
// (Shewchuk's bound for this expression), far below the 1e-9 the check
// reports.
struct Twice {
    double area;
    bool sure;
};
Twice twiceArea(const Point &a, const Point &b, const Point &c) {
    const double e = 0x1p-53, bound = (3.0 + 16.0 * e) * e;
    const double l = (b.x - a.x) * (c.y - a.y), r = (b.y - a.y) * (c.x - a.x);
    return {l - r, std::fabs(l - r) > bound * (std::fabs(l) + std::fabs(r))};
}

// A ring's area as a fan from its first point, so that terms stay the size
// of the ring however far it lies from the origin.
double ringArea(const Contour &ring) {
    double twice = 0.0;
    for (std::size_t i = 1; i + 1 < ring.size(); ++i)
        twice += twiceArea(ring[0], ring[i], ring[i + 1]).area;
    return std::fabs(twice) / 2.0;
}

// Each outline's area less its holes': the odd rule's area when no rings
// cross, so a difference from oddArea() shows rings that do.
double nestedArea(const std::vector<Polygon> &polygons) {
    double area = 0.0;
    for (const Polygon &p : polygons)
        for (std::size_t k = 0; k < p.size(); ++k)
            area += k == 0 ? ringArea(p[k]) : -ringArea(p[k]);
    return area;
}

// The odd rule's area of one polygon's rings, crossings and all: the plane
// cut into vertical slabs at every vertex and crossing, so that no two
// edges cross inside a slab; in each, the edges across it sorted by height
// and the trapezoids between the first and second, third and fourth, ...
// summed.  Crossings are found pairwise among edges whose x ranges meet.
// In doubles: where no rings cross it agrees with nestedArea() to 1e-14.
double oddArea(const Polygon &p) {
    struct Edge {
        Point a, b;  // a.x < b.x
        double at(double x) const { return a.y + (x - a.x) * ((b.y - a.y) / (b.x - a.x)); }
    };
    std::vector<Edge> edges;
    std::vector<double> xs;
    for (const Contour &c : p)
        for (std::size_t i = 0; i < c.size(); ++i) {
            const Point &u = c[i], &v = c[(i + 1) % c.size()];
            xs.push_back(u.x);
            if (u.x != v.x)
                edges.push_back(u.x < v.x ? Edge{u, v} : Edge{v, u});
        }
    std::sort(edges.begin(), edges.end(), [](const Edge &e, const Edge &f) { return e.a.x < f.a.x; });
    const auto side = [](const Point &a, const Point &b, const Point &c) { return twiceArea(a, b, c).area; };
    for (std::size_t i = 0; i < edges.size(); ++i)
        for (std::size_t j = i + 1; j < edges.size() && edges[j].a.x < edges[i].b.x; ++j) {
            const Edge &e = edges[i], &f = edges[j];
            const double d1 = side(f.a, f.b, e.a), d2 = side(f.a, f.b, e.b);
            if ((d1 < 0 && d2 > 0) || (d1 > 0 && d2 < 0)) {
                const double d3 = side(e.a, e.b, f.a), d4 = side(e.a, e.b, f.b);
                if ((d3 < 0 && d4 > 0) || (d3 > 0 && d4 < 0))
                    xs.push_back(e.a.x + d1 / (d1 - d2) * (e.b.x - e.a.x));
            }
        }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    double area = 0.0;
    std::vector<const Edge *> active;
    std::vector<std::array<double, 2>> across;  // heights at the slab's sides
    std::size_t next = 0;
    for (std::size_t s = 0; s + 1 < xs.size(); ++s) {
        const double x0 = xs[s], x1 = xs[s + 1];
        while (next < edges.size() && edges[next].a.x <= x0)
            active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [&](const Edge *e) { return e->b.x <= x0; }),
                     active.end());
        across.clear();
        for (const Edge *e : active)
            across.push_back({e->at(x0), e->at(x1)});
        std::sort(across.begin(), across.end(),
                  [](const std::array<double, 2> &u, const std::array<double, 2> &v) { return u[0] + u[1] < v[0] + v[1]; });
        for (std::size_t k = 0; k + 1 < across.size(); k += 2)
            area += (across[k + 1][0] - across[k][0] + across[k + 1][1] - across[k][1]) / 2.0 * (x1 - x0);
    }
    return area;
}

struct Coverage {
    bool checked = false;
    double error = 0.0;  // |sum of the triangles' areas - the polygons' area| / the polygons' area
    int clockwise = 0;   // triangles surely clockwise
};

Coverage coverage(const std::vector<Triangle> &triangles, double area) {
    Coverage c;
    c.checked = true;
    double sum = 0.0;
    for (const Triangle &t : triangles) {
        const Twice d = twiceArea(t[0], t[1], t[2]);
        sum += std::fabs(d.area) / 2.0;
        c.clockwise += d.sure && d.area < 0.0;
    }
    c.error = std::fabs(sum - area) / area;
    return c;
}

const double kAreaTolerance = 1e-9;  // relative

// "yes", or what is wrong: the relative area error, clockwise triangles.
std::string covers(const Coverage &c) {
    if (!c.checked)
        return "-";
    if (c.error <= kAreaTolerance && c.clockwise == 0)
        return "yes";
    char text[64];
    std::snprintf(text, sizeof text, "%.1e", c.error);
    std::string s = text;
    if (c.clockwise > 0)
        s += ", " + std::to_string(c.clockwise) + " clockwise";
    return s;
}

// ---- 7. Timing ----

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

template <class Engine>
double secondsPerPass(Engine &engine, double minSeconds) {
    long passes = 0;
    const double start = cpuSeconds();
    double spent;
    do {
        engine.pass();
        ++passes;
        spent = cpuSeconds() - start;
    } while (spent < minSeconds);
    return spent / static_cast<double>(passes);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Timing {
    int polygons = 0, vertices = 0;
    unsigned long long softgluTriangles = 0, earcutTriangles = 0;
    double softglu = 0, earcut = 0;  // seconds per pass over all polygons; earcut 0: not timed
    Coverage softgluCovers, earcutCovers;
    double crossed = 0;  // nestedArea() against oddArea(), relative
};

const int kRounds = 5;

Timing timeSet(const std::vector<Polygon> &polygons, double minSeconds) {
    Timing t;
    t.polygons = static_cast<int>(polygons.size());
    for (const Polygon &p : polygons)
        t.vertices += shapes::vertexCount(p);
    double area = 0.0;
    for (const Polygon &p : polygons)
        area += oddArea(p);
    t.crossed = std::fabs(nestedArea(polygons) - area) / area;
    Softglu softglu(polygons);
    t.softgluTriangles = softglu.triangles();  // also the warm-up
    t.softgluCovers = coverage(softglu.triangleList(), area);
    std::vector<double> s, e;
#if SOFTGLU_HAVE_EARCUT
    Earcut earcut(polygons);
    t.earcutTriangles = earcut.triangles();
    t.earcutCovers = coverage(earcut.triangleList(), area);
#endif
    for (int r = 0; r < kRounds; ++r) {
        s.push_back(secondsPerPass(softglu, minSeconds));
#if SOFTGLU_HAVE_EARCUT
        e.push_back(secondsPerPass(earcut, minSeconds));
#endif
    }
    t.softglu = median(s);
    t.earcut = e.empty() ? 0.0 : median(e);
    return t;
}

// ---- 8. The tables ----

std::string duration(double seconds) {
    char text[32];
    if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f µs", seconds * 1e6);
    return text;
}

std::string ratio(double softglu, double earcut) {
    if (earcut <= 0.0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", softglu / earcut);
    return text;
}

std::string rate(int vertices, double seconds) {
    if (seconds <= 0.0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f M", vertices / seconds / 1e6);
    return text;
}

void row(const std::string &name, const Timing &t) {
    std::printf("| %s | %d | %d | %s | %s | %s | %s | %llu / %llu | %s | %s |\n", name.c_str(), t.polygons,
                t.vertices, duration(t.softglu).c_str(), t.earcut > 0 ? duration(t.earcut).c_str() : "-",
                ratio(t.softglu, t.earcut).c_str(), rate(t.vertices, t.softglu).c_str(), t.softgluTriangles,
                t.earcutTriangles, covers(t.softgluCovers).c_str(), covers(t.earcutCovers).c_str());
}

void header(const char *first) {
    std::printf("| %s | polygons | vertices | softglu | earcut | softglu / earcut | softglu vertices/s | triangles "
                "softglu / earcut | softglu covers | earcut covers |\n|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n",
                first);
}

// Time = a * polygons + b * vertices, by least squares over the shapes.
void fixedAndPerVertex(const char *engine, const std::vector<Timing> &set, double Timing::*time) {
    double pp = 0, pv = 0, vv = 0, pt = 0, vt = 0;
    for (const Timing &t : set) {
        pp += 1.0 * t.polygons * t.polygons;
        pv += 1.0 * t.polygons * t.vertices;
        vv += 1.0 * t.vertices * t.vertices;
        pt += t.polygons * (t.*time);
        vt += t.vertices * (t.*time);
    }
    const double det = pp * vv - pv * pv;
    if (det == 0.0)
        return;
    std::printf("- %s on the glyphs: %.2f µs per polygon + %.1f ns per vertex (least squares over the glyphs)\n",
                engine, (pt * vv - vt * pv) / det * 1e6, (pp * vt - pv * pt) / det * 1e9);
}

void report(const std::vector<Shape> &shapes, double minSeconds) {
    std::vector<Timing> timing;
    for (const Shape &s : shapes) {
        std::fprintf(stderr, "softglu_realshapes: timing %s/%s\n", s.kind.c_str(), s.name.c_str());
        timing.push_back(timeSet(s.polygons, minSeconds));
    }
    header("shape");
    for (std::size_t i = 0; i < shapes.size(); ++i)
        row(shapes[i].kind + "/" + shapes[i].name, timing[i]);

    // Per class: the sums, the geometric mean of the ratios, the largest.
    std::printf("\n| class | shapes | polygons | vertices | softglu | earcut | softglu / earcut | geomean of "
                "ratios | largest ratio | softglu vertices/s | earcut vertices/s |\n"
                "|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n");
    double realLog = 0;
    int realCount = 0;
    std::vector<Timing> glyphTimes;
    for (const char *kind : {"glyphs", "geography", "synthetic", "all real"}) {
        Timing sum;
        double logs = 0, largest = 0;
        std::string largestName;
        int count = 0;
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            const bool real = shapes[i].kind != "synthetic";
            if (!(shapes[i].kind == kind || (std::strcmp(kind, "all real") == 0 && real)))
                continue;
            const Timing &t = timing[i];
            sum.polygons += t.polygons;
            sum.vertices += t.vertices;
            sum.softglu += t.softglu;
            sum.earcut += t.earcut;
            ++count;
            if (t.earcut > 0) {
                logs += std::log(t.softglu / t.earcut);
                if (t.softglu / t.earcut > largest) {
                    largest = t.softglu / t.earcut;
                    largestName = shapes[i].name;
                }
            }
            if (shapes[i].kind == "glyphs" && std::strcmp(kind, "glyphs") == 0)
                glyphTimes.push_back(t);
        }
        if (std::strcmp(kind, "all real") == 0) {
            realLog = logs;
            realCount = count;
        }
        char geomean[32] = "-", most[96] = "-";
        if (sum.earcut > 0) {
            std::snprintf(geomean, sizeof geomean, "%.2f", std::exp(logs / count));
            std::snprintf(most, sizeof most, "%.2f (%s)", largest, largestName.c_str());
        }
        std::printf("| %s | %d | %d | %d | %s | %s | %s | %s | %s | %s | %s |\n", kind, count, sum.polygons,
                    sum.vertices, duration(sum.softglu).c_str(), sum.earcut > 0 ? duration(sum.earcut).c_str() : "-",
                    ratio(sum.softglu, sum.earcut).c_str(), geomean, most, rate(sum.vertices, sum.softglu).c_str(),
                    rate(sum.vertices, sum.earcut).c_str());
    }

    // Every real polygon of at most 64 vertices, timed together.
    std::vector<Polygon> small;
    for (const Shape &s : shapes)
        if (s.kind != "synthetic")
            for (const Polygon &p : s.polygons)
                if (shapes::vertexCount(p) <= 64)
                    small.push_back(p);
    std::fprintf(stderr, "softglu_realshapes: timing the %zu real polygons of at most 64 vertices\n", small.size());
    const Timing t = timeSet(small, minSeconds);
    std::printf("\n");
    header("set");
    row("real polygons of <= 64 vertices", t);
    std::printf("\n");
    if (realCount > 0 && t.earcut > 0)
        std::printf("- geomean over the %d real shapes: %.2f x earcut\n", realCount, std::exp(realLog / realCount));
    fixedAndPerVertex("softglu", glyphTimes, &Timing::softglu);
    if (t.earcut > 0)
        fixedAndPerVertex("earcut", glyphTimes, &Timing::earcut);
    std::string off;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const Coverage &s = timing[i].softgluCovers, &e = timing[i].earcutCovers;
        if (s.error > kAreaTolerance || (e.checked && e.error > kAreaTolerance))
            off += (off.empty() ? "" : ", ") + shapes[i].name + " (" + covers(s) + " / " + covers(e) + ")";
    }
    std::printf("- area off by more than %.0e relative (softglu / earcut): %s\n", kAreaTolerance, off.empty() ? "none" : off.c_str());
    std::string crossed;
    for (std::size_t i = 0; i < shapes.size(); ++i)
        if (timing[i].crossed > kAreaTolerance) {
            char text[32];
            std::snprintf(text, sizeof text, " (%.1e)", timing[i].crossed);
            crossed += (crossed.empty() ? "" : ", ") + shapes[i].name + text;
        }
    std::printf("- rings that cross: the outlines' area less their holes' differs from the odd rule's on %s\n",
                crossed.empty() ? "none" : crossed.c_str());
    if (!SOFTGLU_HAVE_EARCUT)
        std::printf("- earcut was not timed: earcut.hpp was not there at build time (bench/fetch-earcut.sh)\n");
}

// For callgrind: one pass of one engine over the chosen shapes' polygons.
unsigned long long countedPass(const std::string &engine, const std::vector<Polygon> &polygons) {
    if (engine == "softglu") {
        Softglu s(polygons);
        return s.triangles();
    }
#if SOFTGLU_HAVE_EARCUT
    if (engine == "earcut") {
        Earcut e(polygons);
        return e.triangles();
    }
#endif
    fail("no engine " + engine + " (softglu, or earcut when built with it)");
}

// --write: the shapes in the format above, through a temporary file in
// FILE's directory renamed over FILE when all of it is written.
void writeShapes(const std::vector<Shape> &shapes, const std::string &path) {
    std::signal(SIGXFSZ, SIG_IGN);  // past a file size limit, a failed write rather than death
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0)
        fail("cannot create a file beside " + path + ": " + std::strerror(errno));
    std::FILE *f = fdopen(fd, "w");
    if (!f) {
        close(fd);
        unlink(temp.c_str());
        fail("cannot write " + temp + ": " + std::strerror(errno));
    }
    fchmod(fd, 0644);
    std::fprintf(f, "# softglu_realshapes --write: shape NAME, polygon RINGS, ring POINTS, then POINTS lines x y\n");
    for (const Shape &s : shapes) {
        std::fprintf(f, "shape %s/%s\n", s.kind.c_str(), s.name.c_str());
        for (const Polygon &p : s.polygons) {
            std::fprintf(f, "polygon %zu\n", p.size());
            for (const Contour &c : p) {
                std::fprintf(f, "ring %zu\n", c.size());
                for (const Point &q : c)
                    std::fprintf(f, "%.17g %.17g\n", q.x, q.y);
            }
        }
    }
    const bool bad = std::ferror(f) != 0;
    if (std::fclose(f) != 0 || bad) {
        unlink(temp.c_str());
        fail("cannot write " + temp + ": " + std::strerror(errno));
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        unlink(temp.c_str());
        fail("cannot rename " + temp + " to " + path + ": " + why);
    }
    std::fprintf(stderr, "softglu_realshapes: wrote %zu shapes to %s\n", shapes.size(), path.c_str());
}

}  // namespace

int main(int argc, char **argv) {
    counting::program = "softglu_realshapes";
    double minSeconds = 0.1;
    std::string font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", dcw = "/usr/share/gmt-dcw/dcw-gmt.nc", once,
                write;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--min-time=", 0) == 0) {
            char *end;
            minSeconds = std::strtod(arg.c_str() + 11, &end);
            if (*end != '\0' || !(minSeconds >= 0.0 && minSeconds <= 60.0))
                fail("--min-time takes seconds, 0 to 60");
        } else if (arg.rfind("--font=", 0) == 0) {
            font = arg.substr(7);
        } else if (arg.rfind("--dcw=", 0) == 0) {
            dcw = arg.substr(6);
        } else if (arg.rfind("--once=", 0) == 0 && arg.find(':') != std::string::npos) {
            once = arg.substr(7);
        } else if (arg.rfind("--write=", 0) == 0 && arg.size() > 8) {
            write = arg.substr(8);
        } else {
            std::fprintf(stderr, "usage: %s [--min-time=SECONDS] [--font=TTF] [--dcw=NC] "
                                 "[--once=softglu|earcut:NAME | --write=FILE]\n", argv[0]);
            return 2;
        }
    }
    std::vector<Shape> all = glyphs(font);
    for (std::vector<Shape> more : {geography(dcw), synthetic()})
        for (Shape &s : more)
            all.push_back(std::move(s));

    if (!write.empty()) {
        writeShapes(all, write);
        return 0;
    }
    if (!once.empty()) {
        const std::string engine = once.substr(0, once.find(':')), name = once.substr(once.find(':') + 1);
        std::vector<Polygon> chosen;
        for (const Shape &s : all)
            if ((s.kind + "/" + s.name).rfind(name, 0) == 0)
                chosen.insert(chosen.end(), s.polygons.begin(), s.polygons.end());
        if (chosen.empty())
            fail("no shape named " + name);
        int vertices = 0;
        for (const Polygon &p : chosen)
            vertices += shapes::vertexCount(p);
        const unsigned long long triangles = countedPass(engine, chosen);
        std::printf("polygons %zu vertices %d triangles %llu\n", chosen.size(), vertices, triangles);
        return 0;
    }
    report(all, minSeconds);
    return 0;
}
