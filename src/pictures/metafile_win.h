// The metafile graphic (.wmf and .emf, one kind for both: the data decides). It holds only the
// system's enhanced metafile: an enhanced file is handed to the system as it is; a placeable
// Windows metafile is converted in the anisotropic mapping mode twice, first without extents,
// then with the first result's frame as extents, and the second result is kept.
#pragma once

#include "base/gdi_win.h"
#include "pictures/graphic_win.h"

class TMetafile : public TGraphic {
public:
    const char* ClassName() const override { return "TMetafile"; }
    // The picture frame in screen pixels.
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Played into the rectangle less one pixel at its right and bottom (the rectangle passed
    // as inclusive of its last row and column), with the metafile's palette as a background
    // palette. Nothing is painted before it plays.
    void Draw(HDC dc, const RECT& rect) override;
    HPALETTE Palette() const override { return data_ ? data_->palette.Get() : nullptr; }
    // Raises "Metafile is not valid" for data that is neither an enhanced metafile nor a
    // placeable one with the right key and checksum, or that the system refuses, and
    // "Stream read error" for a file shorter than its header.
    void LoadFromStream(TReadStream& stream) override;
    std::unique_ptr<TGraphic> Clone() const override;

    HENHMETAFILE Handle() const { return data_ ? data_->metafile.Get() : nullptr; }

private:
    struct TData {
        TEnhMetafileHandle metafile;
        TPaletteHandle palette;
    };
    std::shared_ptr<const TData> data_;
    int width_ = 0;
    int height_ = 0;
};
