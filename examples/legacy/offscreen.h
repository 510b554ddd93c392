/* SPDX-License-Identifier: MIT */
/* offscreen: what the window toolkit (GLUT) does for a classic program,
 * without a window.  It makes a Mesa offscreen GL context of the given size,
 * calls the program's init, reshape and display functions once each, and
 * writes the frame to the PNG file named on the command line:
 *
 *     int main(int argc, char **argv)
 *     {
 *         return offscreenMain(argc, argv, 400, 300, init, reshape, display);
 *     }
 *
 * The exit status is 0 when the image is written, 1 when GL or the write
 * fails (a GL error left after display counts), 2 for bad usage.  The file
 * is written under a temporary name and renamed into place, so a failure
 * never leaves a truncated image behind. */
#ifndef OFFSCREEN_H
#define OFFSCREEN_H

int offscreenMain(int argc, char **argv, int width, int height, void (*init)(void),
                  void (*reshape)(int width, int height), void (*display)(void));

#endif
