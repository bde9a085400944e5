// Resizing a decoded PNG picture with an area filter, for pictures drawn from artwork larger
// than they are shown (the About picture on screens of other than 100 %).
//
// Every destination pixel covers a rectangle of the source, width / destination width source
// pixels wide and likewise high, and takes the average of the source pixels under it, each
// weighted by the part of it that is covered. Colours are averaged premultiplied by their
// alpha, so transparent pixels lend no colour to their neighbours: colour = sum(w * a * c) /
// sum(w * a), alpha = sum(w * a); both rounded to nearest. Enlarging works the same way.
#pragma once

#include <cstdint>

#include "png/png_image.h"

// The picture resized to width x height (both at least 1), with the source's transparency
// kind and gamma facts. An empty picture gives an empty one.
TPngImage ResizePngImage(const TPngImage& image, uint32_t width, uint32_t height);
