/* SPDX-License-Identifier: MIT */
// The frustum libsoftglu's gluPerspective sends, written once: src/glu.cpp
// sends it, and so does the classic libGLU.so.1 (src/compat/camera.cpp),
// which carries its own copy of everything it draws.
//
// The sources that include this include src/exact.h first; the function
// has internal linkage.
#ifndef SOFTGLU_SRC_FRUSTUM_H
#define SOFTGLU_SRC_FRUSTUM_H

#include <GL/gl.h>

#include <math.h>

#include "quadric.h"  // kPi

namespace {

// glFrustum(-x, x, -y, y, zNear, zFar) for y = zNear * tan(fovy * pi / 360)
// and x = y * aspect, every operation in double in that order.
inline void perspectiveFrustum(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double ymax = zNear * tan((fovy * kPi) / 360.0);
    const double ymin = -ymax;
    const double xmin = ymin * aspect;
    const double xmax = ymax * aspect;
    glFrustum(xmin, xmax, ymin, ymax, zNear, zFar);
}

}  // namespace

#endif
