// SPDX-License-Identifier: MIT
#include "stream.h"

std::vector<Primitive> primitives(const Stream &s, const float normal[3], const float tex[2]) {
    std::vector<Primitive> out;
    const std::string error = glrecord::replay(s, out, normal, tex);
    if (!error.empty())
        ADD_FAILURE() << error;
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
