// SPDX-License-Identifier: MIT
// gluGetString and gluCheckExtension: what softglu says it is.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu_compat.h>

// The project's version, from CMake (project(softglu VERSION ...)).
#ifndef SOFTGLU_VERSION
#error "build with -DSOFTGLU_VERSION=\"X.Y.Z\", as CMakeLists.txt does"
#endif

namespace {

const char kVersion[] = "1.3 softglu " SOFTGLU_VERSION;
const char kExtensions[] = "";  // softglu provides no extension

const GLubyte *bytes(const char *text) { return reinterpret_cast<const GLubyte *>(text); }

}  // namespace

const GLubyte *gluGetString(GLenum name) {
    if (name == GLU_VERSION)
        return bytes(kVersion);
    if (name == GLU_EXTENSIONS)
        return bytes(kExtensions);
    return nullptr;
}

GLboolean gluCheckExtension(const GLubyte *extName, const GLubyte *extString) {
    if (!extName || !extString || !*extName)
        return GL_FALSE;
    // Word by word: each run of characters between spaces, compared whole.
    // A name with a space in it matches no word.
    for (const GLubyte *word = extString; *word;) {
        if (*word == ' ') {
            ++word;
            continue;
        }
        const GLubyte *n = extName, *w = word;
        while (*n && *n != ' ' && *n == *w) {
            ++n;
            ++w;
        }
        if (!*n && (*w == ' ' || !*w))
            return GL_TRUE;
        while (*word && *word != ' ')
            ++word;
    }
    return GL_FALSE;
}
