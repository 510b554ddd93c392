/* SPDX-License-Identifier: MIT */
/* pixel_diff A.png B.png: compares two pictures pixel for pixel, as RGB
 * (libpng's simplified reader, so the files' encodings may differ), and
 * prints "N of M pixels differ" on standard output.  Exit status: 0 when
 * they are the same size and no pixel differs, 1 when they differ, 2 when
 * either cannot be read or the usage is wrong. */
#include <png.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct picture {
    png_uint_32 width, height;
    unsigned char *rgb;
};

/* Reads `path` as 8-bit RGB into `p`; 0 on success, else a message on
 * standard error. */
static int readPicture(const char *path, struct picture *p)
{
    png_image png;

    memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    p->rgb = NULL;
    if (png_image_begin_read_from_file(&png, path)) {
        png.format = PNG_FORMAT_RGB;
        p->rgb = (unsigned char *)malloc(PNG_IMAGE_SIZE(png));
        if (p->rgb && png_image_finish_read(&png, NULL, p->rgb, 0, NULL)) {
            p->width = png.width;
            p->height = png.height;
            return 0;
        }
    }
    fprintf(stderr, "pixel_diff: cannot read %s: %s\n", path, p->rgb ? png.message : "out of memory");
    png_image_free(&png);
    free(p->rgb);
    return 1;
}

int main(int argc, char **argv)
{
    struct picture a, b;
    unsigned long differ = 0, i, count;

    if (argc != 3) {
        fprintf(stderr, "usage: pixel_diff A.png B.png\n");
        return 2;
    }
    if (readPicture(argv[1], &a) != 0)
        return 2;
    if (readPicture(argv[2], &b) != 0) {
        free(a.rgb);
        return 2;
    }
    if (a.width != b.width || a.height != b.height) {
        printf("%s is %lux%lu, %s is %lux%lu\n", argv[1], (unsigned long)a.width, (unsigned long)a.height, argv[2],
               (unsigned long)b.width, (unsigned long)b.height);
        free(a.rgb);
        free(b.rgb);
        return 1;
    }
    count = (unsigned long)a.width * a.height;
    for (i = 0; i < count; ++i)
        differ += memcmp(a.rgb + i * 3, b.rgb + i * 3, 3) != 0;
    printf("%lu of %lu pixels differ\n", differ, count);
    free(a.rgb);
    free(b.rgb);
    if (fflush(stdout) != 0) {
        perror("pixel_diff: standard output");
        return 2;
    }
    return differ == 0 ? 0 : 1;
}
