/* SPDX-License-Identifier: MIT */
// A tiny built-in bitmap font for the titles of rendered images.
#ifndef SOFTGLU_TOOLS_FONT_H
#define SOFTGLU_TOOLS_FONT_H

#include <string>

namespace font {

// Glyphs are 5 x 7 pixels on a 6-pixel advance, scaled by `scale`.
int textWidth(const std::string &text, int scale);
const int kGlyphHeight = 7;

// Draws `text` into an RGBA8 image (row 0 at the top) with its top-left
// corner at (x, y), clipped to the image.  Letters are drawn in capitals;
// digits and " .,-+()=/:" have glyphs; anything else is drawn as "?".
void drawText(unsigned char *rgba, int width, int height, int x, int y, int scale,
              const std::string &text, const unsigned char colour[3]);

}  // namespace font

#endif
