// SPDX-License-Identifier: MIT
#include "replay.h"

#include "listing.h"

#include <cstring>

namespace glrecord {

Replayer::Replayer(const float normal[3], const float tex[2]) : current_{{0, 0, 0}, {0, 0, 1}, {0, 0}} {
    if (normal)
        std::memcpy(current_.normal, normal, sizeof current_.normal);
    if (tex)
        std::memcpy(current_.tex, tex, sizeof current_.tex);
}

void Replayer::fail(const char *what) {
    if (error_.empty())
        error_ = what;
}

Replayer::Event Replayer::step(const Call &c) {
    switch (c.op) {
    case Op::Begin:
        if (open_)
            fail("glBegin inside a primitive");
        open_ = true;
        mode_ = c.mode;
        return Event::Begin;
    case Op::End:
        if (!open_) {
            fail("glEnd without glBegin");
            return Event::None;
        }
        open_ = false;
        return Event::End;
    case Op::Normal3f: std::memcpy(current_.normal, c.f, sizeof current_.normal); break;
    case Op::TexCoord2f: std::memcpy(current_.tex, c.f, sizeof current_.tex); break;
    case Op::Vertex3f:
    case Op::Vertex2f:
        if (!open_) {
            fail("vertex outside glBegin/glEnd");
            break;
        }
        current_.pos[0] = c.f[0];
        current_.pos[1] = c.f[1];
        current_.pos[2] = c.op == Op::Vertex3f ? c.f[2] : 0.0f;
        return Event::Vertex;
    case Op::Vertex3dv:
        if (!open_) {
            fail("vertex outside glBegin/glEnd");
            break;
        }
        // GL keeps a vertex in single precision: each coordinate narrowed.
        for (int k = 0; k < 3; ++k)
            current_.pos[k] = static_cast<float>(c.d[k]);
        return Event::Vertex;
    case Op::EdgeFlag:  // allowed inside a primitive, changes no vertex kept here
    case Op::Color4f:
    case Op::Indexf:
    case Op::TexCoord1f:
    case Op::TexCoord3f:
    case Op::TexCoord4f: break;
    default:
        if (open_)
            fail((std::string(opName(c.op)) + " inside a primitive").c_str());
        break;
    }
    return Event::None;
}

std::string Replayer::finish() {
    if (open_)
        fail("primitive left open");
    return error_;
}

std::string replay(const Stream &s, std::vector<Primitive> &out, const float normal[3], const float tex[2]) {
    Replayer r(normal, tex);
    for (const Call &c : s) {
        switch (r.step(c)) {
        case Replayer::Event::Begin: out.push_back({r.mode(), {}}); break;
        case Replayer::Event::Vertex: out.back().vertices.push_back(r.vertex()); break;
        case Replayer::Event::End:
        case Replayer::Event::None: break;
        }
    }
    return r.finish();
}

}  // namespace glrecord
