// The JPEG graphic's progress reports to its picture's owner while it decodes, computed from
// libjpeg's counters and a millisecond clock that the caller reads (GetTickCount):
// - once at the start: 0 %, no redraw asked;
// - then at most once every 500 ms, measured from the first check, which only records the
//   time: the percentage done, only when it changed since the last report, with the band of
//   rows decoded since then, and an immediate redraw asked when that band is 4 rows or more;
// - once at the end: 100 %, or 0 % after an error, with a redraw asked only when the decoded
//   palette changed.
#pragma once

#include <cstdint>
#include <optional>

#include "pictures/jpeg_reader.h"

struct TJpegProgressReport {
    int percent = 0;
    int bandTop = 0;  // rows [bandTop, bandBottom) of the output, full width
    int bandBottom = 0;
    bool redrawNow = false;
};

// trunc((pass counter / pass limit + completed passes) x 100 / total passes); a pass limit or
// total of 0 counts the fraction or the whole as 0.
int JpegProgressPercent(const TJpegProgress& progress);

class TJpegProgressThrottle {
public:
    static constexpr uint32_t kIntervalMs = 500;

    TJpegProgressReport Start();
    // Called from the decoder's progress hook with the current tick count.
    std::optional<TJpegProgressReport> Check(const TJpegProgress& progress, uint32_t nowMs);
    TJpegProgressReport Finish(bool failed, bool paletteChanged, int rowsDecoded);

private:
    bool timed_ = false;
    uint32_t lastTime_ = 0;
    int lastPercent_ = 0;
    int lastRow_ = 0;
};
