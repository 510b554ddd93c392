// SPDX-License-Identifier: MIT
// The quadric handle of the compatibility layer, its settings, and the
// quadrics drawn the way they say: gluNewQuadric, gluDeleteQuadric, the
// five setters, gluCylinder, gluDisk, gluPartialDisk and gluSphere.
//
// A handle is a record of this file, allocated by gluNewQuadric.  The live
// ones are listed in a registry; every call that takes a handle looks it up
// there by address first and reads nothing through a pointer it does not
// find, so NULL, the library's own handles and a program's own
// GLUquadricObj variables are never dereferenced.  They draw as libsoftglu
// does.  One mutex guards the registry and the records.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu_compat.h>

#include "../disk.h"  // and quadric.h: the quadrics' tessellators
#include "traced.h"

#include <pthread.h>
#include <stdint.h>
#include <stdlib.h>

namespace {

// A handle's settings, read at run time: the look of src/quadric.h.
struct HandleLook {
    Style drawStyle;
    bool facesIn;
    Normals normalKind;
    Texture textureKind;
    Style style() const { return drawStyle; }
    bool inside() const { return facesIn; }
    Normals normals() const { return normalKind; }
    Texture texture() const { return textureKind; }
};

// How NULL and handles softglu did not hand out draw: as libsoftglu does.
const HandleLook kLibrary = {Style::Fill, false, Normals::Smooth, Texture::Own};
// A new handle: the classic defaults.
const HandleLook kClassic = {Style::Fill, false, Normals::Smooth, Texture::None};

typedef void (*ErrorCallback)(GLenum);

struct Quadric {
    GLUquadric record;  // what the program's pointer points at
    HandleLook look;
    ErrorCallback error;
};

pthread_mutex_t registryLock = PTHREAD_MUTEX_INITIALIZER;
Quadric **live = nullptr;  // the live handles, in no order
size_t liveCount = 0, liveCapacity = 0;

// The index of handle q in the registry, or liveCount when it is not
// there.  Compares addresses only.  Called with the lock held.
size_t find(const GLUquadricObj *q) {
    size_t i = 0;
    while (i < liveCount && &live[i]->record != q)
        ++i;
    return i;
}

// The look a draw with handle q uses: a copy of the handle's, taken under
// the lock, so that a change on another thread cannot tear it.
HandleLook lookOf(const GLUquadricObj *q) {
    HandleLook look = kLibrary;
    if (!q)
        return look;
    pthread_mutex_lock(&registryLock);
    const size_t i = find(q);
    if (i < liveCount)
        look = live[i]->look;
    pthread_mutex_unlock(&registryLock);
    return look;
}

// Applies `set` to handle q's record when `valid`; otherwise calls the
// handle's error callback with GLU_INVALID_ENUM, after the lock is
// released (the callback may call softglu).  A handle not in the registry
// is left alone.
template <typename Set>
void update(GLUquadricObj *q, bool valid, Set set) {
    if (!q)
        return;
    ErrorCallback report = nullptr;
    pthread_mutex_lock(&registryLock);
    const size_t i = find(q);
    if (i < liveCount) {
        if (valid)
            set(*live[i]);
        else
            report = live[i]->error;
    }
    pthread_mutex_unlock(&registryLock);
    if (report)
        report(GLU_INVALID_ENUM);
}

// Adds q to the registry; false when the registry cannot grow.
bool enrol(Quadric *q) {
    bool ok = true;
    pthread_mutex_lock(&registryLock);
    if (liveCount == liveCapacity) {
        const size_t capacity = liveCapacity ? 2 * liveCapacity : 16;
        void *grown = capacity <= SIZE_MAX / sizeof *live ? realloc(live, capacity * sizeof *live) : nullptr;
        if (grown) {
            live = static_cast<Quadric **>(grown);
            liveCapacity = capacity;
        } else {
            ok = false;
        }
    }
    if (ok)
        live[liveCount++] = q;
    pthread_mutex_unlock(&registryLock);
    return ok;
}

}  // namespace

namespace {

GLUquadricObj *newQuadric() {
    Quadric *q = static_cast<Quadric *>(malloc(sizeof *q));
    if (!q)
        return nullptr;
    q->record.draw_style = GLU_FILL;
    q->look = kClassic;
    q->error = nullptr;
    if (!enrol(q)) {
        free(q);
        return nullptr;
    }
    return &q->record;
}

}  // namespace

GLUquadricObj *gluNewQuadric(void) {
    SOFTGLU_TRACED(gluNewQuadric);
    return traceScope.returns(traced::gluNewQuadric_call{}, newQuadric());
}

void gluDeleteQuadric(GLUquadricObj *qobj) {
    SOFTGLU_TRACED(gluDeleteQuadric, qobj);
    Quadric *gone = nullptr;
    pthread_mutex_lock(&registryLock);
    const size_t i = qobj ? find(qobj) : liveCount;
    if (i < liveCount) {
        gone = live[i];
        live[i] = live[--liveCount];
    }
    pthread_mutex_unlock(&registryLock);
    free(gone);
}

void gluQuadricDrawStyle(GLUquadricObj *obj, int style) {
    SOFTGLU_TRACED(gluQuadricDrawStyle, obj, style);
    const bool valid = style == GLU_FILL || style == GLU_LINE || style == GLU_POINT || style == GLU_SILHOUETTE;
    update(obj, valid, [style](Quadric &q) {
        q.record.draw_style = style;
        q.look.drawStyle = style == GLU_LINE    ? Style::Line
                           : style == GLU_POINT ? Style::Point
                           : style == GLU_SILHOUETTE ? Style::Silhouette
                                                     : Style::Fill;
    });
}

void gluQuadricNormals(GLUquadricObj *qobj, GLenum normal) {
    SOFTGLU_TRACED(gluQuadricNormals, qobj, normal);
    const bool valid = normal == GLU_SMOOTH || normal == GLU_FLAT || normal == GLU_NONE;
    update(qobj, valid, [normal](Quadric &q) {
        q.look.normalKind = normal == GLU_FLAT ? Normals::Flat : normal == GLU_NONE ? Normals::None : Normals::Smooth;
    });
}

void gluQuadricTexture(GLUquadricObj *qobj, GLboolean texture) {
    SOFTGLU_TRACED(gluQuadricTexture, qobj, texture);
    update(qobj, true, [texture](Quadric &q) { q.look.textureKind = texture ? Texture::Classic : Texture::None; });
}

void gluQuadricOrientation(GLUquadricObj *qobj, GLenum orientation) {
    SOFTGLU_TRACED(gluQuadricOrientation, qobj, orientation);
    const bool valid = orientation == GLU_OUTSIDE || orientation == GLU_INSIDE;
    update(qobj, valid, [orientation](Quadric &q) { q.look.facesIn = orientation == GLU_INSIDE; });
}

void gluQuadricCallback(GLUquadricObj *qobj, GLenum which, _GLUfuncptr fn) {
    SOFTGLU_TRACED(gluQuadricCallback, qobj, which, fn);
    // The callback takes the error code: the cast gives it back its type.
    update(qobj, which == GLU_ERROR, [fn](Quadric &q) { q.error = reinterpret_cast<ErrorCallback>(fn); });
}

void gluCylinder(GLUquadricObj *qobj, GLdouble baseRadius, GLdouble topRadius, GLdouble height, GLint slices,
                 GLint stacks) {
    SOFTGLU_TRACED(gluCylinder, qobj, baseRadius, topRadius, height, slices, stacks);
    cylinder(lookOf(qobj), baseRadius, topRadius, height, slices, stacks);
}

void gluDisk(GLUquadricObj *qobj, GLdouble innerRadius, GLdouble outerRadius, GLint slices, GLint loops) {
    SOFTGLU_TRACED(gluDisk, qobj, innerRadius, outerRadius, slices, loops);
    disk(lookOf(qobj), innerRadius, outerRadius, slices, loops, false, fullTurn(slices));
}

void gluSphere(GLUquadricObj *qobj, float radius, int slices, int stacks) {
    SOFTGLU_TRACED(gluSphere, qobj, radius, slices, stacks);
    sphere(lookOf(qobj), radius, slices, stacks);
}

namespace {

// Degrees as a fraction of a turn times 2 pi, in double: whole, half and
// quarter turns give exactly 2 pi, pi and pi / 2, so a full turn steps
// exactly as gluDisk does.
double radians(double degrees) { return (degrees / 360.0) * kTwoPi; }

}  // namespace

void gluPartialDisk(GLUquadricObj *qobj, GLdouble innerRadius, GLdouble outerRadius, GLint slices,
                    GLint loops, GLdouble startAngle, GLdouble sweepAngle) {
    SOFTGLU_TRACED(gluPartialDisk, qobj, innerRadius, outerRadius, slices, loops, startAngle, sweepAngle);
    // More than a turn either way draws one turn; NaN passes through.
    double sweep = sweepAngle;
    if (sweep > 360.0)
        sweep = 360.0;
    else if (sweep < -360.0)
        sweep = -360.0;
    // Steps go in increasing angle, so that the outer-first strips face +z:
    // a negative sweep is walked from its far end up to startAngle.
    double from = startAngle, to = startAngle + sweep;
    if (sweep < 0.0) {
        from = to;
        to = startAngle;
        sweep = -sweep;
    }
    const bool whole = sweep == 360.0;
    const double a0 = radians(from);
    // A full turn ends on the bits of its first step.
    const double a1 = whole ? a0 : radians(to);
    const double da = radians(sweep) / static_cast<double>(slices);

    // The rings as gluDisk draws them.  The first step lies exactly on the
    // lower angle, the last exactly on the upper one; those between at
    // a0 + s * da, each from s, not accumulated.  Short of a full turn the
    // outline draws the sector's two straight edges too.
    disk(lookOf(qobj), innerRadius, outerRadius, slices, loops, !whole, [a0, a1, da, slices](int64_t s) {
        return (s == slices) ? a1 : (s == 0) ? a0 : a0 + static_cast<double>(s) * da;
    });
}
