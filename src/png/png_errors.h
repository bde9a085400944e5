// Failure kinds of the PNG codec. Every one derives from EPNGError, itself an
// EInvalidGraphic, so that the picture loader can treat them as one family; the class
// names are the ones the error box shows. Each Raise function throws its kind with the
// message text the user sees.
#pragma once

#include <string>

#include "base/exceptions.h"

LUMO_DECLARE_EXCEPTION(EPNGError, EInvalidGraphic);
LUMO_DECLARE_EXCEPTION(EPNGInvalidFileHeader, EPNGError);
LUMO_DECLARE_EXCEPTION(EPngUnexpectedEnd, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGIHDRNotFirst, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGUnknownCriticalChunk, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGNoImageData, EPNGError);
LUMO_DECLARE_EXCEPTION(EPngInvalidCRC, EPNGError);
LUMO_DECLARE_EXCEPTION(EPngInvalidIHDR, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGSizeExceeds, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGUnknownCompression, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGUnknownInterlace, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGInvalidPalette, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGMissingMultipleIDAT, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGZLIBError, EPNGError);
LUMO_DECLARE_EXCEPTION(EPNGOutMemory, EPNGError);

// The signature (first eight bytes) is not PNG's.
[[noreturn]] void RaisePngInvalidFileHeader();
// The bytes end before the IEND chunk (also a chunk cut short by the end of the file).
[[noreturn]] void RaisePngUnexpectedEnd();
// The first chunk after the signature is not IHDR.
[[noreturn]] void RaisePngIHDRNotFirst();
// A chunk whose type marks it critical (upper-case first letter) that the codec does not know.
[[noreturn]] void RaisePngUnknownCriticalChunk();
// IEND reached without any IDAT chunk.
[[noreturn]] void RaisePngNoImageData();
// A chunk's CRC does not match its type and data.
[[noreturn]] void RaisePngInvalidCRC();
// IHDR of the wrong length, a zero size, an invalid colour type / bit depth pair, an unknown
// filter method, or a second IHDR.
[[noreturn]] void RaisePngInvalidIHDR();
// Width or height above 65535.
[[noreturn]] void RaisePngSizeExceeds();
// IHDR names a compression method other than 0 (deflate).
[[noreturn]] void RaisePngUnknownCompression();
// IHDR names an interlace method other than 0 (none) and 1 (Adam7).
[[noreturn]] void RaisePngUnknownInterlace();
// PLTE malformed or misplaced, palette image without PLTE, tRNS longer than 256 bytes or
// before the PLTE of a palette image.
[[noreturn]] void RaisePngInvalidPalette();
// The decompressed image data ends before the last row.
[[noreturn]] void RaisePngMissingMultipleIDAT();
// zlib rejected the compressed data; zlibMessage is its description. Also raised, with the
// description "invalid filter type", for a row whose filter type byte is above 4.
[[noreturn]] void RaisePngZlibError(const std::string& zlibMessage);
// Memory for the decoded picture or for a blending buffer cannot be had.
[[noreturn]] void RaisePngOutMemory();
