/* SPDX-License-Identifier: MIT */
/*
 * solar: a small solar system, the way such demos were written for GLUT.
 *
 * The sun sits at the origin and lights the planets.  The camera looks at
 * the sun from (0, 7, 16), up along +y.  Three planets orbit in the y = 0
 * plane: a small red one at (-3.29, 0, -1.9), the blue-green, textured
 * world at (5.9, 0, 2.75) with its moon, and a ringed giant at
 * (-9.1, 0, -5.25).  Stars are drawn first, flat, through gluOrtho2D.
 *
 * It uses the calls such programs lean on: gluPerspective and gluLookAt,
 * gluOrtho2D, quadric settings and gluDeleteQuadric, an error callback with
 * gluErrorString.  The world's texture follows the classic sphere mapping
 * (s from +y towards +x, t from the south pole up), which the quadric's
 * gluQuadricTexture(quadric, GL_TRUE) asks for.
 */
#include <GL/gl.h>
#include <GL/glu.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include "offscreen.h"

#ifndef CALLBACK
#define CALLBACK
#endif

#define WIDTH 640
#define HEIGHT 400
#define TEX_W 64
#define TEX_H 32
#define STARS 180

static GLUquadricObj *quadric;
static GLuint worldTexture;
static int winWidth = WIDTH, winHeight = HEIGHT;

static void CALLBACK quadricError(GLenum code)
{
    fprintf(stderr, "solar: quadric error: %s\n", gluErrorString(code));
    exit(1);
}

/* Oceans, two continents and ice caps, in the classic sphere mapping:
 * row 0 is the south pole, column 0 faces +y. */
static void makeWorldTexture(void)
{
    static GLubyte texels[TEX_H][TEX_W][3];
    int i, j;

    for (i = 0; i < TEX_H; i++) {
        double lat = ((i + 0.5) / TEX_H - 0.5) * 3.14159265;
        for (j = 0; j < TEX_W; j++) {
            double lon = (j + 0.5) / TEX_W * 2.0 * 3.14159265;
            double land = sin(2.0 * lon) * cos(1.5 * lat) + 0.5 * sin(5.0 * lon + 1.0) * cos(3.0 * lat);
            GLubyte *t = texels[i][j];
            if (fabs(lat) > 1.2) {
                t[0] = 235; t[1] = 240; t[2] = 250;
            } else if (land > 0.45) {
                t[0] = 60; t[1] = 150; t[2] = 55;
            } else {
                t[0] = 25; t[1] = 70; t[2] = 170;
            }
        }
    }
    glGenTextures(1, &worldTexture);
    glBindTexture(GL_TEXTURE_2D, worldTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, TEX_W, TEX_H, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

static void init(void)
{
    static const GLfloat ambient[] = {0.06f, 0.06f, 0.08f, 1.0f};
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};

    quadric = gluNewQuadric();
    gluQuadricCallback(quadric, GLU_ERROR, quadricError);
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricOrientation(quadric, GLU_OUTSIDE);
    gluQuadricTexture(quadric, GL_TRUE);

    glClearColor(0.01f, 0.01f, 0.04f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    makeWorldTexture();
}

static void reshape(int w, int h)
{
    winWidth = w;
    winHeight = h;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, (GLdouble)w / (GLdouble)h, 1.0, 60.0);
    glMatrixMode(GL_MODELVIEW);
}

/* A fixed sprinkle of stars behind everything, in window coordinates. */
static void drawStars(void)
{
    unsigned long seed = 12345;
    int i;

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, (GLdouble)winWidth, 0.0, (GLdouble)winHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glBegin(GL_POINTS);
    for (i = 0; i < STARS; i++) {
        float x, y, b;
        seed = (seed * 1103515245UL + 12345UL) & 0x7fffffffUL;
        x = (float)(seed % (unsigned long)winWidth);
        seed = (seed * 1103515245UL + 12345UL) & 0x7fffffffUL;
        y = (float)(seed % (unsigned long)winHeight);
        b = 0.35f + (float)(i % 5) * 0.12f;
        glColor3f(b, b, b * 1.1f);
        glVertex2f(x + 0.5f, y + 0.5f);
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

/* An orbit: a thin ring in the y = 0 plane. */
static void drawOrbit(double radius)
{
    glPushMatrix();
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glColor3f(0.22f, 0.24f, 0.32f);
    gluDisk(quadric, radius - 0.03, radius + 0.03, 120, 1);
    glPopMatrix();
}

/* A planet at (x, 0, z), its poles along +y. */
static void drawPlanet(double x, double z, float radius, float r, float g, float b)
{
    glPushMatrix();
    glTranslated(x, 0.0, z);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glColor3f(r, g, b);
    gluSphere(quadric, radius, 32, 16);
    glPopMatrix();
}

static void drawWorld(void)
{
    glPushMatrix();
    glTranslated(5.9, 0.0, 2.75);
    glRotatef(23.5f, 0.0f, 0.0f, 1.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);

    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    gluSphere(quadric, 1.1f, 48, 24);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();

    drawPlanet(5.9 + 1.8, 2.75 + 0.4, 0.3f, 0.7f, 0.7f, 0.68f);
}

/* The giant and its rings, which shine by themselves (unlit). */
static void drawGiant(void)
{
    drawPlanet(-9.1, -5.25, 1.3f, 0.85f, 0.7f, 0.45f);
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glTranslated(-9.1, 0.0, -5.25);
    glRotatef(-70.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-15.0f, 0.0f, 1.0f, 0.0f);
    glColor3f(0.55f, 0.5f, 0.4f);
    gluDisk(quadric, 1.7, 2.7, 64, 3);
    glPopMatrix();
    glEnable(GL_LIGHTING);
}

static void display(void)
{
    static const GLfloat atTheSun[] = {0.0f, 0.0f, 0.0f, 1.0f};
    GLenum error;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawStars();

    glLoadIdentity();
    gluLookAt(0.0, 7.0, 16.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glLightfv(GL_LIGHT0, GL_POSITION, atTheSun);

    glDisable(GL_LIGHTING);
    drawOrbit(3.8);
    drawOrbit(6.5);
    drawOrbit(10.5);
    glColor3f(1.0f, 0.82f, 0.25f);
    gluSphere(quadric, 2.2f, 48, 24);

    glEnable(GL_LIGHTING);
    drawPlanet(-3.29, -1.9, 0.4f, 0.8f, 0.35f, 0.25f);
    drawWorld();
    drawGiant();

    error = glGetError();
    if (error != GL_NO_ERROR)
        fprintf(stderr, "solar: %s\n", gluErrorString(error));
}

int main(int argc, char **argv)
{
    int status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    gluDeleteQuadric(quadric);
    return status;
}
