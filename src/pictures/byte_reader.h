// Reading picture files: a stream interface (so that the Windows side can read a bitmap's
// headers from an open file and then its pixels straight into a DIB section), and a read
// cursor over a file held in memory. Both read little-endian numbers and raise EReadError
// "Stream read error" when the data ends before what is asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "pictures/picture_errors.h"

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

class TReadStream {
public:
    virtual ~TReadStream() = default;
    // Bytes between the current position and the end.
    virtual uint64_t Remaining() const = 0;
    // Reads exactly count bytes; raises "Stream read error" (RaiseStreamReadError) when
    // fewer remain.
    virtual void ReadBuffer(void* buffer, size_t count) = 0;

    // Passes over count bytes; raises "Stream read error" when fewer remain.
    void Skip(uint64_t count);
    uint16_t U16() {
        uint8_t bytes[2];
        ReadBuffer(bytes, 2);
        return Le16(bytes);
    }
    uint32_t U32() {
        uint8_t bytes[4];
        ReadBuffer(bytes, 4);
        return Le32(bytes);
    }
};

// A cursor over bytes in memory; Read hands out views into them without copying.
class TByteReader : public TReadStream {
public:
    explicit TByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t Position() const noexcept { return position_; }
    uint64_t Remaining() const override { return data_.size() - position_; }
    void ReadBuffer(void* buffer, size_t count) override;

    // The next count bytes; raises "Stream read error" when fewer remain.
    std::span<const uint8_t> Read(uint64_t count) {
        if (count > Remaining()) RaiseStreamReadError();
        const auto block = data_.subspan(position_, static_cast<size_t>(count));
        position_ += static_cast<size_t>(count);
        return block;
    }
    // At most count bytes: what remains when fewer do.
    std::span<const uint8_t> ReadAtMost(uint64_t count) { return Read(count < Remaining() ? count : Remaining()); }
    uint8_t U8() { return Read(1)[0]; }

private:
    std::span<const uint8_t> data_;
    size_t position_ = 0;
};
