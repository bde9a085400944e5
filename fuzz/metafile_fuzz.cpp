// Any bytes as a .wmf or .emf file: the reader either describes an enhanced or a placeable
// metafile or raises one of its two failure kinds with the exact message. Each input is tried
// as it is and with a placeable header's checksum made right, so that mutations get past it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "pictures/metafile_reader.h"
#include "pictures/picture_errors.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void ReadOne(const uint8_t* data, size_t size) {
    for (const int pixelsPerInch : {96, 120, 0}) {
        TMetafileFile metafile;
        try {
            metafile = ReadMetafile({data, size}, pixelsPerInch);
        } catch (const EReadError& e) {
            Check(e.Message() == kStreamReadError);
            return;
        } catch (const EInvalidGraphic& e) {
            Check(e.Message() == kMetafileNotValid && std::string(e.ClassName()) == "EInvalidGraphic");
            return;
        }
        Check(metafile.data.data() >= data && metafile.data.data() + metafile.data.size() <= data + size);
        if (metafile.enhanced) {
            Check(size > 100 && metafile.data.data() == data && metafile.data.size() >= 100);
            Check(metafile.data.size() == metafile.header.totalBytes && metafile.sizeKnown);
            Check(metafile.size == EnhancedMetafileSize(ReadEnhancedHeader(metafile.data)));
        } else {
            Check(size >= 22 && metafile.data.data() == data + 22);
            Check(metafile.sizeKnown == (metafile.unitsPerInch != 0));
            if (pixelsPerInch == 0 && metafile.sizeKnown) Check(metafile.size == TSizeL{});
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadOne(data, size);
    if (size >= 22) {
        std::vector<uint8_t> fixed(data, data + size);
        fixed[0] = 0xD7;
        fixed[1] = 0xCD;
        fixed[2] = 0xC6;
        fixed[3] = 0x9A;
        uint16_t checksum = 0;
        for (size_t i = 0; i < 20; i += 2) checksum ^= static_cast<uint16_t>(fixed[i] | fixed[i + 1] << 8);
        fixed[20] = static_cast<uint8_t>(checksum);
        fixed[21] = static_cast<uint8_t>(checksum >> 8);
        ReadOne(fixed.data(), fixed.size());
    }
    return 0;
}
