#include "pictures_test_files.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace picture_test {

TCanvas::TCanvas(int width, int height, COLORREF background) : width_(width), height_(height), background_(background) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr) throw std::runtime_error("no canvas");
    old_ = SelectObject(dc_, bitmap_);
    Fill(background);
}

TCanvas::~TCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void TCanvas::Fill(COLORREF colour) {
    GdiFlush();
    const uint32_t pixel = GetBValue(colour) | GetGValue(colour) << 8 | GetRValue(colour) << 16;
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = pixel;
}

COLORREF TCanvas::At(int x, int y) const {
    GdiFlush();
    const uint32_t pixel = bits_[y * width_ + x];
    return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
}

bool TCanvas::AllOf(const RECT& area, COLORREF colour, int tolerance) const {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (!Near(At(x, y), colour, tolerance)) return false;
    return true;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string Describe(COLORREF colour) {
    char text[40];
    std::snprintf(text, sizeof text, "RGB(%d, %d, %d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

Bytes MakeIconImage(int width, int height, COLORREF colour, int maskedFrom) {
    TWriter w;
    w.U32(40).I32(width).I32(height * 2).U16(1).U16(24).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    const size_t colourStride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const size_t maskStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // A masked pixel is black in the colour plane: the surface shows through unchanged.
            const COLORREF c = x >= maskedFrom ? RGB(0, 0, 0) : colour;
            w.U8(GetBValue(c)).U8(GetGValue(c)).U8(GetRValue(c));
        }
        w.Fill(colourStride - static_cast<size_t>(width) * 3, 0);
    }
    for (int y = 0; y < height; ++y) {
        Bytes row(maskStride, 0);
        for (int x = maskedFrom; x < width; ++x) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        w.Append(row);
    }
    return w.bytes;
}

Bytes MakeRecordedEmf(int width, int height, COLORREF left, COLORREF right) {
    HDC screen = GetDC(nullptr);
    // The frame in hundredths of a millimetre for width x height reference pixels.
    const int mmWidth = GetDeviceCaps(screen, HORZSIZE), mmHeight = GetDeviceCaps(screen, VERTSIZE);
    const int pxWidth = GetDeviceCaps(screen, HORZRES), pxHeight = GetDeviceCaps(screen, VERTRES);
    const RECT frame{0, 0, MulDiv(width, mmWidth * 100, pxWidth), MulDiv(height, mmHeight * 100, pxHeight)};
    HDC recorder = CreateEnhMetaFileA(screen, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, screen);
    HBRUSH leftBrush = CreateSolidBrush(left), rightBrush = CreateSolidBrush(right);
    const RECT leftHalf{0, 0, width / 2, height}, rightHalf{width / 2, 0, width, height};
    FillRect(recorder, &leftHalf, leftBrush);
    FillRect(recorder, &rightHalf, rightBrush);
    DeleteObject(leftBrush);
    DeleteObject(rightBrush);
    HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    Bytes bytes(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    DeleteEnhMetaFile(metafile);
    return bytes;
}

Bytes MakeRecordedWmf(int boxWidth, int boxHeight, int unitsPerInch, COLORREF left, COLORREF right) {
    HDC recorder = CreateMetaFileA(nullptr);
    SetWindowOrgEx(recorder, 0, 0, nullptr);
    SetWindowExtEx(recorder, boxWidth, boxHeight, nullptr);
    HBRUSH leftBrush = CreateSolidBrush(left), rightBrush = CreateSolidBrush(right);
    const RECT leftHalf{0, 0, boxWidth / 2, boxHeight}, rightHalf{boxWidth / 2, 0, boxWidth, boxHeight};
    FillRect(recorder, &leftHalf, leftBrush);
    FillRect(recorder, &rightHalf, rightBrush);
    HMETAFILE metafile = CloseMetaFile(recorder);
    DeleteObject(leftBrush);
    DeleteObject(rightBrush);
    Bytes standard(GetMetaFileBitsEx(metafile, 0, nullptr));
    GetMetaFileBitsEx(metafile, static_cast<UINT>(standard.size()), standard.data());
    DeleteMetaFile(metafile);

    return Concat({PlaceableHeader(0, 0, static_cast<int16_t>(boxWidth), static_cast<int16_t>(boxHeight),
                                   static_cast<uint16_t>(unitsPerInch)),
                   standard});
}

std::vector<TOversizedFile> OversizedPictureFiles() {
    TBitmapLayout deep;
    deep.width = deep.height = 30000;
    deep.bitCount = 32;
    deep.pixels = Bytes(4, 0);
    TBitmapLayout rle;
    rle.width = rle.height = 30000;
    rle.bitCount = 8;
    rle.compression = 1;  // BI_RLE8
    rle.clrUsed = 1;
    rle.colours = {0xFF0000};
    rle.pixels = {0, 1};  // the end of the bitmap
    // A 1-bit grey PNG whose only row of data the decoder would never reach.
    const Bytes png =
        Concat({Signature(), Chunk("IHDR", HeaderData(20000, 20000, 1, 0)),
                Chunk("IDAT", {0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01}), Chunk("IEND", {})});
    TJpegPicture jpeg;
    jpeg.width = jpeg.height = 16;
    TWriter iconImage;
    iconImage.U32(40).I32(30000).I32(60000).U16(1).U16(32).U32(0).U32(0).Fill(16, 0).Fill(64, 0);
    TIconEntryLayout icon;
    icon.image = iconImage.bytes;
    const std::string notEnoughMemory = "System Error.  Code: 8.\r\nНедостаточно памяти для выполнения команды";
    return {
        {"deep.bmp", MakeBitmap(deep), "EOSError", notEnoughMemory},
        {"rle.bmp", MakeBitmap(rle), "EOSError", notEnoughMemory},
        {"huge.png", png, "EPNGOutMemory",
         "Some operation could not be performed because the system is out of resources. Close some windows and try "
         "again."},
        {"huge.jpg", WithJpegFrameSize(WriteJpeg(jpeg), 65000, 65000), "EJPEG", "JPEG error #54"},
        {"huge.ico", MakeIcon({icon}), "EOutOfResources", "Out of system resources"},
    };
}

Bytes UnbuildableIcon() {
    TWriter image;
    image.U32(0xABABABAB).I32(32).I32(64).Fill(52, 0xAB);
    return MakeIcon({{32, 32, 0, image.bytes}});
}

}  // namespace picture_test
