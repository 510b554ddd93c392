/* SPDX-License-Identifier: MIT */
/* A classic program that defines CALLBACK itself, empty, before
 * (-DCALLBACK_FIRST) or after including GL/glu.h, and casts GL's own
 * entry point to a tessellator callback with it: the header's definition
 * is the same one, so it compiles warning-free in C and C++. */
#ifdef CALLBACK_FIRST
#define CALLBACK
#endif
#include <GL/gl.h>
#include <GL/glu.h>
#ifndef CALLBACK_FIRST
#define CALLBACK
#endif

void outline(GLUtesselator *tess);
void outline(GLUtesselator *tess)
{
    gluTessCallback(tess, GLU_TESS_VERTEX, (void (CALLBACK *)())glVertex3dv);
}
