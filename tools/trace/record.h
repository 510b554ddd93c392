/* SPDX-License-Identifier: MIT */
/*
 * What the interposer (interpose.c) tells softglu-trace --run over its
 * socket: a record per call, each a tag byte and the call's arguments.
 *
 * A traced process sends its math family first, then, for each call of
 * softglu's it makes, that call and every GL call softglu sends inside it.
 * Arguments are written in the order of the call's parameters, each as its
 * bits in little-endian order whatever the machine, so that softglu-trace
 * reads the records of a program of any architecture (one run under
 * qemu-user included):
 *   'f' float, 4 bytes    'd' double, 8 bytes    'i' int, 4 bytes
 *   'h' a quadric handle, 1 byte: 0 for NULL, 1 for any other (never the
 *       address, so that two machines' listings compare)
 *   'r' the handle returned, the same way
 *   'e' gluQuadricDrawStyle's style, an int written like 'i'
 *   'u' glBegin's mode, an unsigned int, 4 bytes
 *   'm' a math family (family.h), 1 byte
 * GL calls carry the numbers of glrecord's Op (glrecord.h), so that
 * softglu-trace prints them as it prints one call's stream.
 */
#ifndef SOFTGLU_TRACE_RECORD_H
#define SOFTGLU_TRACE_RECORD_H

enum {
    SOFTGLU_REC_BEGIN = 0,
    SOFTGLU_REC_END = 1,
    SOFTGLU_REC_NORMAL3F = 2,
    SOFTGLU_REC_TEXCOORD2F = 3,
    SOFTGLU_REC_VERTEX3F = 4,
    SOFTGLU_REC_VERTEX2F = 5,
    SOFTGLU_REC_FRUSTUM = 6,
    SOFTGLU_REC_PERSPECTIVE = 0x40,
    SOFTGLU_REC_NEW_QUADRIC = 0x41,
    SOFTGLU_REC_QUADRIC_DRAW_STYLE = 0x42,
    SOFTGLU_REC_CYLINDER = 0x43,
    SOFTGLU_REC_DISK = 0x44,
    SOFTGLU_REC_SPHERE = 0x45,
    SOFTGLU_REC_TORUS = 0x46,
    SOFTGLU_REC_FAMILY = 0x7f
};

/* Each record's name and arguments, in the letters above. */
struct softglu_record_kind {
    unsigned char tag;
    const char *name;
    const char *args;
};

static const struct softglu_record_kind softglu_records[] = {
    {SOFTGLU_REC_BEGIN, "glBegin", "u"},
    {SOFTGLU_REC_END, "glEnd", ""},
    {SOFTGLU_REC_NORMAL3F, "glNormal3f", "fff"},
    {SOFTGLU_REC_TEXCOORD2F, "glTexCoord2f", "ff"},
    {SOFTGLU_REC_VERTEX3F, "glVertex3f", "fff"},
    {SOFTGLU_REC_VERTEX2F, "glVertex2f", "ff"},
    {SOFTGLU_REC_FRUSTUM, "glFrustum", "dddddd"},
    {SOFTGLU_REC_PERSPECTIVE, "gluPerspective", "dddd"},
    {SOFTGLU_REC_NEW_QUADRIC, "gluNewQuadric", "r"},
    {SOFTGLU_REC_QUADRIC_DRAW_STYLE, "gluQuadricDrawStyle", "he"},
    {SOFTGLU_REC_CYLINDER, "gluCylinder", "hdddii"},
    {SOFTGLU_REC_DISK, "gluDisk", "hddii"},
    {SOFTGLU_REC_SPHERE, "gluSphere", "hfii"},
    {SOFTGLU_REC_TORUS, "drawTorus", "fifi"},
    {SOFTGLU_REC_FAMILY, "family", "m"},
};

/* The environment variable through which softglu-trace tells the
 * interposer where to write and which process to trace: "FD:PID".  Other
 * processes (those the program forks, or a process that inherits the
 * variable without being started by softglu-trace) trace nothing. */
#define SOFTGLU_TRACE_RUN_ENV "SOFTGLU_TRACE_RUN"

#endif
