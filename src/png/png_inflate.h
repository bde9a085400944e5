// The image data stream of a PNG file: zlib's inflate fed with whole IDAT chunks, and the
// rows it yields, unfiltered in place.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "png/png_chunks.h"

class TPngRowSource {
public:
    // maxRowBytes: the largest row of any pass, without its filter type byte.
    TPngRowSource(const std::vector<TPngSpan>& imageData, size_t maxRowBytes);
    ~TPngRowSource();
    TPngRowSource(const TPngRowSource&) = delete;
    TPngRowSource& operator=(const TPngRowSource&) = delete;

    // The next row of rowBytes bytes, unfiltered against the previous one (against zeros
    // when firstOfPass). Raises EPNGMissingMultipleIDAT when the data ends first,
    // EPNGZLIBError for data zlib rejects or an unknown filter type.
    const uint8_t* NextRow(size_t rowBytes, unsigned bytesPerPixel, bool firstOfPass);

    // After the last row: reads the stream to its end, where zlib checks the Adler-32 of all
    // the inflated data. Raises EPNGZLIBError ("incorrect data check") for a wrong checksum.
    // A stream that inflates to more than 64 KiB after the last row is taken as ended there,
    // and its checksum goes unchecked: the picture loads.
    void Finish();

private:
    void Refill(size_t needed);
    size_t Inflate(uint8_t* out, size_t capacity);

    const std::vector<TPngSpan>& imageData_;
    size_t nextSpan_ = 0;
    z_stream stream_{};
    bool streamEnded_ = false;
    size_t capacity_;
    std::unique_ptr<uint8_t[]> window_;  // inflated bytes not yet taken are [begin_, end_)
    size_t begin_ = 0;
    size_t end_ = 0;
    std::unique_ptr<uint8_t[]> zeroRow_;
    std::unique_ptr<uint8_t[]> savedRow_;  // the previous row, when the window moves on
    const uint8_t* prev_ = nullptr;
    size_t prevBytes_ = 0;
};
