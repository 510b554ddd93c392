/* SPDX-License-Identifier: MIT */
// A recorded stream followed the way GL would: its primitives and the
// vertices in them.
#ifndef SOFTGLU_GLRECORD_REPLAY_H
#define SOFTGLU_GLRECORD_REPLAY_H

#include "call.h"

#include <string>
#include <vector>

namespace glrecord {

// A vertex with the normal and texture coordinate GL attaches to it: the
// ones current when it was sent.  glVertex2f gives z = 0.
struct Vertex {
    float pos[3];
    float normal[3];
    float tex[2];
};

struct Primitive {
    unsigned mode;  // the glBegin mode
    std::vector<Vertex> vertices;
};

// Follows a stream call by call the way GL would, starting from GL's initial
// current normal (0, 0, 1) and texture coordinate (0, 0) unless given
// others, in constant memory.
class Replayer {
public:
    explicit Replayer(const float normal[3] = nullptr, const float tex[2] = nullptr);

    enum class Event { None, Begin, End, Vertex };
    // Takes the next call.  Begin: a primitive opened (mode()); Vertex: a
    // vertex sent inside one (vertex()); End: the primitive closed.  A
    // vertex outside a primitive is not a Vertex.
    Event step(const Call &c);
    unsigned mode() const { return mode_; }
    const Vertex &vertex() const { return current_; }

    // "" or, for unbalanced or nested glBegin/glEnd, a vertex outside a
    // primitive or any call but a vertex, normal, texture coordinate or
    // edge flag inside one, what went wrong first (the replay goes on past it); call
    // at the end of the stream.
    std::string finish();

private:
    void fail(const char *what);
    Vertex current_;
    unsigned mode_ = 0;
    bool open_ = false;
    std::string error_;
};

// Replays a whole stream with a Replayer and appends its primitives to
// `out`; returns Replayer::finish().
std::string replay(const Stream &s, std::vector<Primitive> &out, const float normal[3] = nullptr,
                   const float tex[2] = nullptr);

}  // namespace glrecord

#endif
