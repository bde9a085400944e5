#include "pictures/jpeg_reader.h"

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <utility>

#include <jpeglib.h>
// After jpeglib.h: the message codes.
#include <jerror.h>

#include "base/picture_limit.h"
#include "pictures/picture_errors.h"

namespace {

constexpr int kPaletteColours = 236;

// What libjpeg's callbacks and the protected steps share. It lives in the frame of the C++
// function that drives the work, never in a frame that longjmp skips.
struct TJpegSession {
    explicit TJpegSession(std::span<const uint8_t> file);
    ~TJpegSession() { jpeg_destroy_decompress(&cinfo); }
    TJpegSession(const TJpegSession&) = delete;
    TJpegSession& operator=(const TJpegSession&) = delete;
    // Raises what stopped the last protected step.
    [[noreturn]] void RaiseFailure() const;

    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump;
    int errorCode = 0;
    std::span<const uint8_t> file;
    // Decoding.
    bool quantize = false;
    bool cmyk = false;
    bool adobeInverted = false;
    uint8_t* destination = nullptr;
    size_t stride = 0;
    uint8_t* conversionRow = nullptr;
    int rowsDecoded = 0;
    const TJpegProgressHook* hook = nullptr;
    std::exception_ptr hookFailure;
};

TJpegSession& SessionOf(j_common_ptr cinfo) { return *static_cast<TJpegSession*>(cinfo->client_data); }

// Calls the progress hook; false when it threw (the exception is kept in the session).
bool RunProgressHook(TJpegSession& session) {
    const jpeg_progress_mgr& counters = session.progress;
    const TJpegProgress progress{counters.pass_counter, counters.pass_limit, counters.completed_passes,
                                 counters.total_passes, session.rowsDecoded};
    try {
        (*session.hook)(progress);
        return true;
    } catch (...) {
        session.hookFailure = std::current_exception();
        return false;
    }
}

}  // namespace

// libjpeg's callbacks. Only objects without destructors live in their frames, so leaving them
// by longjmp is sound.
extern "C" {
static void LumoJpegErrorExit(j_common_ptr cinfo) {
    TJpegSession& session = SessionOf(cinfo);
    session.errorCode = cinfo->err->msg_code;
    std::longjmp(session.jump, 1);
}
static void LumoJpegEmitMessage(j_common_ptr, int) {}  // warnings and traces are ignored
static void LumoJpegOutputMessage(j_common_ptr) {}
static void LumoJpegProgress(j_common_ptr cinfo) {
    TJpegSession& session = SessionOf(cinfo);
    if (!RunProgressHook(session)) std::longjmp(session.jump, 1);
}
}

namespace {

TJpegSession::TJpegSession(std::span<const uint8_t> data) : file(data) {
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = LumoJpegErrorExit;
    errors.emit_message = LumoJpegEmitMessage;
    errors.output_message = LumoJpegOutputMessage;
    cinfo.client_data = this;
    progress.progress_monitor = LumoJpegProgress;
}

void TJpegSession::RaiseFailure() const {
    if (hookFailure) std::rethrow_exception(hookFailure);
    RaiseJpegError(errorCode);
}

using TJpegStep = void (*)(TJpegSession&);

// The one frame that calls setjmp. It holds no object with a destructor, and neither do the
// steps it runs: a libjpeg failure comes back here by longjmp. True when the step completed.
bool RunProtected(TJpegSession& session, TJpegStep step) {
    if (setjmp(session.jump) != 0) return false;
    step(session);
    return true;
}

void StepCreate(TJpegSession& session) { jpeg_create_decompress(&session.cinfo); }

void StepReadHeader(TJpegSession& session) {
    jpeg_mem_src(&session.cinfo, session.file.data(), static_cast<unsigned long>(session.file.size()));
    jpeg_read_header(&session.cinfo, TRUE);
}

void StepStart(TJpegSession& session) {
    jpeg_decompress_struct& cinfo = session.cinfo;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.do_block_smoothing = TRUE;
    if (session.cmyk) {
        cinfo.out_color_space = JCS_CMYK;
    } else if (session.quantize) {
        cinfo.out_color_space = cinfo.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = kPaletteColours;
    } else {
#ifdef JCS_EXTENSIONS
        cinfo.out_color_space = JCS_EXT_BGR;
#else
        cinfo.out_color_space = JCS_RGB;
#endif
    }
    jpeg_start_decompress(&cinfo);
}

inline uint8_t Scale255(unsigned a, unsigned b) { return static_cast<uint8_t>((a * b + 127) / 255); }

// CMYK bytes to blue-green-red ones.
void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, unsigned width, bool adobeInverted) {
    for (unsigned x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned c = adobeInverted ? cmyk[0] : 255u - cmyk[0];
        const unsigned m = adobeInverted ? cmyk[1] : 255u - cmyk[1];
        const unsigned y = adobeInverted ? cmyk[2] : 255u - cmyk[2];
        const unsigned k = adobeInverted ? cmyk[3] : 255u - cmyk[3];
        bgr[0] = Scale255(y, k);
        bgr[1] = Scale255(m, k);
        bgr[2] = Scale255(c, k);
    }
}

void StepScanlines(TJpegSession& session) {
    jpeg_decompress_struct& cinfo = session.cinfo;
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8_t* target = session.destination + static_cast<size_t>(cinfo.output_scanline) * session.stride;
        JSAMPROW row = session.cmyk ? session.conversionRow : target;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return;
        if (session.cmyk) {
            ConvertCmykRow(session.conversionRow, target, cinfo.output_width, session.adobeInverted);
        } else if (!session.quantize) {
#ifndef JCS_EXTENSIONS
            for (unsigned x = 0; x < cinfo.output_width; ++x) std::swap(target[3 * x], target[3 * x + 2]);
#endif
        }
        session.rowsDecoded = static_cast<int>(cinfo.output_scanline);
    }
}

TJpegOutputFormat OutputFormat(const jpeg_decompress_struct& cinfo) {
    TJpegOutputFormat format;
    format.width = static_cast<int>(cinfo.output_width);
    format.height = static_cast<int>(cinfo.output_height);
    format.bitCount = cinfo.quantize_colors ? 8 : 24;
    format.stride = static_cast<size_t>(DibRowBytes(format.width, static_cast<uint32_t>(format.bitCount)));
    if (cinfo.quantize_colors) {
        const bool gray = cinfo.out_color_components == 1;
        for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
            const uint8_t red = cinfo.colormap[0][i];
            format.palette.push_back({gray ? red : cinfo.colormap[2][i], gray ? red : cinfo.colormap[1][i], red, 0});
        }
    }
    return format;
}

// A header whose picture passes the program's limit is refused as libjpeg refuses what it
// has no memory for: before jpeg_start_decompress allocates anything of the picture's size.
void CheckPictureSize(const jpeg_decompress_struct& cinfo) {
    if (!PictureSizeAllowed(cinfo.image_width, cinfo.image_height)) RaiseJpegError(JERR_OUT_OF_MEMORY);
}

}  // namespace

std::vector<uint8_t> TJpegOutputFormat::BitmapInfo() const {
    TDibHeader header;
    header.width = width;
    header.height = -height;
    header.bitCount = static_cast<uint16_t>(bitCount);
    header.sizeImage = static_cast<uint32_t>(ImageBytes());
    header.clrUsed = static_cast<uint32_t>(palette.size());
    return BuildBitmapInfo(header, {}, palette);
}

TJpegHeader ReadJpegHeader(std::span<const uint8_t> file) {
    TJpegSession session(file);
    if (!RunProtected(session, StepCreate) || !RunProtected(session, StepReadHeader)) session.RaiseFailure();
    const jpeg_decompress_struct& cinfo = session.cinfo;
    CheckPictureSize(cinfo);
    return {static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height),
            cinfo.jpeg_color_space == JCS_GRAYSCALE, cinfo.progressive_mode != FALSE};
}

int DecodeJpegInto(std::span<const uint8_t> file, const TJpegDecodeOptions& options, const TJpegAllocate& allocate,
                   const TJpegProgressHook& progress, int* rowsDecoded) {
    if (rowsDecoded != nullptr) *rowsDecoded = 0;
    TJpegSession session(file);
    if (!RunProtected(session, StepCreate) || !RunProtected(session, StepReadHeader)) session.RaiseFailure();
    CheckPictureSize(session.cinfo);

    const J_COLOR_SPACE space = session.cinfo.jpeg_color_space;
    session.cmyk = space == JCS_CMYK || space == JCS_YCCK;
    session.adobeInverted = session.cinfo.saw_Adobe_marker != FALSE;
    session.quantize = !session.cmyk && (options.palette || space == JCS_GRAYSCALE);
    if (progress) {
        session.hook = &progress;
        session.cinfo.progress = &session.progress;
    }
    if (!RunProtected(session, StepStart)) session.RaiseFailure();

    const TJpegOutputFormat format = OutputFormat(session.cinfo);
    std::vector<uint8_t> conversionRow(session.cmyk ? static_cast<size_t>(format.width) * 4 : 0);
    session.conversionRow = conversionRow.data();
    session.stride = format.stride;
    session.destination = allocate(format);
    if (session.destination == nullptr) throw EOutOfResources(kOutOfSystemResources);

    const bool completed = RunProtected(session, StepScanlines);
    if (rowsDecoded != nullptr) *rowsDecoded = session.rowsDecoded;
    if (!completed) session.RaiseFailure();
    return session.rowsDecoded;
}

void DecodeJpeg(std::span<const uint8_t> file, const TJpegDecodeOptions& options, TJpegBitmap& bitmap,
                const TJpegProgressHook& progress) {
    bitmap = TJpegBitmap();
    const auto allocate = [&bitmap](const TJpegOutputFormat& format) {
        bitmap.format = format;
        bitmap.pixels.assign(format.ImageBytes(), 0);
        return bitmap.pixels.data();
    };
    DecodeJpegInto(file, options, allocate, progress, &bitmap.rowsDecoded);
}
