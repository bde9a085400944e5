// Drawing a decoded PNG picture into a rectangle of a device context, with its
// transparency: the pixels beneath are read from the device context into a 32-bit DIB
// section, the picture is drawn over them by the rules of png_draw.h, and the result is
// written back.
#pragma once

#include <windows.h>

#include "png/png_image.h"

// Draws the picture scaled to rect (logical coordinates of a device context in the MM_TEXT
// mapping mode). Only the part of rect inside the device context's clipping box is read and
// written. Raises EPNGOutMemory when the blending buffer cannot be made. An empty picture or
// rectangle draws nothing.
void DrawPngImage(HDC dc, const RECT& rect, const TPngImage& image);
