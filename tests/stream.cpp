#include "stream.h"

std::vector<Primitive> primitives(const Stream &s, const float normal[3], const float tex[2]) {
    std::vector<Primitive> out;
    Vertex current{{0, 0, 0}, {0, 0, 1}, {0, 0}};
    if (normal)
        std::memcpy(current.normal, normal, sizeof current.normal);
    if (tex)
        std::memcpy(current.tex, tex, sizeof current.tex);
    bool open = false;
    for (const Call &c : s) {
        switch (c.op) {
        case Op::Begin:
            if (open)
                ADD_FAILURE() << "glBegin inside a primitive";
            open = true;
            out.push_back({c.mode, {}});
            break;
        case Op::End:
            if (!open)
                ADD_FAILURE() << "glEnd without glBegin";
            open = false;
            break;
        case Op::Normal3f:
            std::memcpy(current.normal, c.f, sizeof current.normal);
            break;
        case Op::TexCoord2f:
            std::memcpy(current.tex, c.f, sizeof current.tex);
            break;
        case Op::Vertex3f:
        case Op::Vertex2f:
            if (!open) {
                ADD_FAILURE() << "vertex outside glBegin/glEnd";
                break;
            }
            current.pos[0] = c.f[0];
            current.pos[1] = c.f[1];
            current.pos[2] = c.op == Op::Vertex3f ? c.f[2] : 0.0f;
            out.back().vertices.push_back(current);
            break;
        case Op::Frustum:
            if (open)
                ADD_FAILURE() << "glFrustum inside a primitive";
            break;
        }
    }
    if (open)
        ADD_FAILURE() << "primitive left open";
    return out;
}

std::size_t count(const Stream &s, Op op) {
    std::size_t n = 0;
    for (const Call &c : s)
        n += c.op == op;
    return n;
}

::testing::AssertionResult sameStream(const Stream &a, const Stream &b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i)
        if (!glrecord::sameBits(a[i], b[i]))
            return ::testing::AssertionFailure() << "call " << i << " differs: "
                                                 << glrecord::formatHex(a[i]) << " vs "
                                                 << glrecord::formatHex(b[i]);
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "lengths differ: " << a.size() << " vs " << b.size();
    return ::testing::AssertionSuccess();
}

std::vector<Triangle> triangles(const Primitive &p) {
    std::vector<Triangle> out;
    const std::vector<Vertex> &v = p.vertices;
    if (p.mode == GL_QUAD_STRIP) {
        // Quad i is v[2i], v[2i+1], v[2i+3], v[2i+2] in winding order.
        for (std::size_t i = 0; i + 3 < v.size(); i += 2) {
            out.push_back({{v[i], v[i + 1], v[i + 3]}});
            out.push_back({{v[i], v[i + 3], v[i + 2]}});
        }
    } else if (p.mode == GL_TRIANGLE_FAN) {
        for (std::size_t i = 1; i + 1 < v.size(); ++i)
            out.push_back({{v[0], v[i], v[i + 1]}});
    } else {
        ADD_FAILURE() << "unexpected primitive " << p.mode;
    }
    return out;
}

Vec3 faceNormal(const Triangle &t) {
    const Vec3 a = vec(t.v[0].pos), b = vec(t.v[1].pos), c = vec(t.v[2].pos);
    const Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z};
    const Vec3 w{c.x - a.x, c.y - a.y, c.z - a.z};
    return {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
}

Vec3 centroid(const Triangle &t) {
    Vec3 c{0, 0, 0};
    for (const Vertex &v : t.v) {
        c.x += v.pos[0] / 3.0;
        c.y += v.pos[1] / 3.0;
        c.z += v.pos[2] / 3.0;
    }
    return c;
}
