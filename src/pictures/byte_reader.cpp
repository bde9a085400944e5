#include "pictures/byte_reader.h"

#include <cstring>

void TByteReader::ReadBuffer(void* buffer, size_t count) {
    const auto block = Read(count);
    if (count != 0) std::memcpy(buffer, block.data(), count);
}

void TReadStream::Skip(uint64_t count) {
    if (count > Remaining()) RaiseStreamReadError();
    uint8_t scratch[4096];
    while (count > 0) {
        const size_t step = count < sizeof scratch ? static_cast<size_t>(count) : sizeof scratch;
        ReadBuffer(scratch, step);
        count -= step;
    }
}
