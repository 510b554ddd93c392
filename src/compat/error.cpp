// SPDX-License-Identifier: MIT
// gluErrorString: a message for every GL and GLU error code.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu_compat.h>

namespace {

// GL 3.0's code, which older GL headers lack; GL may still report it.
const GLenum kInvalidFramebufferOperation = 0x0506;

struct Message {
    GLenum code;
    const char *text;
};

const Message kMessages[] = {
    {GL_NO_ERROR, "no error"},
    {GL_INVALID_ENUM, "invalid enumerated argument"},
    {GL_INVALID_VALUE, "numeric argument out of range"},
    {GL_INVALID_OPERATION, "operation not allowed in the current state"},
    {GL_STACK_OVERFLOW, "stack overflow: pushed once too often"},
    {GL_STACK_UNDERFLOW, "stack underflow: popped an empty stack"},
    {GL_OUT_OF_MEMORY, "out of memory"},
    {kInvalidFramebufferOperation, "framebuffer incomplete for this operation"},
    {GLU_INVALID_ENUM, "invalid enumerated argument to a GLU call"},
    {GLU_INVALID_VALUE, "invalid numeric argument to a GLU call"},
    {GLU_OUT_OF_MEMORY, "out of memory in a GLU call"},
    {GLU_INCOMPATIBLE_GL_VERSION, "GL version too old for this GLU call"},
    {GLU_INVALID_OPERATION, "GLU call not allowed in the current state"},
    {GLU_TESS_MISSING_BEGIN_POLYGON, "tessellator: gluTessBeginPolygon missing"},
    {GLU_TESS_MISSING_BEGIN_CONTOUR, "tessellator: gluTessBeginContour missing"},
    {GLU_TESS_MISSING_END_POLYGON, "tessellator: gluTessEndPolygon missing"},
    {GLU_TESS_MISSING_END_CONTOUR, "tessellator: gluTessEndContour missing"},
    {GLU_TESS_COORD_TOO_LARGE, "tessellator: coordinate too large or not a number"},
    {GLU_TESS_NEED_COMBINE_CALLBACK, "tessellator: edges cross and no combine callback gives a vertex"},
    {SOFTGLU_TESS_TOO_COMPLEX, "tessellator: polygon too complex (crossings that do not settle)"},
    {GLU_NURBS_ERROR1, "NURBS: order below 1 or above 16"},
    {GLU_NURBS_ERROR2, "NURBS: too few knots (fewer control points than the order)"},
    {GLU_NURBS_ERROR3, "NURBS: the knots leave an empty parameter range"},
    {GLU_NURBS_ERROR4, "NURBS: knots decrease"},
    {GLU_NURBS_ERROR5, "NURBS: a knot repeated more times than the order"},
    {GLU_NURBS_ERROR6, "NURBS: stride smaller than a control point, or no control points"},
    {GLU_NURBS_ERROR7, "NURBS: map type not allowed here"},
    {GLU_NURBS_ERROR8, "NURBS: no vertex map between begin and end"},
    {GLU_NURBS_ERROR9, "NURBS: a second map of the same kind"},
    {GLU_NURBS_ERROR10, "NURBS: a knot, control point or trim point is infinite or not a number"},
    {GLU_NURBS_ERROR11, "NURBS: begin inside a curve or surface"},
    {GLU_NURBS_ERROR12, "NURBS: gluEndCurve without gluBeginCurve"},
    {GLU_NURBS_ERROR13, "NURBS: gluEndSurface without gluBeginSurface"},
    {GLU_NURBS_ERROR14, "NURBS: map outside its curve or surface"},
    {GLU_NURBS_ERROR15, "NURBS: gluBeginTrim outside a surface"},
    {GLU_NURBS_ERROR16, "NURBS: gluBeginTrim inside a trim"},
    {GLU_NURBS_ERROR17, "NURBS: gluEndTrim without gluBeginTrim"},
    {GLU_NURBS_ERROR18, "NURBS: gluPwlCurve outside a trim"},
    {GLU_NURBS_ERROR19, "NURBS: a trim piece does not begin where the one before ends"},
    {GLU_NURBS_ERROR20, "NURBS: a trim loop does not close"},
    {GLU_NURBS_ERROR21, "NURBS: trim curves cross"},
    {GLU_NURBS_ERROR22, "NURBS: trim loop runs the wrong way for its nesting"},
    {GLU_NURBS_ERROR23, "NURBS: gluEndSurface inside a trim"},
    {GLU_NURBS_ERROR24, "NURBS: a trim loop with no piece"},
    {GLU_NURBS_ERROR25, "NURBS: surface map inside a trim"},
    {GLU_NURBS_ERROR26, "NURBS error 26 (softglu does not raise it)"},
    {GLU_NURBS_ERROR27, "NURBS error 27 (softglu does not raise it)"},
    {GLU_NURBS_ERROR28, "NURBS error 28 (softglu does not raise it)"},
    {GLU_NURBS_ERROR29, "NURBS error 29 (softglu does not raise it)"},
    {GLU_NURBS_ERROR30, "NURBS error 30 (softglu does not raise it)"},
    {GLU_NURBS_ERROR31, "NURBS error 31 (softglu does not raise it)"},
    {GLU_NURBS_ERROR32, "NURBS error 32 (softglu does not raise it)"},
    {GLU_NURBS_ERROR33, "NURBS error 33 (softglu does not raise it)"},
    {GLU_NURBS_ERROR34, "NURBS error 34 (softglu does not raise it)"},
    {GLU_NURBS_ERROR35, "NURBS error 35 (softglu does not raise it)"},
    {GLU_NURBS_ERROR36, "NURBS error 36 (softglu does not raise it)"},
    {GLU_NURBS_ERROR37, "NURBS error 37 (softglu does not raise it)"},
};

const char kUnknown[] = "unknown error code";

const GLubyte *bytes(const char *text) { return reinterpret_cast<const GLubyte *>(text); }

}  // namespace

const GLubyte *gluErrorString(GLenum error) {
    for (const Message &m : kMessages)
        if (m.code == error)
            return bytes(m.text);
    return bytes(kUnknown);
}
