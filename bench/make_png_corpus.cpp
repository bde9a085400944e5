// Writes the PNG benchmark corpus with libpng: photo-like and flat pictures of every colour
// type, 8 and 16 bits, with and without tRNS, interlaced or not, some with gAMA.
// Usage: make_png_corpus OUTPUT_FOLDER (bench/make_png_corpus.sh builds and runs it).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "../tests/support/libpng_files.h"

namespace {

struct TClass {
    const char* content;  // "photo" or "flat"
    int colourType;
    int bitDepth;
    bool transparency;
    bool interlaced;
    bool gamma;
    uint32_t width, height;
};

uint32_t Hash(uint32_t x, uint32_t y, uint32_t c) {
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ c * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

// One colour of the picture as 16-bit samples R, G, B, A.
void Colour(const TClass& k, uint32_t x, uint32_t y, uint32_t rgba[4]) {
    if (std::string(k.content) == "photo") {
        const double fx = x * 4000.0 / k.width, fy = y * 3000.0 / k.height;
        for (int c = 0; c < 3; ++c) {
            double v = 128 + 70 * std::sin(fx * 0.0031 + c) * std::cos(fy * 0.0027 + c * 0.5) +
                       45 * std::sin((fx + 2 * fy) * 0.0009 + c * 2.0) + 12 * std::sin(fx * 0.05) * std::sin(fy * 0.04);
            v = v * 257 + double(Hash(x, y, c) % 1800) - 900.0;  // sensor noise, about 3.5 levels of 255
            rgba[c] = uint32_t(v < 0 ? 0 : v > 65535 ? 65535 : v);
        }
        const double dx = (x - k.width / 2.0) / k.width, dy = (y - k.height / 2.0) / k.height;
        const double edge = 1.8 - 3.5 * std::sqrt(dx * dx + dy * dy);  // opaque middle, soft edges
        rgba[3] = uint32_t(65535 * (edge < 0 ? 0 : edge > 1 ? 1 : edge));
    } else {
        // Flat areas of a few colours, with rules and small repeating marks like text.
        static const uint32_t colours[8][3] = {{255, 255, 255}, {30, 30, 30},  {200, 40, 40},   {40, 120, 200},
                                               {240, 220, 80},  {90, 170, 90}, {160, 160, 160}, {250, 140, 20}};
        uint32_t index = Hash(x / 160, y / 120, 7) % 8;
        if (y % 48 < 2) index = 1;
        if ((y % 24) > 8 && (y % 24) < 18 && (x % 200) < 150 && Hash(x / 6, y / 24, 3) % 3 == 0 &&
            (Hash(x, y / 3, 1) & 3) == 0)
            index = 1;
        for (int c = 0; c < 3; ++c) rgba[c] = colours[index][c] * 257;
        rgba[3] = index == 4 ? 0 : index == 6 ? 0x8000 : 0xFFFF;
    }
}

int Write(const TClass& k, const std::string& path) {
    png_test::TPicture picture;
    picture.width = k.width;
    picture.height = k.height;
    picture.colourType = k.colourType;
    picture.bitDepth = k.bitDepth;
    picture.interlaced = k.interlaced;
    picture.filters = k.colourType == 3 || k.bitDepth < 8 ? PNG_FILTER_NONE : PNG_ALL_FILTERS;  // libpng's default
    const bool photo = std::string(k.content) == "photo";
    if (k.colourType == 3) {
        if (photo) {
            for (int r = 0; r < 6; ++r)
                for (int g = 0; g < 7; ++g)
                    for (int b = 0; b < 6; ++b)
                        picture.palette.push_back(png_color{uint8_t(r * 51), uint8_t(g * 255 / 6), uint8_t(b * 51)});
        } else {
            for (int i = 0; i < 16; ++i)
                picture.palette.push_back(png_color{uint8_t(i * 16), uint8_t(255 - i * 8), uint8_t(i * 5)});
        }
        if (k.transparency) {
            picture.paletteAlpha.resize(picture.palette.size() > 64 ? 64 : picture.palette.size());
            for (size_t i = 0; i < picture.paletteAlpha.size(); ++i)
                picture.paletteAlpha[i] = uint8_t(i % 3 == 0 ? 0 : i % 3 == 1 ? 128 : 255);
        }
    } else if (k.transparency) {
        picture.hasKey = true;
        picture.key.red = picture.key.gray = uint16_t(k.bitDepth == 16 ? 0xFFFF : 255);
        picture.key.green = picture.key.blue = picture.key.red;
    }
    picture.hasGamma = k.gamma;
    picture.gamma = 45000;
    const int channels = png_test::Channels(k.colourType);
    for (uint32_t y = 0; y < k.height; ++y)
        for (uint32_t x = 0; x < k.width; ++x) {
            uint32_t rgba[4];
            Colour(k, x, y, rgba);
            uint32_t samples[4];
            const uint32_t grey = (rgba[0] * 77 + rgba[1] * 150 + rgba[2] * 29) >> 8;
            switch (k.colourType) {
                case 0:
                case 4:
                    samples[0] = grey;
                    samples[1] = rgba[3];
                    break;
                case 3:
                    if (photo)
                        samples[0] = (rgba[0] * 6 / 65536) * 42 + (rgba[1] * 7 / 65536) * 6 + rgba[2] * 6 / 65536;
                    else
                        samples[0] = (rgba[0] / 257 / 16) % 16;
                    samples[0] <<= 8;  // the index, scaled like a 16-bit sample
                    break;
                default:
                    for (int c = 0; c < 4; ++c) samples[c] = rgba[c];
                    break;
            }
            // Samples of 16 bits taken down to the file's depth.
            for (int c = 0; c < channels; ++c)
                picture.samples.push_back(
                    uint16_t(k.bitDepth == 16 ? samples[c] : (samples[c] >> 8) >> (8 - k.bitDepth)));
        }
    const png_test::Bytes bytes = png_test::WritePng(picture);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 1;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const TClass classes[] = {
        // content, type, depth, tRNS, Adam7, gAMA, size
        {"photo", 2, 8, false, false, false, 640, 480},    {"flat", 2, 8, false, false, false, 640, 480},
        {"photo", 0, 8, false, false, false, 1920, 1080},  {"photo", 0, 16, false, false, false, 1920, 1080},
        {"photo", 2, 8, false, false, false, 1920, 1080},  {"photo", 2, 16, false, false, false, 1920, 1080},
        {"photo", 2, 8, true, false, false, 1920, 1080},   {"photo", 3, 8, false, false, false, 1920, 1080},
        {"photo", 3, 8, true, false, false, 1920, 1080},   {"photo", 4, 8, false, false, false, 1920, 1080},
        {"photo", 4, 16, false, false, false, 1920, 1080}, {"photo", 6, 8, false, false, false, 1920, 1080},
        {"photo", 6, 16, false, false, false, 1920, 1080}, {"photo", 2, 8, false, true, false, 1920, 1080},
        {"photo", 6, 8, false, true, false, 1920, 1080},   {"photo", 3, 8, false, true, false, 1920, 1080},
        {"photo", 2, 8, false, false, true, 1920, 1080},   {"photo", 6, 8, false, false, true, 1920, 1080},
        {"flat", 0, 8, false, false, false, 1920, 1080},   {"flat", 0, 1, false, false, false, 1920, 1080},
        {"flat", 2, 8, false, false, false, 1920, 1080},   {"flat", 2, 8, true, false, false, 1920, 1080},
        {"flat", 3, 4, false, false, false, 1920, 1080},   {"flat", 3, 8, true, false, false, 1920, 1080},
        {"flat", 4, 8, false, false, false, 1920, 1080},   {"flat", 6, 8, false, false, false, 1920, 1080},
        {"flat", 6, 16, false, false, false, 1920, 1080},  {"flat", 2, 8, false, true, false, 1920, 1080},
        {"flat", 6, 8, false, true, true, 1920, 1080},     {"photo", 2, 8, false, false, false, 4000, 3000},
        {"photo", 6, 8, false, false, true, 4000, 3000},   {"flat", 3, 8, false, false, false, 4000, 3000},
    };
    int failures = 0;
    for (const TClass& k : classes) {
        char name[128];
        std::snprintf(name, sizeof name, "%s-t%d-%db%s%s%s-%ux%u.png", k.content, k.colourType, k.bitDepth,
                      k.transparency ? "-trns" : "", k.interlaced ? "-adam7" : "", k.gamma ? "-gama" : "", k.width,
                      k.height);
        const std::string path = std::string(argv[1]) + "/" + name;
        if (Write(k, path) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        } else {
            std::printf("%s\n", name);
        }
    }
    return failures == 0 ? 0 : 1;
}
