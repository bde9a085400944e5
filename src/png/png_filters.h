// Reversing PNG's per-row filters (None, Sub, Up, Average, Paeth).
#pragma once

#include <cstddef>
#include <cstdint>

// Reverses the filter of one row in place. row holds the rowBytes bytes that follow the
// filter type byte; prev is the previous row of the same pass, already unfiltered (all zero
// bytes for the first row of a pass). bytesPerPixel is the size of a complete pixel, 1 for
// bit depths below 8. row and prev must be readable for 8 bytes past rowBytes (their
// contents there do not matter and are not written). Returns false for a filter type above 4, leaving the row
// as it was.
bool UnfilterPngRow(uint8_t filterType, uint8_t* row, const uint8_t* prev, size_t rowBytes, unsigned bytesPerPixel);
