#include "pictures/jpeg_progress.h"

int JpegProgressPercent(const TJpegProgress& progress) {
    if (progress.totalPasses <= 0) return 0;
    const double fraction = progress.passLimit > 0
                                ? static_cast<double>(progress.passCounter) / static_cast<double>(progress.passLimit)
                                : 0.0;
    return static_cast<int>((fraction + progress.completedPasses) * 100.0 / progress.totalPasses);
}

TJpegProgressReport TJpegProgressThrottle::Start() {
    *this = TJpegProgressThrottle();
    return {};
}

std::optional<TJpegProgressReport> TJpegProgressThrottle::Check(const TJpegProgress& progress, uint32_t nowMs) {
    if (!timed_) {
        timed_ = true;
        lastTime_ = nowMs;
        return std::nullopt;
    }
    if (nowMs - lastTime_ < kIntervalMs) return std::nullopt;
    lastTime_ = nowMs;
    const int percent = JpegProgressPercent(progress);
    if (percent == lastPercent_) return std::nullopt;
    TJpegProgressReport report{percent, lastRow_, progress.rowsDecoded, progress.rowsDecoded - lastRow_ >= 4};
    lastPercent_ = percent;
    lastRow_ = progress.rowsDecoded;
    return report;
}

TJpegProgressReport TJpegProgressThrottle::Finish(bool failed, bool paletteChanged, int rowsDecoded) {
    TJpegProgressReport report{failed ? 0 : 100, lastRow_, rowsDecoded, paletteChanged};
    lastPercent_ = report.percent;
    lastRow_ = rowsDecoded;
    return report;
}
