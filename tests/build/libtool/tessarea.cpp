// SPDX-License-Identifier: MIT
#include "tessarea.h"
#include <GL/glu.h>

namespace {
struct Count {
    int triangles = 0, corners = 0;
    const GLdouble *corner[3] = {};
    double area = 0;
};

void vertex(void *data, void *polygon) {
    Count &c = *static_cast<Count *>(polygon);
    c.corner[c.corners++] = static_cast<const GLdouble *>(data);
    if (c.corners < 3)
        return;
    const GLdouble *a = c.corner[0], *b = c.corner[1], *d = c.corner[2];
    double twice = (b[0] - a[0]) * (d[1] - a[1]) - (b[1] - a[1]) * (d[0] - a[0]);
    c.area += (twice < 0 ? -twice : twice) / 2;
    c.triangles++;
    c.corners = 0;
}
} // namespace

int tessarea_square_with_hole(double *area) {
    static GLdouble outer[4][3] = {{0, 0, 0}, {3, 0, 0}, {3, 3, 0}, {0, 3, 0}};
    static GLdouble hole[4][3] = {{1, 1, 0}, {1, 2, 0}, {2, 2, 0}, {2, 1, 0}};
    Count count;
    GLUtesselator *tess = gluNewTess();
    if (!tess)
        return -1;
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<void (*)()>(vertex));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessBeginPolygon(tess, &count);
    gluTessBeginContour(tess);
    for (GLdouble *v : outer)
        gluTessVertex(tess, v, v);
    gluTessEndContour(tess);
    gluTessBeginContour(tess);
    for (GLdouble *v : hole)
        gluTessVertex(tess, v, v);
    gluTessEndContour(tess);
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    *area = count.area;
    return count.triangles;
}
