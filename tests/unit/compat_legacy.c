/* SPDX-License-Identifier: MIT */
/* A legacy program's calls around the quadrics and its tessellations, as old
 * programs make them.
 * It is compiled as C89, C99, C11, C17 and as C++98 to C++20 (through
 * compat_legacy.cpp) with -Wall -Wextra -pedantic -Werror, with nothing but
 * softglu::compat's switch: it must build unchanged under each. */
#include <GL/gl.h>
#include <GL/glu.h>

#include <stdio.h>
#include <stdlib.h>

#ifndef SOFTGLU_GL_GLU_COMPAT_H
#error "this is not softglu's GL/glu.h, or SOFTGLU_COMPAT is not defined"
#endif

/* Public code forward-declares the handle's tag. */
struct GLUquadric;
static struct GLUquadric *quadric;

static const GLenum errorCodes[] = {
    GLU_INVALID_ENUM, GLU_INVALID_VALUE, GLU_OUT_OF_MEMORY,
    GLU_INCOMPATIBLE_GL_VERSION, GLU_INVALID_OPERATION
};

static void CALLBACK quadricError(GLenum code)
{
    const GLubyte *message = gluErrorString(code);
    fprintf(stderr, "quadric error: %s\n", message);
}

void legacyInit(void)
{
    quadric = gluNewQuadric();
    if (quadric == NULL) {
        fprintf(stderr, "out of memory\n");
        return;
    }
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricNormals(quadric, GLU_FLAT);
    gluQuadricNormals(quadric, GLU_NONE);
    gluQuadricTexture(quadric, GL_TRUE);
    gluQuadricTexture(quadric, GLU_FALSE);
    gluQuadricOrientation(quadric, GLU_OUTSIDE);
    gluQuadricOrientation(quadric, GLU_INSIDE);
    gluQuadricCallback(quadric, GLU_ERROR, (_GLUfuncptr)quadricError);
    gluQuadricCallback(quadric, GLU_ERROR, (void (CALLBACK *)())quadricError);
#ifndef __cplusplus
    /* C converts without a cast.  (g++ -Wextra warns about a cast to
     * GLvoid (*)(): its cast-function-type check lets through only void
     * spelled out.) */
    gluQuadricCallback(quadric, GLU_ERROR, quadricError);
    gluQuadricCallback(quadric, GLU_ERROR, (GLvoid (*)())quadricError);
#endif
}

/* A texture loaded the classic way, with every image call. */
void legacyTexture(const unsigned char *rgb, int w, int h)
{
    unsigned char small[16 * 16 * 3];
    GLint error;

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    error = gluBuild2DMipmaps(GL_TEXTURE_2D, 3, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    if (error != 0)
        fprintf(stderr, "texture: %s\n", (const char *)gluErrorString((GLenum)error));
    gluBuild1DMipmaps(GL_TEXTURE_1D, GL_RGB, w, GL_BGR, GL_UNSIGNED_BYTE, (const GLvoid *)rgb);
    gluBuild2DMipmapLevels(GL_TEXTURE_2D, GL_RGB, 16, 16, GL_RGB, GL_UNSIGNED_BYTE, 0, 1, 4, rgb);
    gluBuild1DMipmapLevels(GL_TEXTURE_1D, 4, 4, GL_LUMINANCE_ALPHA, GL_UNSIGNED_SHORT, 0, 0, 2, rgb);
    gluBuild3DMipmaps(GL_TEXTURE_3D, GL_RGB, w, h, 2, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    gluBuild3DMipmapLevels(GL_TEXTURE_3D, GL_RGBA, 4, 2, 2, GL_RGBA, GL_UNSIGNED_BYTE, 0, 0, 2, rgb);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (gluScaleImage(GL_RGB, w, h, GL_UNSIGNED_BYTE, rgb, 16, 16, GL_UNSIGNED_BYTE, small) == GLU_INVALID_VALUE)
        fprintf(stderr, "scale: %s\n", gluErrorString(GLU_INVALID_VALUE));
}

void legacyReshape(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (GLdouble)w / (GLdouble)h, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
}

/* Picking as old programs do it: the mouse's window position, the pick
 * matrix under the projection, GL_SELECT, and the hit's point back in the
 * world; a label placed where a point lands on screen. */
void legacyPick(int mouseX, int mouseY)
{
    GLint viewport[4];
    GLdouble model[16], proj[16];
    GLdouble objX, objY, objZ, winX, winY, winZ, objW;
    GLfloat depth;

    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix((GLdouble)mouseX, (GLdouble)(viewport[3] - mouseY), 5.0, 5.0, viewport);
    gluPerspective(45.0, (GLdouble)viewport[2] / (GLdouble)viewport[3], 1.0, 100.0);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glReadPixels(mouseX, viewport[3] - mouseY, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    if (gluUnProject(mouseX, viewport[3] - mouseY, depth, model, proj, viewport, &objX, &objY, &objZ) == GL_TRUE)
        printf("picked %g %g %g\n", objX, objY, objZ);
    if (gluUnProject4(mouseX, viewport[3] - mouseY, depth, 1.0, model, proj, viewport, 0.0, 1.0,
                      &objX, &objY, &objZ, &objW) == GLU_TRUE)
        printf("picked %g %g %g %g\n", objX, objY, objZ, objW);
    if (gluProject(0.0, 1.0, 0.0, model, proj, viewport, &winX, &winY, &winZ))
        printf("label at %g %g %g\n", winX, winY, winZ);
}

/* The version and extension checks of old start-up code. */
int legacyCanMultitexture(void)
{
    const char *version = (const char *)gluGetString(GLU_VERSION);
    printf("GLU %s, extensions: %s\n", version, (const char *)gluGetString(GLU_EXTENSIONS));
#if defined(GLU_VERSION_1_3) && defined(GLU_VERSION_1_2) && defined(GLU_VERSION_1_1)
    return gluCheckExtension((const GLubyte *)"GL_ARB_multitexture", glGetString(GL_EXTENSIONS));
#else
#error "GLU_VERSION_1_3 is not defined"
#endif
}

/* Old demos name their own helpers drawTorus: under the switch the name
 * is the program's (in C, softglu's declaration would conflict with it). */
static void drawTorus(void)
{
    gluDisk(quadric, 0.5, 1.0, 24, 1);
}

void legacyDisplay(void)
{
    GLenum error;
    int i;

    glLoadIdentity();
    gluLookAt(0.0, 5.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    drawTorus();
    gluSphere(quadric, 1.0, 16, 8);
    gluCylinder(quadric, 1.0, 0.5, 2.0, 16, 4);
    gluDisk(quadric, 0.25, 1.0, 16, 2);
    gluPartialDisk(quadric, 0.5, 1.0, 16, 2, 45.0, 270.0);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, 640.0, 0.0, 480.0);
    glMatrixMode(GL_MODELVIEW);

    error = glGetError();
    if (error != GL_NO_ERROR)
        fprintf(stderr, "GL error: %s\n", (const char *)gluErrorString(error));
    for (i = 0; i < (int)(sizeof errorCodes / sizeof errorCodes[0]); i++)
        printf("%u: %s\n", (unsigned)errorCodes[i], gluErrorString(errorCodes[i]));
    if (GLU_TRUE)
        gluDeleteQuadric(quadric);
}

/* A textbook tessellation: a star filled with each winding rule, a square
 * with a hole through the older calls, with the casts programs write. */
static void CALLBACK tessBegin(GLenum which)
{
    glBegin(which);
}

static void CALLBACK tessEnd(void)
{
    glEnd();
}

static void CALLBACK tessError(GLenum errorCode)
{
    fprintf(stderr, "tessellation error: %s\n", (const char *)gluErrorString(errorCode));
}

static void CALLBACK tessVertexData(GLvoid *vertex, GLvoid *polygon)
{
    const GLdouble *p = (const GLdouble *)vertex;
    (void)polygon;
    glColor3dv(p + 3);
    glVertex3dv(p);
}

static void CALLBACK tessCombine(GLdouble coords[3], GLdouble *vertexData[4], GLfloat weight[4],
                                 GLdouble **dataOut)
{
    GLdouble *vertex = (GLdouble *)malloc(6 * sizeof(GLdouble));
    int i;
    if (vertex == NULL)
        return;
    vertex[0] = coords[0];
    vertex[1] = coords[1];
    vertex[2] = coords[2];
    for (i = 3; i < 6; i++)
        vertex[i] = weight[0] * vertexData[0][i] + weight[1] * vertexData[1][i] +
                    weight[2] * vertexData[2][i] + weight[3] * vertexData[3][i];
    *dataOut = vertex;
}

void legacyTessellate(GLuint list)
{
    static GLdouble star[5][6] = {{250, 50, 0, 1, 0, 1}, {325, 200, 0, 1, 1, 0}, {400, 50, 0, 0, 1, 1},
                                  {250, 150, 0, 1, 0, 0}, {400, 150, 0, 0, 1, 0}};
    static GLdouble rect[4][3] = {{50, 50, 0}, {200, 50, 0}, {200, 200, 0}, {50, 200, 0}};
    static GLdouble hole[4][3] = {{75, 75, 0}, {125, 175, 0}, {175, 75, 0}, {75, 75, 0}};
    static const GLenum rules[] = {GLU_TESS_WINDING_ODD, GLU_TESS_WINDING_NONZERO, GLU_TESS_WINDING_POSITIVE,
                                   GLU_TESS_WINDING_NEGATIVE, GLU_TESS_WINDING_ABS_GEQ_TWO};
    GLUtesselator *tobj;
    GLUtriangulatorObj *old;
    GLdouble value;
    int i, r;

#ifdef GLU_VERSION_1_2
    tobj = gluNewTess();
    if (tobj == NULL)
        return;
    gluTessCallback(tobj, GLU_TESS_VERTEX, (_GLUfuncptr)glVertex3dv);
    gluTessCallback(tobj, GLU_TESS_BEGIN, (void (CALLBACK *)())tessBegin);
    gluTessCallback(tobj, GLU_TESS_END, (_GLUfuncptr)tessEnd);
    gluTessCallback(tobj, GLU_TESS_ERROR, (_GLUfuncptr)tessError);
    gluTessCallback(tobj, GLU_TESS_VERTEX_DATA, (_GLUfuncptr)tessVertexData);
    gluTessCallback(tobj, GLU_TESS_COMBINE, (void (CALLBACK *)())tessCombine);
#ifndef __cplusplus
    gluTessCallback(tobj, GLU_TESS_VERTEX, glVertex3dv);
    gluTessCallback(tobj, GLU_TESS_BEGIN, (GLvoid (*)())tessBegin);
    gluTessCallback(tobj, GLU_TESS_COMBINE, (GLvoid (*)())&tessCombine);
#endif
    gluTessNormal(tobj, 0.0, 0.0, 1.0);
    gluTessProperty(tobj, GLU_TESS_BOUNDARY_ONLY, GL_FALSE);
    gluTessProperty(tobj, GLU_TESS_TOLERANCE, 0.0);
    for (r = 0; r < (int)(sizeof rules / sizeof rules[0]); r++) {
        gluTessProperty(tobj, GLU_TESS_WINDING_RULE, rules[r]);
        gluGetTessProperty(tobj, GLU_TESS_WINDING_RULE, &value);
        glNewList(list + (GLuint)r, GL_COMPILE);
        gluTessBeginPolygon(tobj, NULL);
        gluTessBeginContour(tobj);
        for (i = 0; i < 5; i++)
            gluTessVertex(tobj, star[i], star[i]);
        gluTessEndContour(tobj);
        gluTessEndPolygon(tobj);
        glEndList();
    }
    gluDeleteTess(tobj);
#endif

    old = gluNewTess();
    gluTessCallback(old, GLU_BEGIN, (_GLUfuncptr)glBegin);
    gluTessCallback(old, GLU_VERTEX, (_GLUfuncptr)glVertex3dv);
    gluTessCallback(old, GLU_END, (_GLUfuncptr)glEnd);
    gluTessCallback(old, GLU_ERROR, (_GLUfuncptr)tessError);
    gluTessCallback(old, GLU_EDGE_FLAG, (_GLUfuncptr)glEdgeFlag);
    gluBeginPolygon(old);
    for (i = 0; i < 4; i++)
        gluTessVertex(old, rect[i], rect[i]);
    gluNextContour(old, GLU_INTERIOR);
    for (i = 0; i < 4; i++)
        gluTessVertex(old, hole[i], hole[i]);
    gluEndPolygon(old);
    gluDeleteTess(old);
}
