// The bitmap graphic (.bmp): uncompressed and bit-field bitmaps become a DIB section whose
// pixel memory receives the file's pixel rows straight from the stream; run-length (and any
// other compressed) bitmaps are handed whole to the system, which decodes them into a device
// bitmap, and their data is kept beside it. A 0-byte file is an empty bitmap.
#pragma once

#include <vector>

#include "base/gdi_win.h"
#include "pictures/graphic_win.h"

class TBitmap : public TGraphic {
public:
    const char* ClassName() const override { return "TBitmap"; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Stretched to the rectangle (StretchDrawBitmap), with the bitmap's palette.
    void Draw(HDC dc, const RECT& rect) override;
    HPALETTE Palette() const override { return data_ ? data_->palette.Get() : nullptr; }
    // Raises "Bitmap image is not valid", "Stream read error", or EOSError when the system
    // refuses the bitmap with an error number; a bitmap of more pixels than the program's
    // limit (base/picture_limit.h) is refused before the system is asked, with EOSError
    // for ERROR_NOT_ENOUGH_MEMORY.
    void LoadFromStream(TReadStream& stream) override;
    std::unique_ptr<TGraphic> Clone() const override;

    HBITMAP Handle() const { return data_ ? data_->bitmap.Get() : nullptr; }
    int BitCount() const { return bitCount_; }

private:
    struct TData {
        TBitmapHandle bitmap;
        TPaletteHandle palette;
        std::vector<uint8_t> compressedData;  // BITMAPINFO then the compressed pixel data
    };
    std::shared_ptr<const TData> data_;  // null for an empty bitmap
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    bool monochrome_ = false;
};
