// The one limit on the size of a picture that the program decodes, shared by every kind.
//
// A picture file states its width and height in a few header bytes, and decoding allocates
// memory for that size before any pixel is read: a 58-byte bitmap or a 700-byte JPEG can ask
// for gigabytes, and the open dialog's pane loads whatever file is merely selected. So every
// kind refuses, before its large allocation, a picture of more than kMostPicturePixels pixels,
// with its own failure for memory it cannot have:
// - PNG: EPNGOutMemory, at load;
// - bitmaps (run-length ones too): EOSError with the system's "not enough memory" (code 8),
//   at load;
// - JPEG: EJPEG "JPEG error #54" (libjpeg's "insufficient memory"), at load and again before
//   the decode of the first drawing;
// - icons: EOutOfResources "Out of system resources", at load, for any image's own size (its
//   bitmap or PNG header), at which the system would build the icon.
// Metafiles keep their reported size (it drives no allocation: they are played into the
// rectangle they are given); what they hold is read only as far as the file goes.
//
// Why 2^28 (268,435,456) pixels: it is 16384 x 16384, eight times an 8K screen (7680 x 4320,
// 33 million pixels) and above the largest camera photos (150 to 240 megapixels), so no real
// wallpaper comes near it. Decoded at 4 bytes per pixel it is 1 GiB, which a 64-bit program
// can still get on an ordinary desktop; the next power of two would be 2 GiB, and PNG's own
// 65535 x 65535 would be 16 GiB.
#pragma once

#include <cstdint>

inline constexpr uint64_t kMostPicturePixels = uint64_t{1} << 28;

// Whether a picture of this width and height (in pixels, each up to 2^32 - 1) is within the
// limit, computed without overflow.
constexpr bool PictureSizeAllowed(uint64_t width, uint64_t height) {
    return width == 0 || height <= kMostPicturePixels / width;
}
