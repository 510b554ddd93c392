/* SPDX-License-Identifier: MIT */
/* offscreen: a headless stand-in for GLUT (see offscreen.h): Mesa's
 * offscreen renderer (OSMesa) and a PNG writer (libpng). */
#define _POSIX_C_SOURCE 200809L

#include "offscreen.h"

#include <GL/osmesa.h>
#include <png.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char *program = "offscreen";

/* Writes the RGBA frame (row 0 at the bottom, as GL has it) as an RGB PNG
 * to the open stream, top row first.  Returns 0 or the reason. */
static const char *writePng(FILE *out, const GLubyte *rgba, int width, int height)
{
    static char reason[sizeof ((png_image *)0)->message];
    png_image image;
    unsigned char *rgb;
    const char *why = NULL;
    int x, y;

    rgb = (unsigned char *)malloc((size_t)width * (size_t)height * 3);
    if (!rgb)
        return "out of memory";
    for (y = 0; y < height; ++y) {
        const GLubyte *from = rgba + (size_t)(height - 1 - y) * (size_t)width * 4;
        unsigned char *to = rgb + (size_t)y * (size_t)width * 3;
        for (x = 0; x < width; ++x) {
            to[x * 3 + 0] = from[x * 4 + 0];
            to[x * 3 + 1] = from[x * 4 + 1];
            to[x * 3 + 2] = from[x * 4 + 2];
        }
    }
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_stdio(&image, out, 0, rgb, 0, NULL)) {
        /* The message lives in `image`: keep a copy past the return. */
        memcpy(reason, image.message, sizeof reason);
        reason[sizeof reason - 1] = '\0';
        why = reason[0] ? reason : "libpng could not write the image";
    }
    free(rgb);
    return why;
}

/* Writes the frame to `path` through a temporary file beside it, renamed
 * into place once complete.  Returns 0 on success. */
static int saveFrame(const char *path, const GLubyte *rgba, int width, int height)
{
    size_t length = strlen(path);
    char *temporary = (char *)malloc(length + 8);
    const char *why = NULL;
    FILE *out = NULL;
    mode_t mask;
    int fd;

    if (!temporary) {
        fprintf(stderr, "%s: out of memory\n", program);
        return 1;
    }
    memcpy(temporary, path, length);
    memcpy(temporary + length, ".XXXXXX", 8);
    fd = mkstemp(temporary);
    if (fd < 0) {
        fprintf(stderr, "%s: cannot create a file beside %s: %s\n", program, path, strerror(errno));
        free(temporary);
        return 1;
    }
    /* mkstemp makes the file private; give it the usual permissions. */
    mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) != 0 || !(out = fdopen(fd, "wb"))) {
        why = strerror(errno);
        close(fd);
    } else {
        why = writePng(out, rgba, width, height);
        if (!why && fflush(out) != 0)
            why = strerror(errno);
        if (fclose(out) != 0 && !why)
            why = strerror(errno);
    }
    if (!why && rename(temporary, path) != 0)
        why = strerror(errno);
    if (why) {
        fprintf(stderr, "%s: cannot write %s: %s\n", program, path, why);
        unlink(temporary);
    }
    free(temporary);
    return why ? 1 : 0;
}

int offscreenMain(int argc, char **argv, int width, int height, void (*init)(void),
                  void (*reshape)(int width, int height), void (*display)(void))
{
    OSMesaContext context;
    GLubyte *frame;
    GLenum error;
    int status;

    if (argc > 0 && argv[0] && argv[0][0])
        program = argv[0];
    if (argc != 2 || !argv[1][0] || argv[1][0] == '-') {
        fprintf(stderr, "usage: %s OUTPUT.png\n"
                        "Draws one frame with Mesa's offscreen GL and writes it as a PNG image.\n",
                program);
        return 2;
    }
    frame = (GLubyte *)malloc((size_t)width * (size_t)height * 4);
    context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, NULL);
    if (!frame || !context || !OSMesaMakeCurrent(context, frame, GL_UNSIGNED_BYTE, width, height)) {
        fprintf(stderr, "%s: cannot make a %dx%d offscreen GL context\n", program, width, height);
        if (context)
            OSMesaDestroyContext(context);
        free(frame);
        return 1;
    }

    init();
    reshape(width, height);
    display();
    glFinish();
    error = glGetError();
    if (error != GL_NO_ERROR) {
        fprintf(stderr, "%s: GL error 0x%04x after drawing\n", program, (unsigned)error);
        status = 1;
    } else {
        status = saveFrame(argv[1], frame, width, height);
    }
    OSMesaDestroyContext(context);
    free(frame);
    return status;
}
