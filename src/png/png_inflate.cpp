#include "png/png_inflate.h"

#include <cstring>
#include <new>

#include "png/png_errors.h"
#include "png/png_filters.h"

namespace {

// Inflating into a large window keeps zlib on its fast path and copies little into its own
// history buffer; the rows are unfiltered while the window is still in the cache.
constexpr size_t kWindowBytes = 256 * 1024;
// How much a stream may inflate to after its last row and still have its checksum checked.
// An encoder ends the stream right after the rows (zlib's and libpng's leave not one byte),
// so 64 KiB is far above anything real; the compressed bytes read meanwhile are bounded by the
// file, as they are before the first row.
constexpr size_t kMostBytesAfterLastRow = 64 * 1024;
// Bytes behind every buffer of rows, which the unfiltering may read (never write).
constexpr size_t kPadding = 16;

// Zeroed, padding included: the unfiltering reads (and ignores) the padding.
std::unique_ptr<uint8_t[]> Allocate(size_t size) {
    uint8_t* block = new (std::nothrow) uint8_t[size + kPadding]();
    if (block == nullptr) RaisePngOutMemory();
    return std::unique_ptr<uint8_t[]>(block);
}

[[noreturn]] void RaiseZlib(const z_stream& stream, int code) {
    RaisePngZlibError(stream.msg != nullptr ? stream.msg : zError(code));
}

}  // namespace

TPngRowSource::TPngRowSource(const std::vector<TPngSpan>& imageData, size_t maxRowBytes)
    : imageData_(imageData), capacity_(kWindowBytes > 2 * (maxRowBytes + 1) ? kWindowBytes : 2 * (maxRowBytes + 1)) {
    window_ = Allocate(capacity_);
    zeroRow_ = Allocate(maxRowBytes + 1);
    savedRow_ = Allocate(maxRowBytes + 1);
    const int code = inflateInit(&stream_);
    if (code != Z_OK) {
        if (code == Z_MEM_ERROR) RaisePngOutMemory();
        RaiseZlib(stream_, code);
    }
}

TPngRowSource::~TPngRowSource() { inflateEnd(&stream_); }

size_t TPngRowSource::Inflate(uint8_t* out, size_t capacity) {
    stream_.next_out = out;
    stream_.avail_out = uInt(capacity);
    while (stream_.avail_out > 0 && !streamEnded_) {
        if (stream_.avail_in == 0) {
            if (nextSpan_ == imageData_.size()) break;
            stream_.next_in = const_cast<Bytef*>(imageData_[nextSpan_].data);
            stream_.avail_in = imageData_[nextSpan_].size;
            ++nextSpan_;
        }
        const int code = inflate(&stream_, Z_NO_FLUSH);
        if (code == Z_STREAM_END) {
            streamEnded_ = true;
        } else if (code == Z_BUF_ERROR) {
            // No progress possible: only more input can help, which the loop supplies.
            if (stream_.avail_in != 0) RaiseZlib(stream_, code);
        } else if (code == Z_MEM_ERROR) {
            RaisePngOutMemory();
        } else if (code != Z_OK) {
            RaiseZlib(stream_, code);
        }
    }
    return capacity - stream_.avail_out;
}

void TPngRowSource::Finish() {
    // Whatever the stream holds after the last row (normally only its Adler-32 trailer) is
    // inflated into the window, whose rows are all taken, so that zlib checks the checksum.
    // A stream cut short after its last row ends without a trailer to check, and so does one
    // that goes on beyond kMostBytesAfterLastRow: a few bytes of a small file could otherwise
    // inflate to gigabytes here.
    const size_t inflated = end_ - begin_;
    size_t left = inflated < kMostBytesAfterLastRow ? kMostBytesAfterLastRow - inflated : 0;
    while (!streamEnded_ && left > 0) {
        const size_t wanted = left < capacity_ ? left : capacity_;
        if (Inflate(window_.get(), wanted) < wanted) break;
        left -= wanted;
    }
}

void TPngRowSource::Refill(size_t needed) {
    if (prev_ != nullptr && prev_ != zeroRow_.get() + 1 && prev_ != savedRow_.get() + 1) {
        std::memcpy(savedRow_.get() + 1, prev_, prevBytes_);
        prev_ = savedRow_.get() + 1;
    }
    const size_t pending = end_ - begin_;
    std::memmove(window_.get(), window_.get() + begin_, pending);
    begin_ = 0;
    end_ = pending;
    end_ += Inflate(window_.get() + end_, capacity_ - end_);
    if (end_ < needed) RaisePngMissingMultipleIDAT();
}

const uint8_t* TPngRowSource::NextRow(size_t rowBytes, unsigned bytesPerPixel, bool firstOfPass) {
    const size_t needed = rowBytes + 1;
    if (end_ - begin_ < needed) Refill(needed);
    uint8_t* row = window_.get() + begin_;
    begin_ += needed;
    const uint8_t* prev = firstOfPass ? zeroRow_.get() + 1 : prev_;
    if (!UnfilterPngRow(row[0], row + 1, prev, rowBytes, bytesPerPixel)) RaisePngZlibError("invalid filter type");
    prev_ = row + 1;
    prevBytes_ = rowBytes;
    return row + 1;
}
