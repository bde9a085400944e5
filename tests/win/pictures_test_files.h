// Helpers of the picture tests run under Wine: picture files that need the system (icons with
// masks, metafiles recorded through GDI, files beyond the size limit) besides those of
// picture_files.h, and a drawing surface whose pixels can be read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../unit/pictures_test_support.h"
#include "support/test_support.h"

namespace picture_test {

// A memory device context holding a top-down 32-bit DIB section filled with one colour.
class TCanvas {
public:
    TCanvas(int width, int height, COLORREF background = RGB(10, 200, 30));
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Fill(COLORREF colour);
    // The pixel as a COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y) const;
    // Whether every pixel of the rectangle has the colour (within the tolerance per channel).
    bool AllOf(const RECT& area, COLORREF colour, int tolerance = 0) const;
    COLORREF Background() const { return background_; }

private:
    int width_, height_;
    COLORREF background_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// Whether two colours differ by at most the tolerance in every channel.
bool Near(COLORREF a, COLORREF b, int tolerance);
std::string Describe(COLORREF colour);

// An icon image for an icon file: a 24-bit colour plane of one colour and a mask that leaves
// the columns from maskedFrom on transparent.
Bytes MakeIconImage(int width, int height, COLORREF colour, int maskedFrom);

// An enhanced metafile recorded through the system: a frame of width x height reference
// pixels, its left half filled with `left`, its right half with `right`.
Bytes MakeRecordedEmf(int width, int height, COLORREF left, COLORREF right);
// A placeable Windows metafile recorded through the system: a box of 0..boxWidth by
// 0..boxHeight units at unitsPerInch, its left half filled with `left`, its right half with
// `right`.
Bytes MakeRecordedWmf(int boxWidth, int boxHeight, int unitsPerInch, COLORREF left, COLORREF right);

// Small files whose pictures pass the program's limit of 2^28 pixels, one of each kind that
// refuses them at load (a 32-bit and a run-length bitmap of 30000 x 30000, a PNG of 20000 x
// 20000, a JPEG of 65000 x 65000, an icon whose 32 x 32 entry's bitmap states 30000 x 30000),
// each with the failure its kind raises.
struct TOversizedFile {
    std::string name;
    Bytes bytes;
    std::string kind;
    std::string message;
};
std::vector<TOversizedFile> OversizedPictureFiles();

// An icon whose one 32 x 32 image the system cannot build: its header states 32 x 32 but is
// no bitmap's header (a size of 0xABABABAB).
Bytes UnbuildableIcon();

}  // namespace picture_test
