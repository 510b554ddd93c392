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
