// The PNG codec's decoding speed against libpng's, class by class, over the corpus that
// bench/make_png_corpus.sh writes (into build/png_corpus; another folder can be given in
// LUMO_PNG_CORPUS). Each class is decoded three ways:
//   ours     TPngImage::Decode, to BGRA;
//   libpng   libpng configured to give the same BGRA form (palette expanded, tRNS to alpha,
//            grey to RGB, 16 bits stripped to the high byte, B G R order, filler 255) and,
//            when the file has gAMA, gamma for a 2.2 screen as a program would ask for it;
//   inflate  zlib's inflate alone of the image data, into one buffer, without Adler-32: the
//            floor under any decoder built on zlib.
// At the end a table gives each class's median times, the ratio ours / libpng, ours over
// inflate, and the geometric mean of the ratios.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../tests/support/libpng_files.h"
#include "png/png_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct TSample {
    std::string name;
    Bytes file;
    Bytes imageData;  // the IDAT chunks joined
    size_t filteredSize = 0;
};

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void JoinImageData(TSample& sample) {
    size_t offset = 8;
    while (offset + 12 <= sample.file.size()) {
        const uint32_t length = BigEndian32(&sample.file[offset]);
        if (std::memcmp(&sample.file[offset + 4], "IDAT", 4) == 0)
            sample.imageData.insert(sample.imageData.end(), sample.file.begin() + offset + 8,
                                    sample.file.begin() + offset + 8 + length);
        offset += 12 + size_t{length};
    }
}

// The size of the filtered rows, by inflating once.
size_t InflatedSize(const Bytes& data) {
    z_stream stream{};
    inflateInit(&stream);
    std::vector<uint8_t> buffer(1 << 20);
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = uInt(data.size());
    size_t total = 0;
    int code = Z_OK;
    while (code == Z_OK) {
        stream.next_out = buffer.data();
        stream.avail_out = uInt(buffer.size());
        code = inflate(&stream, Z_NO_FLUSH);
        total += buffer.size() - stream.avail_out;
    }
    inflateEnd(&stream);
    return total;
}

void PutChunk(Bytes& file, const char* type, const Bytes& data) {
    const uint32_t size = uint32_t(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(uint8_t(size >> shift));
    const size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    const uint32_t crc = uint32_t(crc32(0, &file[start], uInt(file.size() - start)));
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(uint8_t(crc >> shift));
}

// A small file whose compressed data goes on far beyond its rows: a 64 x 64 grey picture
// followed, in the same stream, by 100 MB of zeros (about 100 KB compressed). It shows what a
// decoder does after the last row.
std::unique_ptr<TSample> LongTailSample() {
    constexpr uint32_t kSide = 64;
    Bytes raw;
    for (uint32_t y = 0; y < kSide; ++y) {
        raw.push_back(0);
        for (uint32_t x = 0; x < kSide; ++x) raw.push_back(uint8_t(x * 3 + y));
    }
    raw.resize(raw.size() + (size_t{100} << 20), 0);
    uLongf size = compressBound(uLong(raw.size()));
    Bytes compressed(size);
    compress(compressed.data(), &size, raw.data(), uLong(raw.size()));
    compressed.resize(size);
    auto sample = std::make_unique<TSample>();
    sample->name = "tail-t0-8b-64x64-100MB";
    sample->file = {137, 80, 78, 71, 13, 10, 26, 10};
    PutChunk(sample->file, "IHDR", {0, 0, 0, kSide, 0, 0, 0, kSide, 8, 0, 0, 0, 0});
    PutChunk(sample->file, "IDAT", compressed);
    PutChunk(sample->file, "IEND", {});
    sample->imageData = compressed;
    sample->filteredSize = raw.size();
    return sample;
}

void DecodeOurs(benchmark::State& state, const TSample* sample) {
    for (auto _ : state) {
        TPngImage image = TPngImage::Decode(sample->file.data(), sample->file.size());
        benchmark::DoNotOptimize(image.Pixels());
    }
}

void DecodeLibpng(benchmark::State& state, const TSample* sample) {
    for (auto _ : state) {
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        std::unique_ptr<uint8_t[]> pixels;
        std::vector<png_bytep> rows;
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_read_struct(&png, &info, nullptr);
            state.SkipWithError("libpng failed");
            return;
        }
        png_test::TReader reader{&sample->file, 0};
        png_set_read_fn(png, &reader, png_test::ReadBytes);
        png_read_info(png, info);
        png_test::AskForCodecOutput(png);
        if (png_get_valid(png, info, PNG_INFO_gAMA)) png_set_gamma(png, 2.2, 0.45455);
        png_read_update_info(png, info);
        const uint32_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
        pixels.reset(new uint8_t[size_t{width} * height * 4]);
        rows.resize(height);
        for (uint32_t y = 0; y < height; ++y) rows[y] = pixels.get() + size_t{y} * width * 4;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.get());
    }
}

void InflateOnly(benchmark::State& state, const TSample* sample) {
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> out(new uint8_t[sample->filteredSize]);
        z_stream stream{};
        inflateInit(&stream);
        inflateValidate(&stream, 0);
        stream.next_in = const_cast<Bytef*>(sample->imageData.data());
        stream.avail_in = uInt(sample->imageData.size());
        stream.next_out = out.get();
        stream.avail_out = uInt(sample->filteredSize);
        inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        benchmark::DoNotOptimize(out.get());
    }
}

// Keeps the median of every benchmark while the console shows the usual lines.
class TMedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;  // milliseconds
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

std::filesystem::path CorpusFolder(const char* program) {
    if (const char* chosen = std::getenv("LUMO_PNG_CORPUS")) return chosen;
    // The program sits in build/bench (or another build folder); the corpus in build/png_corpus.
    std::error_code error;
    std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    if (error) self = std::filesystem::absolute(program);
    return self.parent_path().parent_path() / "png_corpus";
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = CorpusFolder(argv[0]);
    std::vector<std::unique_ptr<TSample>> samples;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".png") continue;
        auto sample = std::make_unique<TSample>();
        sample->name = entry.path().stem().string();
        std::ifstream in(entry.path(), std::ios::binary);
        sample->file.resize(size_t(entry.file_size()));
        in.read(reinterpret_cast<char*>(sample->file.data()), std::streamsize(sample->file.size()));
        JoinImageData(*sample);
        sample->filteredSize = InflatedSize(sample->imageData);
        samples.push_back(std::move(sample));
    }
    if (samples.empty()) {
        std::fprintf(stderr, "no PNG corpus in %s: run bench/make_png_corpus.sh first\n", folder.c_str());
        return 1;
    }
    samples.push_back(LongTailSample());
    std::sort(samples.begin(), samples.end(), [](const auto& a, const auto& b) { return a->name < b->name; });
    for (const auto& sample : samples) {
        const TSample* s = sample.get();
        for (auto [kind, function] :
             {std::pair{"ours", &DecodeOurs}, {"libpng", &DecodeLibpng}, {"inflate", &InflateOnly}})
            benchmark::RegisterBenchmark((s->name + "/" + kind).c_str(), function, s)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.05)
                ->Repetitions(7)
                ->ReportAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-36s %10s %10s %8s %10s %10s\n", "class (median CPU ms)", "ours", "libpng", "ratio", "inflate",
                "ours/infl");
    double logSum = 0;
    int count = 0;
    for (const auto& sample : samples) {
        const auto ours = reporter.medians.find(sample->name + "/ours");
        const auto theirs = reporter.medians.find(sample->name + "/libpng");
        const auto floor = reporter.medians.find(sample->name + "/inflate");
        if (ours == reporter.medians.end() || theirs == reporter.medians.end()) continue;
        const double ratio = ours->second / theirs->second;
        logSum += std::log(ratio);
        ++count;
        const double inflateTime = floor != reporter.medians.end() ? floor->second : NAN;
        std::printf("%-36s %10.3f %10.3f %8.3f %10.3f %10.3f\n", sample->name.c_str(), ours->second, theirs->second,
                    ratio, inflateTime, ours->second / inflateTime);
    }
    if (count > 0)
        std::printf("geometric mean of ours / libpng over %d classes: %.3f\n", count, std::exp(logSum / count));
    return 0;
}
