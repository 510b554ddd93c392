/* SPDX-License-Identifier: MIT */
/* A program making the call CALL (a -D definition), compiled as C and as
 * C++.  A call softglu provides compiles; without SOFTGLU_COMPAT the
 * compatibility calls are undeclared. */
#include <GL/glu.h>

void draw(void);
void draw(void) { CALL; }
