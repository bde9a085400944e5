// The JPEG graphic (.jpg, .jpeg): the whole file is kept in memory and only its header is read
// at load (a 0-byte file loads as 0 x 0 without reading anything). The pixels are decoded once,
// at the first drawing, into a DIB section that is kept and reused by every later drawing:
// 24 bits per pixel, or an 8-bit palette of at most 236 colours for grayscale files and when
// the display had 8 or fewer bits per pixel at start. A decoding error is raised from that
// first drawing ("JPEG error #%d", so a 0-byte file raises code 42 there); the rows decoded
// until then stay, and later drawings show them without raising again.
#pragma once

#include <vector>

#include "base/gdi_win.h"
#include "pictures/graphic_win.h"
#include "pictures/jpeg_reader.h"

class TJPEGImage : public TGraphic {
public:
    const char* ClassName() const override { return "TJPEGImage"; }
    int Width() const override { return header_.width; }
    int Height() const override { return header_.height; }
    bool Empty() const override { return !data_ || data_->empty(); }
    // Decodes at the first call (reporting progress), then draws the decoded bitmap like a
    // bitmap graphic: stretched to the rectangle by nearest pixel.
    void Draw(HDC dc, const RECT& rect) override;
    HPALETTE Palette() const override { return decoded_ ? decoded_->palette.Get() : nullptr; }
    // Raises "JPEG error #%d" when the header cannot be read.
    void LoadFromStream(TReadStream& stream) override;
    // A copy made before the first drawing decodes on its own; one made after shares the
    // decoded bitmap.
    std::unique_ptr<TGraphic> Clone() const override;

    // The decoded bitmap (null before the first drawing) and its bits per pixel.
    HBITMAP Bitmap() const { return decoded_ ? decoded_->bitmap.Get() : nullptr; }
    int BitCount() const { return decoded_ ? decoded_->format.bitCount : TJpegOutputFormat().bitCount; }

    // The decoding settings for this process: the 8-bit palette output when the display had 8
    // or fewer bits per pixel at start.
    static TJpegDecodeOptions DecodeOptions();

private:
    void Decode();

    // What the first drawing decodes: kept from the moment its memory is given, also when
    // decoding stops early.
    struct TDecoded {
        TBitmapHandle bitmap;
        TPaletteHandle palette;
        TJpegOutputFormat format;
    };

    std::shared_ptr<const std::vector<uint8_t>> data_;
    TJpegHeader header_;
    bool decodeTried_ = false;
    std::shared_ptr<TDecoded> decoded_;
};
