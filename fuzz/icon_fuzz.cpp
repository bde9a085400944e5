// Any bytes as an .ico file: the load-time checks (the header, any image beyond the program's
// pixel limit) and the first drawing's image choice either succeed or raise their failure
// kinds with the exact messages, for displays of several
// icon sizes and colour depths. A chosen image lies inside the file, and no other entry of
// the directory would have been a better fit by the choice's own rule.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/picture_limit.h"
#include "pictures/icon_reader.h"
#include "pictures/picture_errors.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckFailure(const Exception& e) {
    const std::string kind = e.ClassName();
    if (kind == "EReadError")
        Check(e.Message() == kStreamReadError);
    else if (kind == "EOutOfResources")
        Check(e.Message() == kOutOfSystemResources);
    else
        Check(kind == "EInvalidGraphic" && e.Message() == kIconNotValid);
}

void ChooseFor(const uint8_t* data, size_t size, const TIconDisplay& display) {
    TIconImage image;
    try {
        image = SelectIconImage({data, size}, display);
    } catch (const Exception& e) {
        CheckFailure(e);
        return;
    }
    if (image.standardApplicationIcon) {
        Check(image.width == display.standardWidth && image.height == display.standardHeight);
        return;
    }
    const std::vector<TIconDirectoryEntry> entries = ReadIconDirectory({data, size});
    Check(image.index < entries.size());
    const TIconDirectoryEntry& chosen = entries[image.index];
    Check(image.width == chosen.width && image.height == chosen.height);
    Check(image.data.size() == chosen.bytesInRes);
    Check(image.data.data() >= data && image.data.data() + image.data.size() <= data + size);
    // The system is asked to build only images within the program's limit.
    const TIconImageSize own = IconImageOwnSize(image.data);
    Check(PictureSizeAllowed(own.width, own.height));
    // Choosing again among the entries from the chosen one onwards keeps it: the choice is a
    // fixed point of its own rule.
    Check(ChooseIconImage(std::span(entries).subspan(image.index), display) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const TIconHeader header = ReadIconHeader({data, size});
        Check(size >= 6 && header.type <= 1);
        CheckIconImageSizes({data, size});
    } catch (const Exception& e) {
        CheckFailure(e);
        return 0;
    }
    for (const TIconDisplay display :
         {TIconDisplay{32, 32, 32}, TIconDisplay{16, 16, 4}, TIconDisplay{48, 24, 8}, TIconDisplay{0, 255, 1}})
        ChooseFor(data, size, display);
    return 0;
}
