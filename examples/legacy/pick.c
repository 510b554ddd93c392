/* SPDX-License-Identifier: MIT */
/*
 * pick: a legacy-style program that leans on the GL utility calls around
 * the quadrics, written as such programs are, for the classic library and
 * its classic build names: it includes <GL/glu.h> and links -lGLU.  Built
 * unchanged after sourcing softglu's porting.sh, it uses softglu.
 *
 * Three striped balls stand in a row on a floor, seen from (0, 2, 8)
 * looking at the origin.  Their texture is 60 x 36 texels of red and blue
 * stripes, one texel wide: gluBuild2DMipmaps scales it to 64 x 32 and
 * halves it down to 1 x 1, so at the balls' small size on screen the
 * minifying filter blends the stripes to purple (without the smaller
 * levels the texture would be incomplete, and the balls untextured).
 *
 * Then it picks, as a mouse click would: the middle ball's centre is
 * projected to the window with gluProject, and the scene drawn again in
 * selection mode through gluPickMatrix around that pixel.  A white label
 * (a 4 x 4 image that gluScaleImage enlarges to 12 x 12) is drawn 40
 * pixels above the picked ball's projected centre, at a raster position
 * that gluUnProject finds for that pixel.  The floor is a disk textured
 * with a 1D ramp from gluBuild1DMipmaps.
 *
 * The GLU version and extensions, and what was picked, go to standard
 * output.
 */
#include <GL/gl.h>
#include <GL/glu.h>

#include "offscreen.h"

#include <stdio.h>
#include <stdlib.h>

#define WIDTH 400
#define HEIGHT 300
#define BALLS 3

static const GLdouble ballX[BALLS] = {-2.5, 0.0, 2.5};
static const char *const ballName[BALLS] = {"left", "middle", "right"};

static GLUquadricObj *quadric;
static GLuint stripes, ramp;
static GLubyte label[12][12][3];
static int winWidth = WIDTH, winHeight = HEIGHT;

static void makeTextures(void)
{
    static GLubyte image[36][60][3];
    static GLubyte gradient[48][3];
    static GLubyte small[4][4][3];
    int x, y, err;

    for (y = 0; y < 36; y++)
        for (x = 0; x < 60; x++) {
            image[y][x][0] = (GLubyte)(x % 2 ? 0 : 255);
            image[y][x][1] = 0;
            image[y][x][2] = (GLubyte)(x % 2 ? 255 : 0);
        }
    glGenTextures(1, &stripes);
    glBindTexture(GL_TEXTURE_2D, stripes);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    err = gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 60, 36, GL_RGB, GL_UNSIGNED_BYTE, image);
    if (err)
        fprintf(stderr, "pick: gluBuild2DMipmaps: %s\n", (const char *)gluErrorString((GLenum)err));

    for (x = 0; x < 48; x++) {
        gradient[x][0] = (GLubyte)(x * 4);
        gradient[x][1] = (GLubyte)(100 + x);
        gradient[x][2] = 60;
    }
    glGenTextures(1, &ramp);
    glBindTexture(GL_TEXTURE_1D, ramp);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    err = gluBuild1DMipmaps(GL_TEXTURE_1D, GL_RGB, 48, GL_RGB, GL_UNSIGNED_BYTE, gradient);
    if (err)
        fprintf(stderr, "pick: gluBuild1DMipmaps: %s\n", (const char *)gluErrorString((GLenum)err));

    for (y = 0; y < 4; y++)
        for (x = 0; x < 4; x++)
            small[y][x][0] = small[y][x][1] = small[y][x][2] = 255;
    err = gluScaleImage(GL_RGB, 4, 4, GL_UNSIGNED_BYTE, small, 12, 12, GL_UNSIGNED_BYTE, label);
    if (err)
        fprintf(stderr, "pick: gluScaleImage: %s\n", (const char *)gluErrorString((GLenum)err));
}

static void init(void)
{
    static const GLfloat light[] = {0.3f, 1.0f, 1.0f, 0.0f};
    const GLubyte *extensions = gluGetString(GLU_EXTENSIONS);

    printf("GLU %s, extensions: \"%s\"\n", (const char *)gluGetString(GLU_VERSION),
           (const char *)extensions);
    if (gluCheckExtension((const GLubyte *)"GLU_EXT_nurbs_tessellator", extensions))
        printf("NURBS tessellator available\n");

    quadric = gluNewQuadric();
    if (quadric == NULL) {
        fprintf(stderr, "pick: out of memory\n");
        exit(1);
    }
    gluQuadricTexture(quadric, GL_TRUE);
    gluQuadricNormals(quadric, GLU_SMOOTH);

    glClearColor(0.05f, 0.05f, 0.1f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glEnable(GL_COLOR_MATERIAL);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    makeTextures();
}

static void reshape(int w, int h)
{
    winWidth = w;
    winHeight = h;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, (GLdouble)w / (GLdouble)h, 1.0, 50.0);
    glMatrixMode(GL_MODELVIEW);
}

static void camera(void)
{
    glLoadIdentity();
    gluLookAt(0.0, 2.0, 8.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

static void drawBalls(void)
{
    int i;

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, stripes);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (i = 0; i < BALLS; i++) {
        glLoadName((GLuint)i);
        glPushMatrix();
        glTranslated(ballX[i], 0.0, 0.0);
        gluSphere(quadric, 0.8f, 24, 16);
        glPopMatrix();
    }
    glDisable(GL_TEXTURE_2D);
}

static void drawFloor(void)
{
    glEnable(GL_TEXTURE_1D);
    glBindTexture(GL_TEXTURE_1D, ramp);
    glPushMatrix();
    glTranslated(0.0, -0.8, 0.0);
    glRotated(-90.0, 1.0, 0.0, 0.0);
    gluDisk(quadric, 0.0, 5.0, 48, 4);
    glPopMatrix();
    glDisable(GL_TEXTURE_1D);
}

/* The ball under window pixel (x, y), or -1: the scene drawn in selection
 * mode through a 3 x 3 pick region. */
static int pickAt(GLdouble x, GLdouble y)
{
    GLuint hits[64];
    GLint viewport[4];
    GLint count, i, best = -1;
    GLuint nearest = 0xffffffffu;

    glGetIntegerv(GL_VIEWPORT, viewport);
    glSelectBuffer(64, hits);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, y, 3.0, 3.0, viewport);
    gluPerspective(40.0, (GLdouble)winWidth / (GLdouble)winHeight, 1.0, 50.0);
    glMatrixMode(GL_MODELVIEW);
    camera();
    drawBalls();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    count = glRenderMode(GL_RENDER);
    /* Each hit: the name count, the nearest and farthest depth, the names. */
    for (i = 0; i < count && 4 * i + 3 < 64; i++)
        if (hits[4 * i + 1] < nearest) {
            nearest = hits[4 * i + 1];
            best = (GLint)hits[4 * i + 3];
        }
    return best;
}

static void display(void)
{
    GLdouble model[16], projection[16], wx, wy, wz, ox, oy, oz;
    GLint viewport[4];
    int picked;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    camera();
    drawFloor();
    drawBalls();

    /* A click on the middle ball's centre. */
    glLoadIdentity();
    camera();
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (!gluProject(ballX[1], 0.0, 0.0, model, projection, viewport, &wx, &wy, &wz)) {
        fprintf(stderr, "pick: gluProject failed\n");
        return;
    }
    picked = pickAt(wx, wy);
    if (picked < 0) {
        printf("picked nothing at %.1f, %.1f\n", wx, wy);
        return;
    }
    printf("picked the %s ball at %.1f, %.1f\n", ballName[picked], wx, wy);

    /* Its label, 40 pixels above its centre, at the raster position
     * gluUnProject finds for that pixel at the ball's depth. */
    if (!gluProject(ballX[picked], 0.0, 0.0, model, projection, viewport, &wx, &wy, &wz) ||
        !gluUnProject(wx - 6.0, wy + 40.0 - 6.0, wz, model, projection, viewport, &ox, &oy, &oz)) {
        fprintf(stderr, "pick: cannot place the label\n");
        return;
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glRasterPos3d(ox, oy, oz);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(12, 12, GL_RGB, GL_UNSIGNED_BYTE, label);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

int main(int argc, char **argv)
{
    int status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    gluDeleteQuadric(quadric);
    return status;
}
