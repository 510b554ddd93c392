// SPDX-License-Identifier: MIT
#ifndef TESSAREA_H
#define TESSAREA_H
// Tessellates a 3 x 3 square with a 1 x 1 hole (odd winding rule); returns
// the number of triangles and stores the area they cover in *area.
int tessarea_square_with_hole(double *area);
#endif
