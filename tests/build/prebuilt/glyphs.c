/* SPDX-License-Identifier: MIT */
/* glyphs PNG: the text program of tests/build/check_prebuilt.sh.  It loads
 * Debian's prebuilt libGLC.so.0 with every symbol bound now (RTLD_NOW), so
 * each classic call it records must be found in the libGLU.so.1 the loader
 * picks, and draws "softglu Ill" twice into an OSMesa frame: filled
 * (GLC_TRIANGLE, whose glyphs libGLC tessellates through gluTess*) in the
 * top half, outlined (GLC_LINE) in the bottom half.  It writes the frame to
 * PNG and prints, on standard output:
 *     map PATH        each file named libGLU.so* mapped into the process
 *     filled F        the share of the filled text's lit pixels that are
 *                     inside a glyph (lit with all their neighbours)
 *     outlined F      the same of the outlined text
 * The caller judges them.  Link it with -lOSMesa first and -rdynamic, so
 * that libGLC's and libGLU's gl* calls bind to OSMesa's and not to libGL's,
 * and GLEW's lookups (libGLC draws through GLEW's pointers) to ours. */
#include <GL/osmesa.h>
#include <png.h>

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The few GLC calls and values used, from libglc-dev's GL/glc.h. */
#define GLC_LINE 0x0101
#define GLC_TRIANGLE 0x0103
static GLint (*glcGenContext)(void);
static void (*glcContext)(GLint);
static GLint (*glcGenFontID)(void);
static GLint (*glcNewFontFromFamily)(GLint, const void *);
static void (*glcFont)(GLint);
static GLboolean (*glcFontFace)(GLint, const void *);
static void (*glcRenderStyle)(GLint);
static void (*glcRenderString)(const void *);
static GLint (*glcGetError)(void);

/* GLEW looks GL's calls up through GLX, which has no context here: the
 * program's own lookup, exported, answers it with OSMesa's. */
void (*glXGetProcAddressARB(const GLubyte *name))(void)
{
    return (void (*)(void))OSMesaGetProcAddress((const char *)name);
}

enum { W = 640, H = 280, SIZE = 96 };
static const char text[] = "softglu Ill";
static GLubyte frame[H][W][4];

static void *bind(void *glc, const char *name)
{
    void *f = dlsym(glc, name);
    if (!f) {
        fprintf(stderr, "glyphs: libGLC.so.0 has no %s\n", name);
        exit(1);
    }
    return f;
}

/* The text at (x, y) in pixels, each glyph's em SIZE pixels high. */
static void drawText(GLint style, float x, float y)
{
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glScalef(SIZE, SIZE, 1.0f);
    glcRenderStyle(style);
    glcRenderString(text);
    glPopMatrix();
}

/* The share of the lit pixels of rows [y0, y1) that are inside a glyph:
 * lit with their eight neighbours.  Outlines have almost none. */
static double insideShare(int y0, int y1)
{
    int lit = 0, inside = 0, x, y, dx, dy;
    for (y = y0 + 1; y < y1 - 1; ++y)
        for (x = 1; x < W - 1; ++x) {
            int all = 1;
            if (frame[y][x][0] < 128)
                continue;
            ++lit;
            for (dy = -1; dy <= 1; ++dy)
                for (dx = -1; dx <= 1; ++dx)
                    all &= frame[y + dy][x + dx][0] >= 128;
            inside += all;
        }
    return lit ? (double)inside / lit : 0.0;
}

/* The maps' lines naming a libGLU.so*, their path alone. */
static void printMaps(void)
{
    char line[4096];
    FILE *maps = fopen("/proc/self/maps", "r");
    if (!maps) {
        perror("glyphs: /proc/self/maps");
        exit(1);
    }
    while (fgets(line, sizeof line, maps)) {
        char *path = strchr(line, '/');
        if (path && strstr(path, "/libGLU.so"))
            printf("map %s", path);
    }
    fclose(maps);
}

static int writePng(const char *path)
{
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = W;
    image.height = H;
    image.format = PNG_FORMAT_RGBA;
    /* GL's row 0 is the bottom one: a negative stride writes it last. */
    if (!png_image_write_to_file(&image, path, 0, frame, -W * 4, NULL)) {
        fprintf(stderr, "glyphs: cannot write %s: %s\n", path, image.message);
        return 1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    OSMesaContext context;
    void *glc;
    GLint font;

    if (argc != 2) {
        fprintf(stderr, "usage: glyphs PNG\n");
        return 2;
    }
    context = OSMesaCreateContextExt(OSMESA_RGBA, 0, 0, 0, NULL);
    if (!context || !OSMesaMakeCurrent(context, frame, GL_UNSIGNED_BYTE, W, H)) {
        fprintf(stderr, "glyphs: no OSMesa context\n");
        return 1;
    }
    glc = dlopen("libGLC.so.0", RTLD_NOW);
    if (!glc) {
        fprintf(stderr, "glyphs: %s\n", dlerror());
        return 1;
    }
    glcGenContext = bind(glc, "glcGenContext");
    glcContext = bind(glc, "glcContext");
    glcGenFontID = bind(glc, "glcGenFontID");
    glcNewFontFromFamily = bind(glc, "glcNewFontFromFamily");
    glcFont = bind(glc, "glcFont");
    glcFontFace = bind(glc, "glcFontFace");
    glcRenderStyle = bind(glc, "glcRenderStyle");
    glcRenderString = bind(glc, "glcRenderString");
    glcGetError = bind(glc, "glcGetError");

    glcContext(glcGenContext());
    font = glcNewFontFromFamily(glcGenFontID(), "DejaVu Sans");
    if (!font || !glcFontFace(font, "Bold")) {
        fprintf(stderr, "glyphs: no DejaVu Sans Bold (fonts-dejavu-core)\n");
        return 1;
    }
    glcFont(font);

    glMatrixMode(GL_PROJECTION);
    glOrtho(0, W, 0, H, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0.0f, 0.0f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 0.6f);
    drawText(GLC_TRIANGLE, 20.0f, H / 2 + 35);
    drawText(GLC_LINE, 20.0f, 35.0f);
    glFinish();
    if (glcGetError() || glGetError()) {
        fprintf(stderr, "glyphs: GLC or GL reports an error\n");
        return 1;
    }

    printMaps();
    printf("filled %.3f\noutlined %.3f\n", insideShare(H / 2, H), insideShare(0, H / 2));
    OSMesaDestroyContext(context);
    return writePng(argv[1]);
}
