#include "png/png_convert.h"

#include <bit>
#include <cmath>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "pixels are packed for little-endian machines");

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

inline uint32_t Bgra(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
}

inline uint16_t Sample16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

}  // namespace

bool BuildPngGammaTable(uint32_t value, uint8_t (&table)[256]) {
    for (int v = 0; v < 256; ++v) table[v] = uint8_t(v);
    if (value == 0) return true;
    const double g = value / 100000.0;
    const double exponent = 1.0 / (g * 2.2);
    bool identity = true;
    for (int v = 0; v < 256; ++v) {
        // nearbyint rounds in the current mode, which is to nearest with ties to even.
        const double corrected = std::nearbyint(255.0 * std::pow(v / 255.0, exponent));
        table[v] = uint8_t(corrected < 0.0 ? 0.0 : corrected > 255.0 ? 255.0 : corrected);
        identity = identity && table[v] == v;
    }
    return identity;
}

TPngTransparency PngTransparencyOf(const TPngChunks& chunks) {
    switch (chunks.header.colourType) {
        case 4:
        case 6:
            return TPngTransparency::Alpha;
        case 3: {
            if (!chunks.hasTransparency) return TPngTransparency::Opaque;
            int below = 0;
            for (int i = 0; i < chunks.paletteAlphaCount; ++i) below += chunks.paletteAlpha[i] < 255;
            return below == 1 ? TPngTransparency::TransparentColour : TPngTransparency::Alpha;
        }
        default:
            return chunks.hasTransparency ? TPngTransparency::TransparentColour : TPngTransparency::Opaque;
    }
}

TPngRowConverter::TPngRowConverter(const TPngChunks& chunks)
    : bitDepth_(chunks.header.bitDepth),
      gammaIdentity_(BuildPngGammaTable(chunks.hasGamma ? chunks.gamma : 0, gamma_)),
      hasKey_(chunks.hasTransparency && (chunks.header.colourType == 0 || chunks.header.colourType == 2)),
      keyGrey_(chunks.keyGrey),
      keyRed_(chunks.keyRed),
      keyGreen_(chunks.keyGreen),
      keyBlue_(chunks.keyBlue) {
    const bool deep = bitDepth_ == 16;
    for (int i = 0; i < 256; ++i) table_[i] = Bgra(gamma_[i], gamma_[i], gamma_[i], 255);
    switch (chunks.header.colourType) {
        case 0:
            layout_ = deep ? TLayout::Grey16 : TLayout::Lookup;
            if (!deep) {
                const unsigned maximum = (1u << bitDepth_) - 1;
                for (unsigned v = 0; v <= maximum; ++v) {
                    const uint8_t g = gamma_[v * 255 / maximum];
                    table_[v] = Bgra(g, g, g, hasKey_ && v == keyGrey_ ? 0 : 255);
                }
            }
            break;
        case 3:
            layout_ = TLayout::Lookup;
            for (int i = 0; i < 256; ++i) {
                if (i >= chunks.paletteCount) {
                    table_[i] = kOpaque;  // an index the palette lacks shows black
                    continue;
                }
                const TPngRgb& entry = chunks.palette[i];
                const uint8_t alpha = i < chunks.paletteAlphaCount ? chunks.paletteAlpha[i] : 255;
                table_[i] = Bgra(gamma_[entry.r], gamma_[entry.g], gamma_[entry.b], alpha);
            }
            break;
        case 4:
            layout_ = deep ? TLayout::GreyAlpha16 : TLayout::GreyAlpha8;
            break;
        case 2:
            layout_ = deep ? TLayout::Rgb16 : TLayout::Rgb8;
            break;
        default:
            layout_ = deep ? TLayout::Rgba16 : TLayout::Rgba8;
            break;
    }
}

template <unsigned Depth>
void TPngRowConverter::ConvertPacked(const uint8_t* raw, uint32_t* out, uint32_t width) const {
    constexpr unsigned kPerByte = 8 / Depth;
    constexpr unsigned kMask = (1u << Depth) - 1;
    uint32_t x = 0;
    for (; x + kPerByte <= width; x += kPerByte) {
        const unsigned byte = *raw++;
        for (unsigned k = 0; k < kPerByte; ++k) out[x + k] = table_[(byte >> (8 - Depth * (k + 1))) & kMask];
    }
    if (x < width) {
        const unsigned byte = *raw;
        for (unsigned k = 0; x < width; ++k, ++x) out[x] = table_[(byte >> (8 - Depth * (k + 1))) & kMask];
    }
}

template <bool Gamma>
void TPngRowConverter::ConvertRgb8(const uint8_t* raw, uint32_t* out, uint32_t width) const {
    for (uint32_t x = 0; x < width; ++x, raw += 3) {
        if constexpr (Gamma)
            out[x] = Bgra(gamma_[raw[0]], gamma_[raw[1]], gamma_[raw[2]], 255);
        else
            out[x] = Bgra(raw[0], raw[1], raw[2], 255);
    }
    if (hasKey_) {
        raw -= size_t{width} * 3;
        for (uint32_t x = 0; x < width; ++x, raw += 3)
            if (raw[0] == keyRed_ && raw[1] == keyGreen_ && raw[2] == keyBlue_) out[x] &= 0x00FFFFFFu;
    }
}

template <bool Gamma>
void TPngRowConverter::ConvertRgba8(const uint8_t* raw, uint32_t* out, uint32_t width) const {
    for (uint32_t x = 0; x < width; ++x, raw += 4) {
        if constexpr (Gamma) {
            out[x] = Bgra(gamma_[raw[0]], gamma_[raw[1]], gamma_[raw[2]], raw[3]);
        } else {
            // R G B A in memory is A << 24 | B << 16 | G << 8 | R: swap the R and B bytes.
            uint32_t v;
            std::memcpy(&v, raw, 4);
            out[x] = (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16;
        }
    }
}

void TPngRowConverter::ConvertRgb16(const uint8_t* raw, uint32_t* out, uint32_t width) const {
    for (uint32_t x = 0; x < width; ++x, raw += 6) {
        const bool key =
            hasKey_ && Sample16(raw) == keyRed_ && Sample16(raw + 2) == keyGreen_ && Sample16(raw + 4) == keyBlue_;
        out[x] = Bgra(gamma_[raw[0]], gamma_[raw[2]], gamma_[raw[4]], key ? 0 : 255);
    }
}

void TPngRowConverter::ConvertRgba16(const uint8_t* raw, uint32_t* out, uint32_t width) const {
    for (uint32_t x = 0; x < width; ++x, raw += 8)
        out[x] = Bgra(gamma_[raw[0]], gamma_[raw[2]], gamma_[raw[4]], raw[6]);
}

void TPngRowConverter::Convert(const uint8_t* raw, uint32_t* out, uint32_t width) const {
    switch (layout_) {
        case TLayout::Lookup:
            switch (bitDepth_) {
                case 1:
                    return ConvertPacked<1>(raw, out, width);
                case 2:
                    return ConvertPacked<2>(raw, out, width);
                case 4:
                    return ConvertPacked<4>(raw, out, width);
                default:
                    for (uint32_t x = 0; x < width; ++x) out[x] = table_[raw[x]];
                    return;
            }
        case TLayout::Grey16:
            for (uint32_t x = 0; x < width; ++x, raw += 2) {
                const uint32_t pixel = table_[raw[0]];
                out[x] = hasKey_ && Sample16(raw) == keyGrey_ ? pixel & 0x00FFFFFFu : pixel;
            }
            return;
        case TLayout::GreyAlpha8:
            for (uint32_t x = 0; x < width; ++x, raw += 2)
                out[x] = (table_[raw[0]] & 0x00FFFFFFu) | uint32_t(raw[1]) << 24;
            return;
        case TLayout::GreyAlpha16:
            for (uint32_t x = 0; x < width; ++x, raw += 4)
                out[x] = (table_[raw[0]] & 0x00FFFFFFu) | uint32_t(raw[2]) << 24;
            return;
        case TLayout::Rgb8:
            return gammaIdentity_ ? ConvertRgb8<false>(raw, out, width) : ConvertRgb8<true>(raw, out, width);
        case TLayout::Rgb16:
            return ConvertRgb16(raw, out, width);
        case TLayout::Rgba8:
            return gammaIdentity_ ? ConvertRgba8<false>(raw, out, width) : ConvertRgba8<true>(raw, out, width);
        case TLayout::Rgba16:
            return ConvertRgba16(raw, out, width);
    }
}
