// SPDX-License-Identifier: MIT
// A program making the call CALL (a -D definition).  softglu leaves what it
// does not provide undeclared, so with a call such as gluNewTess() this must
// not compile; with one it provides, it must.
#include <GL/glu.h>

void draw() { CALL; }
