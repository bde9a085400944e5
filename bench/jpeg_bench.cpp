// The JPEG graphic's first drawing of a 4000 x 3000 photo-like JPEG into a 233 x 243 preview,
// measured where it can be natively: the decode our JPEG graphic runs (DecodeJpegInto with its
// settings and its progress hook feeding TJpegProgressThrottle) side by side with a bare
// libjpeg-turbo decode of the same file with the same settings (scale 1/1, block smoothing
// on, defaults otherwise, blue-green-red rows one scanline at a time into fresh zeroed
// memory). GDI's stretched copy into the preview is Windows' and is left out.
//
// Also:
//   Load           what loading does: the file's bytes kept and the header read, no pixel;
//   SecondDraw     what a later drawing does: the kept bitmap scaled to 233 x 243 by nearest
//                  pixel, the work GDI's copy does there, and no decode;
//   *Palette       the 8-bit output of a display of 8 or fewer bits per pixel (236 colours,
//                  quantised and dithered), ours against bare libjpeg with the same settings.
//
// The file is made at start with libjpeg's compressor at quality 90 (4:2:0), smooth gradients
// with sensor-like noise.
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "../tests/support/picture_files.h"
#include "pictures/jpeg_progress.h"
#include "pictures/jpeg_reader.h"

namespace {

using picture_test::Bytes;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kPreviewWidth = 233;
constexpr int kPreviewHeight = 243;

Bytes MakePhoto() {
    picture_test::TJpegPicture photo;
    photo.width = kWidth;
    photo.height = kHeight;
    photo.quality = 90;
    // Samples are asked for in file order, so the noise runs as over the rows.
    uint32_t noise = 2463534242u;
    photo.sample = [noise](int x, int y, int c) mutable {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        const int base = c == 0   ? x * 220 / kWidth + 20
                         : c == 1 ? y * 200 / kHeight + 30
                                  : ((x / 7 + y / 5) % 256) / 2 + 60;
        const int v = base + static_cast<int>(noise % 25) - 12;
        return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    };
    return picture_test::WriteJpeg(photo);
}

const Bytes& Photo() {
    static const Bytes photo = MakePhoto();
    return photo;
}

uint32_t NowMs() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Fresh zeroed memory per decode, as a new DIB section is.
struct TFreeMemory {
    void operator()(uint8_t* p) const { std::free(p); }
};
using TPixels = std::unique_ptr<uint8_t, TFreeMemory>;

// Our first drawing's decode: DecodeJpegInto with the JPEG graphic's settings, allocator and
// progress reports (a 0 % report, the throttle at every libjpeg progress call, the end report).
int DecodeOurs(const Bytes& file, bool palette, TPixels& pixels, TJpegOutputFormat& format, long& reports) {
    TJpegProgressThrottle throttle;
    throttle.Start();
    ++reports;
    const auto allocate = [&](const TJpegOutputFormat& f) {
        format = f;
        pixels.reset(static_cast<uint8_t*>(std::calloc(f.ImageBytes(), 1)));
        return pixels.get();
    };
    const auto hook = [&](const TJpegProgress& progress) {
        if (throttle.Check(progress, NowMs())) ++reports;
    };
    int rows = 0;
    DecodeJpegInto(file, TJpegDecodeOptions{palette}, allocate, hook, &rows);
    throttle.Finish(false, !format.palette.empty(), rows);
    ++reports;
    return rows;
}

// The same settings straight through libjpeg-turbo.
int DecodeBare(const Bytes& file, bool palette, TPixels& pixels) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.do_block_smoothing = TRUE;
    if (palette) {
        cinfo.out_color_space = JCS_RGB;
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 236;
    } else {
        cinfo.out_color_space = JCS_EXT_BGR;
    }
    jpeg_start_decompress(&cinfo);
    const size_t stride = (static_cast<size_t>(cinfo.output_width) * cinfo.output_components + 3) & ~size_t{3};
    pixels.reset(static_cast<uint8_t*>(std::calloc(stride * cinfo.output_height, 1)));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.get() + cinfo.output_scanline * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    const int rows = static_cast<int>(cinfo.output_scanline);
    jpeg_destroy_decompress(&cinfo);
    return rows;
}

void Load(benchmark::State& state) {
    const Bytes& file = Photo();
    size_t held = 0;
    for (auto _ : state) {
        // What loading keeps: the file's bytes (copied into the graphic) and the header facts.
        Bytes kept(file);
        const TJpegHeader header = ReadJpegHeader(kept);
        if (header.width != kWidth || header.height != kHeight) state.SkipWithError("wrong header");
        held = kept.size();
        benchmark::DoNotOptimize(kept.data());
    }
    state.counters["held_bytes"] = static_cast<double>(held);
}

void FirstDrawDecode(benchmark::State& state, bool ours, bool palette) {
    const Bytes& file = Photo();
    long reports = 0;
    size_t imageBytes = 0;
    for (auto _ : state) {
        TPixels pixels;
        TJpegOutputFormat format;
        const int rows = ours ? DecodeOurs(file, palette, pixels, format, reports) : DecodeBare(file, palette, pixels);
        if (rows != kHeight) state.SkipWithError("short decode");
        imageBytes = ours ? format.ImageBytes() : 0;
        benchmark::DoNotOptimize(pixels.get());
    }
    if (ours) {
        state.counters["reports"] =
            benchmark::Counter(static_cast<double>(reports), benchmark::Counter::kAvgIterations);
        state.counters["held_bytes"] = static_cast<double>(file.size() + imageBytes);
    }
}

void SecondDraw(benchmark::State& state) {
    const Bytes& file = Photo();
    TPixels pixels;
    TJpegOutputFormat format;
    long reports = 0;
    DecodeOurs(file, false, pixels, format, reports);  // the first drawing, before the timing
    std::vector<uint8_t> preview(static_cast<size_t>(kPreviewWidth) * 3 * kPreviewHeight);
    for (auto _ : state) {
        for (int y = 0; y < kPreviewHeight; ++y) {
            const uint8_t* source = pixels.get() + static_cast<size_t>(y) * kHeight / kPreviewHeight * format.stride;
            uint8_t* target = preview.data() + static_cast<size_t>(y) * kPreviewWidth * 3;
            for (int x = 0; x < kPreviewWidth; ++x) {
                const uint8_t* p = source + static_cast<size_t>(x) * kWidth / kPreviewWidth * 3;
                target[3 * x] = p[0];
                target[3 * x + 1] = p[1];
                target[3 * x + 2] = p[2];
            }
        }
        benchmark::DoNotOptimize(preview.data());
    }
}

BENCHMARK(Load)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstDrawDecode, Ours, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstDrawDecode, Bare, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstDrawDecode, OursPalette, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstDrawDecode, BarePalette, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK(SecondDraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
