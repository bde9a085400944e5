// The icon (.ico) reader. At load only the 6-byte header and the sizes the images state are
// checked (ReadIconHeader, CheckIconImageSizes) and the whole file is kept; until its first drawing the icon reports
// the system's standard icon size. At the first drawing SelectIconImage applies the icon image choice and hands back
// the chosen image, which the Windows side turns into a system icon of the chosen entry's size
// (CreateIconFromResourceEx); if the system cannot, RaiseIconNotBuilt (picture_errors.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

inline constexpr uint16_t kIconTypeNone = 0;  // shows the system's standard application icon
inline constexpr uint16_t kIconTypeIcon = 1;

struct TIconHeader {
    uint16_t reserved = 0;
    uint16_t type = 0;
    uint16_t count = 0;
};

// Reads the icon header. Raises EReadError "Stream read error" for fewer than 6 bytes and
// EInvalidGraphic "Icon image is not valid" for a type above 1 (a cursor file, type 2).
TIconHeader ReadIconHeader(std::span<const uint8_t> file);

struct TIconDirectoryEntry {
    uint8_t width = 0;
    uint8_t height = 0;
    uint8_t colorCount = 0;  // 0 for 256 colours or more: counts as unlimited
    uint8_t reserved = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t bytesInRes = 0;   // the image's size
    uint32_t imageOffset = 0;  // from the file's start
};

// Reads the header's image count of 16-byte directory entries after the header. Raises
// EReadError "Stream read error" when the file is shorter than that table.
std::vector<TIconDirectoryEntry> ReadIconDirectory(std::span<const uint8_t> file);

// What the icon image choice depends on, measured by the Windows side at the first drawing.
struct TIconDisplay {
    int standardWidth = 32;  // the system's standard icon size (SM_CXICON, SM_CYICON)
    int standardHeight = 32;
    int bitsPerPixel = 32;  // the display's colour depth
};

// The icon image choice: the index of the entry that best fits the display. Entry 0 is the
// first choice; each later entry replaces the current choice when its colour count is not
// above the display's (2 to the power of its bits per pixel up to 8, else unlimited) nor below
// the current choice's, and its width and its height are each no farther from the standard
// size than the current choice's and, when larger than the standard size, not larger than the
// current choice's. Ties go to the later entry. The entries must not be empty.
size_t ChooseIconImage(std::span<const TIconDirectoryEntry> entries, const TIconDisplay& display);

struct TIconImage {
    // Type 0: draw the system's standard application icon; nothing else below is set but
    // the size, which is the standard icon size.
    bool standardApplicationIcon = false;
    size_t index = 0;  // the chosen entry
    int width = 0;     // the chosen entry's width and height, as the directory gives them
    int height = 0;
    // The chosen image (a bitmap with its colour and mask planes), inside the given file.
    std::span<const uint8_t> data;
};

// Steps of the first drawing: reads the directory and picks the image. Raises EReadError
// "Stream read error" for a file shorter than its header or directory, EInvalidGraphic
// "Icon image is not valid" for a type above 1, a directory of no images, or a chosen image
// that lies outside the file.
TIconImage SelectIconImage(std::span<const uint8_t> file, const TIconDisplay& display);

// At load, after the header: raises EOutOfResources "Out of system resources" when an image
// of the directory (one that lies within the file) states its own size beyond the program's
// limit (base/picture_limit.h), as the other kinds refuse such pictures at load. A directory
// that does not fit the file is left to the first drawing.
void CheckIconImageSizes(std::span<const uint8_t> file);

// The size an icon image states in its own header, which the system builds it at: a PNG
// image's IHDR width and height, or a bitmap's width and half its height (the colour and the
// mask planes are stacked), sides taken without their sign. 0 x 0 for data too short to say.
struct TIconImageSize {
    uint64_t width = 0;
    uint64_t height = 0;
};
TIconImageSize IconImageOwnSize(std::span<const uint8_t> image);
