#include "pictures/icon_reader.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "base/picture_limit.h"
#include "pictures/byte_reader.h"
#include "pictures/picture_errors.h"

namespace {

constexpr uint64_t kUnlimitedColours = std::numeric_limits<uint64_t>::max();

uint64_t EntryColours(const TIconDirectoryEntry& entry) {
    return entry.colorCount == 0 ? kUnlimitedColours : entry.colorCount;
}

// Whether a candidate's side (width or height) fits the desired size at least as well as
// the current choice's: no farther from it, and when larger than it, not larger than the
// current choice's.
bool SideFits(int candidate, int current, int desired) {
    if (std::abs(candidate - desired) > std::abs(current - desired)) return false;
    return candidate <= desired || candidate <= current;
}

}  // namespace

TIconHeader ReadIconHeader(std::span<const uint8_t> file) {
    TByteReader reader(file);
    TIconHeader header;
    header.reserved = reader.U16();
    header.type = reader.U16();
    header.count = reader.U16();
    if (header.type > kIconTypeIcon) RaiseInvalidGraphic(kIconNotValid);
    return header;
}

std::vector<TIconDirectoryEntry> ReadIconDirectory(std::span<const uint8_t> file) {
    const TIconHeader header = ReadIconHeader(file);
    TByteReader reader(file);
    reader.Skip(6);
    if (uint64_t{header.count} * 16 > reader.Remaining()) RaiseStreamReadError();
    std::vector<TIconDirectoryEntry> entries(header.count);
    for (TIconDirectoryEntry& entry : entries) {
        const auto raw = reader.Read(16);
        entry.width = raw[0];
        entry.height = raw[1];
        entry.colorCount = raw[2];
        entry.reserved = raw[3];
        entry.planes = Le16(raw.data() + 4);
        entry.bitCount = Le16(raw.data() + 6);
        entry.bytesInRes = Le32(raw.data() + 8);
        entry.imageOffset = Le32(raw.data() + 12);
    }
    return entries;
}

size_t ChooseIconImage(std::span<const TIconDirectoryEntry> entries, const TIconDisplay& display) {
    const uint64_t displayColours = display.bitsPerPixel <= 8
                                        ? uint64_t{1} << (display.bitsPerPixel < 0 ? 0 : display.bitsPerPixel)
                                        : kUnlimitedColours;
    size_t choice = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
        const TIconDirectoryEntry& candidate = entries[i];
        const TIconDirectoryEntry& current = entries[choice];
        if (EntryColours(candidate) > displayColours) continue;
        if (EntryColours(candidate) < EntryColours(current)) continue;
        if (!SideFits(candidate.width, current.width, display.standardWidth)) continue;
        if (!SideFits(candidate.height, current.height, display.standardHeight)) continue;
        choice = i;
    }
    return choice;
}

TIconImage SelectIconImage(std::span<const uint8_t> file, const TIconDisplay& display) {
    TIconImage image;
    if (ReadIconHeader(file).type == kIconTypeNone) {
        image.standardApplicationIcon = true;
        image.width = display.standardWidth;
        image.height = display.standardHeight;
        return image;
    }
    const std::vector<TIconDirectoryEntry> entries = ReadIconDirectory(file);
    if (entries.empty()) RaiseInvalidGraphic(kIconNotValid);
    image.index = ChooseIconImage(entries, display);
    const TIconDirectoryEntry& chosen = entries[image.index];
    if (uint64_t{chosen.imageOffset} + chosen.bytesInRes > file.size()) RaiseInvalidGraphic(kIconNotValid);
    image.width = chosen.width;
    image.height = chosen.height;
    image.data = file.subspan(chosen.imageOffset, chosen.bytesInRes);
    return image;
}

void CheckIconImageSizes(std::span<const uint8_t> file) {
    const TIconHeader header = ReadIconHeader(file);
    if (header.type != kIconTypeIcon || 6 + uint64_t{header.count} * 16 > file.size()) return;
    // The system builds an image at the size its own header states, whatever the directory
    // says; which image the first drawing chooses depends on the display then, so any image
    // beyond the program's limit refuses the icon.
    for (const TIconDirectoryEntry& entry : ReadIconDirectory(file)) {
        if (uint64_t{entry.imageOffset} + entry.bytesInRes > file.size()) continue;
        const TIconImageSize own = IconImageOwnSize(file.subspan(entry.imageOffset, entry.bytesInRes));
        if (!PictureSizeAllowed(own.width, own.height)) RaiseIconNotBuilt(std::string());
    }
}

TIconImageSize IconImageOwnSize(std::span<const uint8_t> image) {
    static constexpr uint8_t kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    const auto magnitude = [](uint32_t value) {
        const int64_t signedValue = static_cast<int32_t>(value);
        return static_cast<uint64_t>(signedValue < 0 ? -signedValue : signedValue);
    };
    const auto bigEndian32 = [&](size_t at) {
        return uint32_t{image[at]} << 24 | uint32_t{image[at + 1]} << 16 | uint32_t{image[at + 2]} << 8 | image[at + 3];
    };
    if (image.size() >= 24 && std::equal(std::begin(kPngSignature), std::end(kPngSignature), image.begin()))
        return {bigEndian32(16), bigEndian32(20)};       // the IHDR chunk's width and height
    if (image.size() >= 12 && Le32(image.data()) == 12)  // the old core header: 16-bit sides
        return {Le16(image.data() + 4), Le16(image.data() + 6) / 2u};
    if (image.size() >= 12) return {magnitude(Le32(image.data() + 4)), magnitude(Le32(image.data() + 8)) / 2};
    return {};
}
