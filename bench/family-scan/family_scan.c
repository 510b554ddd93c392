/* SPDX-License-Identifier: MIT */
/* family_scan: what bench/family-scan/family-scan.sh compares between math families.
 *
 *   family_scan math N     the bits of N arguments in [0, 2 pi) (a fixed
 *                          xorshift sequence) and of their sin, cos and tan
 *   family_scan perspective
 *                          gluPerspective(f, 1, 1, 100) for every f from
 *                          0.0001 to 179.9999 in steps of 0.0001 (each
 *                          i / 10000.0, the double nearest the decimal):
 *                          f and the bits of the frustum's top
 *
 * Built with -DSCAN_PERSPECTIVE and linked with libsoftglu for the second;
 * its own glFrustum (the program exports it) takes the frustum. */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static unsigned long long bits(double d)
{
    uint64_t b;
    memcpy(&b, &d, sizeof b);
    return (unsigned long long)b;
}

static int scanMath(long n)
{
    uint64_t s = 88172645463325252ULL;
    long i;
    for (i = 0; i < n; ++i) {
        volatile double x;
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        x = (double)(s >> 11) * 0x1p-53 * 6.283185307179586;
        printf("%016llx %016llx %016llx %016llx\n", bits(x), bits(sin(x)), bits(cos(x)), bits(tan(x)));
    }
    return 0;
}

#ifdef SCAN_PERSPECTIVE
#include <GL/glu.h>

static double top;

void glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    (void)l; (void)r; (void)b; (void)n; (void)f;
    top = t;
}
/* softglu sends nothing else for gluPerspective. */
void glBegin(GLenum m) { (void)m; }
void glEnd(void) {}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; }
void glTexCoord2f(GLfloat s, GLfloat t) { (void)s; (void)t; }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { (void)x; (void)y; (void)z; }
void glVertex2f(GLfloat x, GLfloat y) { (void)x; (void)y; }

static int scanPerspective(void)
{
    long i;
    for (i = 1; i < 1800000; ++i) {
        const double f = (double)i / 10000.0;
        gluPerspective(f, 1.0, 1.0, 100.0);
        printf("%.10g %016llx\n", f, bits(top));
    }
    return 0;
}
#endif

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "math") == 0)
        return scanMath(atol(argv[2]));
#ifdef SCAN_PERSPECTIVE
    if (argc == 2 && strcmp(argv[1], "perspective") == 0)
        return scanPerspective();
#endif
    fprintf(stderr, "usage: family_scan math N | perspective\n");
    return 2;
}
