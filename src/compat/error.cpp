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
