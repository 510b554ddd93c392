// SPDX-License-Identifier: MIT
// gluProject, gluUnProject, gluUnProject4 and gluPickMatrix: the
// model-view-projection transform, its inverse, and the pick region.

#include "../exact.h"  // first: the arithmetic guard

#include <GL/glu_compat.h>

#include <math.h>

#include "traced.h"

namespace {

// Everything here is double, each operation rounded on its own in the order
// written.  Only + - * / are used (fabs and comparisons are exact), which
// IEEE rounds correctly everywhere: the results have the same bits on every
// machine.  Matrices are column-major, as GL keeps them: m[c * 4 + r] is
// row r, column c.

// out = m v.  Each row summed left to right:
// ((m[r] v0 + m[4 + r] v1) + m[8 + r] v2) + m[12 + r] v3.
void transform(const double m[16], const double v[4], double out[4]) {
    for (int r = 0; r < 4; ++r)
        out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
}

// out = a b: each column of out is a times that column of b.
void multiply(const double a[16], const double b[16], double out[16]) {
    for (int c = 0; c < 4; ++c)
        transform(a, b + 4 * c, out + 4 * c);
}

// inv = a^-1 by Gauss-Jordan elimination with partial pivoting on the rows
// of [a | identity]; false, inv untouched, when a pivot is exactly zero.
// Pivoting on the largest magnitude keeps the elimination stable whatever
// the matrix's scale, and no determinant is formed, so a matrix of tiny or
// huge (but representable) entries is inverted like any other.
bool invert(const double a[16], double inv[16]) {
    double row[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            row[r][c] = a[c * 4 + r];
            row[r][4 + c] = r == c ? 1.0 : 0.0;
        }
    for (int j = 0; j < 4; ++j) {
        // The row at or below j with the largest |entry| in column j; the
        // first on ties, and a NaN never beats an earlier entry.
        int p = j;
        for (int r = j + 1; r < 4; ++r)
            if (fabs(row[r][j]) > fabs(row[p][j]))
                p = r;
        if (row[p][j] == 0.0)
            return false;
        for (int k = 0; k < 8; ++k) {
            const double t = row[j][k];
            row[j][k] = row[p][k];
            row[p][k] = t;
        }
        // The pivot row divided by the pivot (a division each, not a
        // product with its reciprocal), then taken out of every other row.
        const double pivot = row[j][j];
        for (int k = 0; k < 8; ++k)
            row[j][k] = row[j][k] / pivot;
        for (int i = 0; i < 4; ++i) {
            if (i == j)
                continue;
            const double f = row[i][j];
            for (int k = 0; k < 8; ++k)
                row[i][k] = row[i][k] - f * row[j][k];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            inv[c * 4 + r] = row[r][4 + c];
    return true;
}

// A normalised device coordinate in [-1, 1] to the window: origin +
// ((ndc + 1) * 0.5) * size.
double toWindow(double ndc, GLint origin, GLint size) {
    return static_cast<double>(origin) + ((ndc + 1.0) * 0.5) * static_cast<double>(size);
}

// And back: ((win - origin) / size) * 2 - 1.
double fromWindow(double win, double origin, double size) {
    return ((win - origin) / size) * 2.0 - 1.0;
}

// (x, y, z, w) = (proj model)^-1 (the window point in normalised device
// coordinates, clipW); false, out untouched, when the viewport has no width
// or height, the depth range is empty, or proj model is singular.
bool unproject(double winX, double winY, double winZ, double clipW, const double model[16],
               const double proj[16], const GLint viewport[4], double nearVal, double farVal,
               double out[4]) {
    const double width = static_cast<double>(viewport[2]);
    const double height = static_cast<double>(viewport[3]);
    const double depth = farVal - nearVal;
    if (width == 0.0 || height == 0.0 || depth == 0.0)
        return false;
    double a[16], inv[16];
    multiply(proj, model, a);
    if (!invert(a, inv))
        return false;
    const double v[4] = {fromWindow(winX, static_cast<double>(viewport[0]), width),
                         fromWindow(winY, static_cast<double>(viewport[1]), height),
                         fromWindow(winZ, nearVal, depth), clipW};
    transform(inv, v, out);
    return true;
}

}  // namespace

GLint gluProject(GLdouble objX, GLdouble objY, GLdouble objZ, const GLdouble model[16],
                 const GLdouble proj[16], const GLint viewport[4], GLdouble *winX, GLdouble *winY,
                 GLdouble *winZ) {
    // The vertex's path through GL: model-view, then projection.
    const double obj[4] = {objX, objY, objZ, 1.0};
    double eye[4], clip[4];
    transform(model, obj, eye);
    transform(proj, eye, clip);
    const double w = clip[3];
    if (w == 0.0)
        return GLU_FALSE;
    *winX = toWindow(clip[0] / w, viewport[0], viewport[2]);
    *winY = toWindow(clip[1] / w, viewport[1], viewport[3]);
    *winZ = (clip[2] / w + 1.0) * 0.5;
    return GLU_TRUE;
}

GLint gluUnProject(GLdouble winX, GLdouble winY, GLdouble winZ, const GLdouble model[16],
                   const GLdouble proj[16], const GLint viewport[4], GLdouble *objX, GLdouble *objY,
                   GLdouble *objZ) {
    // The depth range [0, 1]: winZ - 0 and / (1 - 0) change no bit.
    double p[4];
    if (!unproject(winX, winY, winZ, 1.0, model, proj, viewport, 0.0, 1.0, p) || p[3] == 0.0)
        return GLU_FALSE;
    *objX = p[0] / p[3];
    *objY = p[1] / p[3];
    *objZ = p[2] / p[3];
    return GLU_TRUE;
}

GLint gluUnProject4(GLdouble winX, GLdouble winY, GLdouble winZ, GLdouble clipW,
                    const GLdouble model[16], const GLdouble proj[16], const GLint viewport[4],
                    GLdouble nearVal, GLdouble farVal, GLdouble *objX, GLdouble *objY,
                    GLdouble *objZ, GLdouble *objW) {
    double p[4];
    if (!unproject(winX, winY, winZ, clipW, model, proj, viewport, nearVal, farVal, p))
        return GLU_FALSE;
    *objX = p[0];
    *objY = p[1];
    *objZ = p[2];
    *objW = p[3];
    return GLU_TRUE;
}

void gluPickMatrix(GLdouble x, GLdouble y, GLdouble deltaX, GLdouble deltaY,
                   const GLint viewport[4]) {
    SOFTGLU_TRACED(gluPickMatrix, x, y, deltaX, deltaY, viewport);
    // A region of no size (or a NaN one) picks nothing: the matrix stays.
    if (!(deltaX > 0.0 && deltaY > 0.0))
        return;
    const double x0 = static_cast<double>(viewport[0]), y0 = static_cast<double>(viewport[1]);
    const double width = static_cast<double>(viewport[2]);
    const double height = static_cast<double>(viewport[3]);
    // The region's centre to the middle of the viewport, then its size to
    // the viewport's.
    glTranslated((width - 2.0 * (x - x0)) / deltaX, (height - 2.0 * (y - y0)) / deltaY, 0.0);
    glScaled(width / deltaX, height / deltaY, 1.0);
}
