#include "png/png_errors.h"

void RaisePngInvalidFileHeader() {
    throw EPNGInvalidFileHeader(
        "The file being readed is not a valid \"Portable Network Graphics\" image because it contains an "
        "invalid header. This file may be corruped, try obtaining it again.");
}

void RaisePngUnexpectedEnd() {
    throw EPngUnexpectedEnd(
        "This \"Portable Network Graphics\" image is invalid because the decoder found an "
        "unexpected end of the file.");
}

void RaisePngIHDRNotFirst() {
    throw EPNGIHDRNotFirst(
        "This \"Portable Network Graphics\" image is not supported or it might be "
        "invalid.\r\n(IHDR chunk is not the first)");
}

void RaisePngUnknownCriticalChunk() {
    throw EPNGUnknownCriticalChunk(
        "This \"Portable Network Graphics\" image contains an unknown critical part "
        "which could not be decoded.");
}

void RaisePngNoImageData() { throw EPNGNoImageData("This \"Portable Network Graphics\" image contains no data."); }

void RaisePngInvalidCRC() {
    throw EPngInvalidCRC(
        "This \"Portable Network Graphics\" image is not valid because it contains invalid "
        "pieces of data (crc error)");
}

void RaisePngInvalidIHDR() {
    throw EPngInvalidIHDR(
        "The \"Portable Network Graphics\" image could not be loaded because one of its main "
        "piece of data (ihdr) might be corrupted");
}

void RaisePngSizeExceeds() {
    throw EPNGSizeExceeds(
        "This \"Portable Network Graphics\" image is not supported because either it's width "
        "or height exceeds the maximum size, which is 65535 pixels length.");
}

void RaisePngUnknownCompression() {
    throw EPNGUnknownCompression(
        "This \"Portable Network Graphics\" image is encoded with an unknown "
        "compression scheme which could not be decoded.");
}

void RaisePngUnknownInterlace() {
    throw EPNGUnknownInterlace(
        "This \"Portable Network Graphics\" image uses an unknown interlace scheme which "
        "could not be decoded.");
}

void RaisePngInvalidPalette() {
    throw EPNGInvalidPalette("The \"Portable Network Graphics\" image contains an invalid palette.");
}

void RaisePngMissingMultipleIDAT() {
    throw EPNGMissingMultipleIDAT(
        "This \"Portable Network Graphics\" image is invalid because it has missing image parts.");
}

void RaisePngZlibError(const std::string& zlibMessage) {
    throw EPNGZLIBError(
        "Could not decompress the image because it contains invalid compressed data.\r\n "
        "Description: " +
        zlibMessage);
}

void RaisePngOutMemory() {
    throw EPNGOutMemory(
        "Some operation could not be performed because the system is out of resources. Close "
        "some windows and try again.");
}
