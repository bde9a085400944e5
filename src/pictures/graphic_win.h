// The graphic kinds' common base: one decoded or decodable picture of one kind, which
// reports its size and draws itself into a rectangle of a device context. A picture
// (picture_win.h) holds at most one graphic and listens to its change and progress reports.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "base/gdi_win.h"
#include "pictures/byte_reader.h"
#include "pictures/dib_info.h"

// A report of a graphic that decodes while it draws (the JPEG graphic): once at the start
// (0 %, no redraw asked), then at most every 500 ms with the band of rows decoded since the
// last report (full width) and a redraw asked when that band is at least 4 rows high, and once
// at the end (Finished: 100 %, or 0 % after an error; a redraw asked only when the decoded
// palette changed).
struct TPictureProgress {
    int Percent;
    bool RedrawNow;
    RECT Band;
    bool Finished;
};

class TGraphic {
public:
    TGraphic() = default;
    virtual ~TGraphic() = default;
    TGraphic& operator=(const TGraphic&) = delete;

    // "TBitmap", "TIcon", "TMetafile", "TJPEGImage", "TPNGObject": the key of the stored
    // picture data and of the format table.
    virtual const char* ClassName() const = 0;
    // The reported size (what the image control scales and the open dialog shows).
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Nothing to draw: a 0-byte bitmap or JPEG file.
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    // Draws into the rectangle by the kind's own rule. May raise where the kind finishes its
    // work late (the JPEG's decoding, the icon's building).
    virtual void Draw(HDC dc, const RECT& rect) = 0;
    // The palette the graphic carries (bitmaps with a colour table, 8-bit JPEG output,
    // metafiles with a palette), or null.
    virtual HPALETTE Palette() const { return nullptr; }

    // Reads the graphic from the stream's position to its end. Raises the kind's failures.
    virtual void LoadFromStream(TReadStream& stream) = 0;
    // A new graphic of the same kind that shows the same picture and is in the same state (an
    // icon already built or not, a JPEG already decoded or not), without the picture's
    // listeners. What is decoded is shared between the two, never copied: neither changes it.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;
    void LoadFromBytes(std::span<const uint8_t> bytes);

    // Set by the picture that holds the graphic.
    std::function<void()> OnChange;
    std::function<void(const TPictureProgress&)> OnProgress;

protected:
    // For Clone: a kind's copy takes its decoded data (shared), never the listeners.
    TGraphic(const TGraphic&) {}

    void Changed() const {
        if (OnChange) OnChange();
    }
    void Progress(const TPictureProgress& progress) const {
        if (OnProgress) OnProgress(progress);
    }
};

// The display's bits per pixel when the program started: measured at the first call, which
// RegisterPictureFormats makes during start-up.
int StartDisplayBitsPerPixel();
// The display's bits per pixel now.
int CurrentDisplayBitsPerPixel();

// Everything from the stream's position to its end.
std::vector<uint8_t> ReadRemaining(TReadStream& stream);

// Copies a bitmap stretched into the rectangle: half-toned (keeping the surface's brush
// origin) when the surface has 8 or fewer bits per pixel and fewer than the bitmap;
// otherwise, unless the bitmap is monochrome (whose copy keeps the surface's stretch mode),
// whole rows and columns dropped or repeated. A palette, when given, is selected into the
// surface as a background palette for the copy. Raises EOutOfResources when the system
// cannot give the memory device context.
void StretchDrawBitmap(HDC dc, const RECT& rect, HBITMAP bitmap, int width, int height, int bitCount, bool monochrome,
                       HPALETTE palette);

// A logical palette of a colour table's entries; null for an empty table.
TPaletteHandle CreatePaletteOf(std::span<const TRgbQuad> colours);
