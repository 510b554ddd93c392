/* SPDX-License-Identifier: MIT */
/*
 * zoom: a camera zooming in on a table of quadrics, frame after frame; a
 * legacy-style program to try softglu-trace --run on.
 *
 *     zoom [-n FRAMES] OUTPUT.png      (8 frames unless -n says otherwise)
 *
 * Each frame sets its projection with gluPerspective, the field of view
 * closing from 60 degrees to a long lens's 2.7602, and draws, on a floor of
 * its own (one glBegin(GL_QUADS), which a trace does not list: it is no
 * softglu call), a table of five columns: spheres, cylinders closed by
 * disks, and tori, their counts growing from left to right.  The last frame
 * is written.  It prints one line on standard output.
 *
 * Three of the fields of view, 6.9625, 4.2052 and 2.7602 degrees, are
 * arguments where glibc's two families of tan part (docs/bit-exact.md):
 * traced on a workstation and on an armel board, the two listings part at
 * the first of them, unless the workstation runs in the board's family
 * (softglu-trace --like armel).
 */
#include <GL/gl.h>
#include <GL/glu.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "offscreen.h"

#define WIDTH 320
#define HEIGHT 240

static const double fieldsOfView[] = {60.0, 45.0, 30.0, 20.0, 12.0, 6.9625, 4.2052, 2.7602};
#define VIEWS ((int)(sizeof fieldsOfView / sizeof fieldsOfView[0]))

static int frames = VIEWS;
static double aspect = 1.0;
static GLUquadricObj *quadric;

static void init(void)
{
    quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, GLU_FILL);
    glClearColor(0.1f, 0.12f, 0.16f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
}

static void reshape(int w, int h)
{
    glViewport(0, 0, w, h);
    aspect = (double)w / (double)h;
}

static void drawFloor(void)
{
    glColor3f(0.3f, 0.32f, 0.36f);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(-9.0f, -1.2f, 6.0f);
    glVertex3f(9.0f, -1.2f, 6.0f);
    glVertex3f(9.0f, -1.2f, -6.0f);
    glVertex3f(-9.0f, -1.2f, -6.0f);
    glEnd();
}

/* Column c of the table, at x = 3 (c - 2): a sphere in front, a closed
 * cylinder in the middle, a torus at the back. */
static void drawColumn(int c)
{
    const int slices = 12 + 4 * c, stacks = 6 + 2 * c;

    glPushMatrix();
    glTranslatef(3.0f * (float)(c - 2), 0.0f, 3.0f);
    glColor3f(0.9f, 0.5f + 0.1f * (float)c, 0.2f);
    gluSphere(quadric, 1.0f, slices, stacks);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(3.0f * (float)(c - 2), -1.0f, 0.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glColor3f(0.2f, 0.6f, 0.3f + 0.15f * (float)c);
    gluCylinder(quadric, 0.8, 0.5, 2.0, slices, 3);
    glTranslatef(0.0f, 0.0f, 2.0f);
    gluDisk(quadric, 0.0, 0.5, slices, 1);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(3.0f * (float)(c - 2), 0.0f, -3.0f);
    glColor3f(0.5f + 0.1f * (float)c, 0.3f, 0.8f);
    drawTorus(0.3f, 6 + c, 0.8f, slices);
    glPopMatrix();
}

static void display(void)
{
    int f, c;
    for (f = 0; f < frames; ++f) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(fieldsOfView[f % VIEWS], aspect, 1.0, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -24.0f);
        glRotatef(25.0f, 1.0f, 0.0f, 0.0f);
        drawFloor();
        for (c = 0; c < 5; ++c)
            drawColumn(c);
    }
    printf("zoom: %d frame%s of 20 quadrics, the last at %g degrees\n", frames, frames == 1 ? "" : "s",
           fieldsOfView[(frames - 1) % VIEWS]);
}

int main(int argc, char **argv)
{
    int status;
    if (argc >= 3 && strcmp(argv[1], "-n") == 0) {
        char *end;
        const long n = strtol(argv[2], &end, 10);
        if (*end != '\0' || n < 1 || n > 1000000) {
            fprintf(stderr, "zoom: -n takes a number of frames from 1 to 1000000, not '%s'\n", argv[2]);
            return 2;
        }
        frames = (int)n;
        argv[2] = argv[0];
        argv += 2;
        argc -= 2;
    }
    status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    return status;
}
