/* SPDX-License-Identifier: MIT */
/* The public header as a C program sees it: every declaration, the handle
 * type and its alias, and the draw-style constants. */
#include <GL/glu.h>

void (*const softglu_c_entry_points[])(void) = {
    (void (*)(void))gluPerspective, (void (*)(void))gluNewQuadric,
    (void (*)(void))gluQuadricDrawStyle, (void (*)(void))gluCylinder,
    (void (*)(void))gluDisk, (void (*)(void))gluSphere,
    (void (*)(void))drawTorus,
};

void softglu_c_draw(void) {
    GLUquadric *q = gluNewQuadric();
    GLUquadricObj *same = q;
    gluQuadricDrawStyle(same, GLU_FILL + GLU_POINT - GLU_LINE + GLU_SILHOUETTE);
    gluPerspective(60.0, 4.0 / 3.0, 0.1, 100.0);
    gluCylinder(q, 1.0, 0.5, 2.0, 16, 4);
    gluDisk(q, 0.25, 1.0, 12, 3);
    gluSphere(q, 1.0f, 16, 8);
    drawTorus(0.3f, 8, 1.0f, 16);
}
