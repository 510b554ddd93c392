/* SPDX-License-Identifier: MIT */
/*
 * robot: an industrial robot arm in its work cell, built of quadrics the
 * way old GLUT demos built them.
 *
 * The floor is a disk of radius 6 in the y = 0 plane.  The robot stands on
 * its base at the origin and reaches back and to the left.  In front of it
 * (towards +z, where the camera is) an orange sector of the floor marks
 * where the operator stands: gluPartialDisk from 1.6 to 3.4 around the
 * base, from 120 to 240 degrees (0 points to -z, 90 to +x once the disk is
 * laid on the floor).  The camera looks from (5, 6, 9) at (0, 1.2, 0), up
 * along +y; the light comes from the upper left, in front.
 *
 * Cylinders, disks and spheres come from one quadric with its settings,
 * the view from gluLookAt.
 */
#include <GL/gl.h>
#include <GL/glu.h>

#include "offscreen.h"

#define WIDTH 400
#define HEIGHT 300

static GLUquadricObj *quadric;

static void init(void)
{
    static const GLfloat lightDirection[] = {-1.0f, 1.5f, 1.0f, 0.0f};
    static const GLfloat ambient[] = {0.25f, 0.25f, 0.28f, 1.0f};
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};

    quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);

    glClearColor(0.75f, 0.8f, 0.86f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    /* A directional light fixed in the world: set after the camera. */
    gluLookAt(5.0, 6.0, 9.0, 0.0, 1.2, 0.0, 0.0, 1.0, 0.0);
    glLightfv(GL_LIGHT0, GL_POSITION, lightDirection);
}

static void reshape(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (GLdouble)w / (GLdouble)h, 1.0, 40.0);
    glMatrixMode(GL_MODELVIEW);
}

/* Lays the next disk on the floor (facing +y) instead of facing +z. */
static void onFloor(void)
{
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
}

/* A closed cylinder along the current +z axis. */
static void drawRod(double radius, double length)
{
    gluCylinder(quadric, radius, radius, length, 24, 1);
    glPushMatrix();
    glTranslated(0.0, 0.0, length);
    gluDisk(quadric, 0.0, radius, 24, 1);
    glPopMatrix();
}

static void drawFloor(void)
{
    glPushMatrix();
    onFloor();
    glColor3f(0.35f, 0.37f, 0.42f);
    gluDisk(quadric, 0.0, 6.0, 64, 4);
    /* The operator's sector, just above the floor. */
    glTranslatef(0.0f, 0.0f, 0.01f);
    glColor3f(0.95f, 0.55f, 0.1f);
    gluPartialDisk(quadric, 1.6, 3.4, 32, 2, 120.0, 120.0);
    glPopMatrix();
}

static void drawArm(void)
{
    glPushMatrix();
    onFloor();
    glColor3f(0.55f, 0.12f, 0.1f);
    drawRod(1.2, 0.5);                 /* base */
    glColor3f(0.3f, 0.3f, 0.32f);
    drawRod(0.45, 1.5);                /* column */
    glTranslatef(0.0f, 0.0f, 1.6f);
    glColor3f(0.5f, 0.5f, 0.52f);
    gluSphere(quadric, 0.55f, 24, 12); /* shoulder */

    glColor3f(0.95f, 0.75f, 0.1f);
    glRotatef(75.0f, 0.0f, 0.0f, 1.0f);   /* turn to the left */
    glRotatef(-45.0f, 1.0f, 0.0f, 0.0f);  /* raise the upper arm */
    drawRod(0.3, 2.2);
    glTranslatef(0.0f, 0.0f, 2.2f);
    glColor3f(0.5f, 0.5f, 0.52f);
    gluSphere(quadric, 0.38f, 24, 12); /* elbow */
    glColor3f(0.95f, 0.75f, 0.1f);
    glRotatef(-80.0f, 1.0f, 0.0f, 0.0f);  /* bend the forearm down */
    drawRod(0.22, 1.8);
    glTranslatef(0.0f, 0.0f, 1.8f);
    glColor3f(0.25f, 0.25f, 0.28f);
    gluCylinder(quadric, 0.3, 0.12, 0.4, 16, 1);  /* gripper */
    glPopMatrix();
}

static void display(void)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(5.0, 6.0, 9.0, 0.0, 1.2, 0.0, 0.0, 1.0, 0.0);
    drawFloor();
    drawArm();
}

int main(int argc, char **argv)
{
    int status = offscreenMain(argc, argv, WIDTH, HEIGHT, init, reshape, display);
    gluDeleteQuadric(quadric);
    return status;
}
