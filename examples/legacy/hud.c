/* SPDX-License-Identifier: MIT */
/*
 * hud: a 3D view with a flat instrument overlay, drawn the classic way:
 * the scene through gluPerspective and gluLookAt, then the overlay in
 * window coordinates through gluOrtho2D.
 *
 * The scene is a striped drum (a cylinder with a lid) standing at the
 * origin, lit from the left, seen from (0, 3, 8) looking at (0, 1, 0).  Its
 * label is mapped the classic way round (s growing from +y towards +x), as
 * gluQuadricTexture(quadric, GL_TRUE) asks.
 *
 * The overlay has two round gauges, 48 pixels in outer and 34 in inner
 * radius, centred 64 pixels in from the bottom corners.  Each is a grey
 * ring (gluDisk) with its reading as a sector over it (gluPartialDisk,
 * angles in degrees from straight up, clockwise): the left one green from
 * -120 through +170 degrees (to 50), the right one orange from 120 back
 * through -100 degrees (to 20).  Back faces are culled here too, so a
 * sector that faced away would not show.
 */
#include <GL/gl.h>
#include <GL/glu.h>

#include "offscreen.h"

#define WIDTH 400
#define HEIGHT 300
#define STRIPES 16

static GLUquadricObj *quadric;
static GLuint labelTexture;
static int winWidth = WIDTH, winHeight = HEIGHT;

/* Vertical stripes; the red one, from s = 0.375 to 0.4375, faces the viewer
 * on the right of the drum's front. */
static void makeLabel(void)
{
    static GLubyte texels[STRIPES][3];
    int i;

    for (i = 0; i < STRIPES; i++) {
        GLubyte shade = (GLubyte)((i % 2) ? 240 : 110);
        texels[i][0] = texels[i][1] = texels[i][2] = shade;
    }
    texels[6][0] = 220;
    texels[6][1] = 30;
    texels[6][2] = 30;
    glGenTextures(1, &labelTexture);
    glBindTexture(GL_TEXTURE_2D, labelTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, STRIPES, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

static void init(void)
{
    static const GLfloat fromTheLeft[] = {-1.0f, 0.3f, 0.4f, 0.0f};
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};

    quadric = gluNewQuadric();
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_TRUE);

    glClearColor(0.1f, 0.12f, 0.16f, 1.0f);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, fromTheLeft);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glEnable(GL_COLOR_MATERIAL);
    makeLabel();
}

static void reshape(int w, int h)
{
    winWidth = w;
    winHeight = h;
    glViewport(0, 0, w, h);
}

static void drawDrum(void)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, (GLdouble)winWidth / (GLdouble)winHeight, 1.0, 30.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 3.0, 8.0, 0.0, 1.0, 0.0, 0.0, 1.0, 0.0);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glPushMatrix();
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);  /* the drum's axis up */

    glEnable(GL_TEXTURE_2D);
    glColor3f(0.9f, 0.85f, 0.7f);
    gluCylinder(quadric, 1.0, 1.0, 2.0, 48, 1);
    glDisable(GL_TEXTURE_2D);

    glTranslatef(0.0f, 0.0f, 2.0f);
    glColor3f(0.5f, 0.5f, 0.55f);
    gluDisk(quadric, 0.0, 1.0, 48, 1);
    glPopMatrix();
}

/* A gauge centred at (x, y) in window coordinates. */
static void drawGauge(double x, double y, double start, double sweep, float r, float g, float b)
{
    glPushMatrix();
    glTranslated(x, y, 0.0);
    glColor3f(0.3f, 0.32f, 0.36f);
    gluDisk(quadric, 34.0, 48.0, 48, 1);
    glColor3f(r, g, b);
    gluPartialDisk(quadric, 34.0, 48.0, 48, 1, start, sweep);
    glPopMatrix();
}

static void drawOverlay(void)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, (GLdouble)winWidth, 0.0, (GLdouble)winHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);

    drawGauge(64.0, 64.0, -120.0, 170.0, 0.2f, 0.85f, 0.35f);
    drawGauge(winWidth - 64.0, 64.0, 120.0, -100.0, 0.95f, 0.6f, 0.15f);

    /* A frame around the view. */
    glColor3f(0.6f, 0.65f, 0.7f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(4.5f, 4.5f);
    glVertex2f((float)winWidth - 4.5f, 4.5f);
    glVertex2f((float)winWidth - 4.5f, (float)winHeight - 4.5f);
    glVertex2f(4.5f, (float)winHeight - 4.5f);
    glEnd();
}

static void display(void)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawDrum();
    drawOverlay();
}

int main(int argc, char **argv)
{
    int status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    gluDeleteQuadric(quadric);
    return status;
}
