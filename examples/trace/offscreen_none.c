/* SPDX-License-Identifier: MIT */
/* offscreen without Mesa (see ../legacy/offscreen.h): for a build whose
 * architecture's Mesa cannot be installed, such as a cross build here.  It
 * calls the program's init, reshape and display functions once each, as
 * offscreen.c does, with no context and GL of nogl.c's, which draws
 * nothing, and writes no image.  The exit status is 0, or 2 for bad usage. */
#include "offscreen.h"

#include <stdio.h>

int offscreenMain(int argc, char **argv, int width, int height, void (*init)(void),
                  void (*reshape)(int width, int height), void (*display)(void))
{
    const char *program = argc > 0 && argv[0] && argv[0][0] ? argv[0] : "offscreen";
    if (argc != 2 || !argv[1][0] || argv[1][0] == '-') {
        fprintf(stderr, "usage: %s OUTPUT.png\n"
                        "Draws one frame with a GL that draws nothing; writes no image.\n",
                program);
        return 2;
    }
    init();
    reshape(width, height);
    display();
    fprintf(stderr, "%s: built without Mesa: %s not written\n", program, argv[1]);
    return 0;
}
