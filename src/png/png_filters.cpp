#include "png/png_filters.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

enum : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

inline uint8_t PaethPredictor(int a, int b, int c) {
    // The predictor of the standard: the one of left, up and upper-left nearest to
    // left + up - upper-left, ties going to left, then up. Written without branches.
    const int pa = b > c ? b - c : c - b;
    const int pb = a > c ? a - c : c - a;
    const int sum = (b - c) + (a - c);
    const int pc = sum < 0 ? -sum : sum;
    const int nearer = pb < pa ? b : a;
    const int nearest = pb < pa ? pb : pa;
    return uint8_t(pc < nearest ? c : nearer);
}

void UnfilterUp(uint8_t* row, const uint8_t* prev, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(prev + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_add_epi8(x, b));
    }
#endif
    for (; i < n; ++i) row[i] = uint8_t(row[i] + prev[i]);
}

// Byte-wise loops with the pixel size known at compile time, for 1 and 2 bytes per pixel
// and as the portable fallback.
template <unsigned Bpp>
void UnfilterScalar(uint8_t filterType, uint8_t* row, const uint8_t* prev, size_t n) {
    const size_t first = Bpp < n ? Bpp : n;
    switch (filterType) {
        case kSub:
            for (size_t i = Bpp; i < n; ++i) row[i] = uint8_t(row[i] + row[i - Bpp]);
            break;
        case kAverage:
            for (size_t i = 0; i < first; ++i) row[i] = uint8_t(row[i] + (prev[i] >> 1));
            for (size_t i = Bpp; i < n; ++i) row[i] = uint8_t(row[i] + ((row[i - Bpp] + prev[i]) >> 1));
            break;
        case kPaeth:
            for (size_t i = 0; i < first; ++i) row[i] = uint8_t(row[i] + prev[i]);
            for (size_t i = Bpp; i < n; ++i)
                row[i] = uint8_t(row[i] + PaethPredictor(row[i - Bpp], prev[i], prev[i - Bpp]));
            break;
        default:
            break;
    }
}

#if defined(__SSE2__)
// One pixel of Bpp (3, 4, 6 or 8) bytes in the low lanes of a vector. A whole 4 or 8-byte
// word is read (the rows have padding behind them): a load assembled from narrower pieces
// would stall on store forwarding in every pixel's dependency chain.
template <unsigned Bpp>
inline __m128i LoadPixel(const uint8_t* p) {
    if constexpr (Bpp <= 4) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return _mm_cvtsi32_si128(int(v));
    } else {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return _mm_cvtsi64_si128(static_cast<long long>(v));
    }
}

template <unsigned Bpp>
inline void StorePixel(uint8_t* p, __m128i v) {
    if constexpr (Bpp <= 4) {
        const uint32_t x = uint32_t(_mm_cvtsi128_si32(v));
        std::memcpy(p, &x, Bpp);
    } else {
        const uint64_t x = uint64_t(_mm_cvtsi128_si64(v));
        std::memcpy(p, &x, Bpp);
    }
}

inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

inline __m128i Abs16(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }

// Sub, Average and Paeth work pixel by pixel (each depends on the one to its left); the
// bytes of one pixel go through the vector lanes together.
template <unsigned Bpp>
void UnfilterVector(uint8_t filterType, uint8_t* row, const uint8_t* prev, size_t n) {
    const __m128i zero = _mm_setzero_si128();
    switch (filterType) {
        case kSub: {
            __m128i left = zero;
            for (size_t i = 0; i < n; i += Bpp) {
                left = _mm_add_epi8(LoadPixel<Bpp>(row + i), left);
                StorePixel<Bpp>(row + i, left);
            }
            break;
        }
        case kAverage: {
            const __m128i one = _mm_set1_epi8(1);
            __m128i left = zero;
            for (size_t i = 0; i < n; i += Bpp) {
                const __m128i up = LoadPixel<Bpp>(prev + i);
                // _mm_avg_epu8 rounds up; take the odd bit back off to round down.
                const __m128i average =
                    _mm_sub_epi8(_mm_avg_epu8(left, up), _mm_and_si128(_mm_xor_si128(left, up), one));
                left = _mm_add_epi8(LoadPixel<Bpp>(row + i), average);
                StorePixel<Bpp>(row + i, left);
            }
            break;
        }
        case kPaeth: {
            __m128i a = zero;  // left, 16-bit lanes
            __m128i c = zero;  // upper left
            for (size_t i = 0; i < n; i += Bpp) {
                const __m128i b = _mm_unpacklo_epi8(LoadPixel<Bpp>(prev + i), zero);
                const __m128i bc = _mm_sub_epi16(b, c);
                const __m128i ac = _mm_sub_epi16(a, c);
                const __m128i pa = Abs16(bc);
                const __m128i pb = Abs16(ac);
                const __m128i pc = Abs16(_mm_add_epi16(bc, ac));
                const __m128i bNearer = _mm_cmplt_epi16(pb, pa);
                const __m128i nearer = Select(bNearer, b, a);
                const __m128i nearest = _mm_min_epi16(pa, pb);
                const __m128i predictor = Select(_mm_cmplt_epi16(pc, nearest), c, nearer);
                const __m128i value = _mm_add_epi8(LoadPixel<Bpp>(row + i), _mm_packus_epi16(predictor, predictor));
                StorePixel<Bpp>(row + i, value);
                a = _mm_unpacklo_epi8(value, zero);
                c = b;
            }
            break;
        }
        default:
            break;
    }
}
#endif

template <unsigned Bpp>
void Unfilter(uint8_t filterType, uint8_t* row, const uint8_t* prev, size_t n) {
#if defined(__SSE2__)
    if constexpr (Bpp >= 3) {
        UnfilterVector<Bpp>(filterType, row, prev, n);
        return;
    }
#endif
    UnfilterScalar<Bpp>(filterType, row, prev, n);
}

}  // namespace

bool UnfilterPngRow(uint8_t filterType, uint8_t* row, const uint8_t* prev, size_t rowBytes, unsigned bytesPerPixel) {
    if (filterType > kPaeth) return false;
    if (filterType == kNone) return true;
    if (filterType == kUp) {
        UnfilterUp(row, prev, rowBytes);
        return true;
    }
    switch (bytesPerPixel) {
        case 1:
            Unfilter<1>(filterType, row, prev, rowBytes);
            break;
        case 2:
            Unfilter<2>(filterType, row, prev, rowBytes);
            break;
        case 3:
            Unfilter<3>(filterType, row, prev, rowBytes);
            break;
        case 4:
            Unfilter<4>(filterType, row, prev, rowBytes);
            break;
        case 6:
            Unfilter<6>(filterType, row, prev, rowBytes);
            break;
        case 8:
            Unfilter<8>(filterType, row, prev, rowBytes);
            break;
        default:
            return false;
    }
    return true;
}
