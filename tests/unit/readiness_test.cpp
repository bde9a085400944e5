#include <gtest/gtest.h>

#include <tuple>

#include "base/readiness.h"

TEST(ReadinessAfterFailure, WaitsForHeldNetworkAndCloudFilesAndNotForLocalOnesThatAreGone) {
    // The error, whether the path is a network one, and the readiness.
    const std::tuple<uint32_t, bool, TReadiness> rows[] = {
        {2, false, TReadiness::Missing},   // file not found
        {2, true, TReadiness::Missing},    // the share answered: no such file
        {3, false, TReadiness::Missing},   // path not found on a local disk
        {3, true, TReadiness::NotYet},     // the share or the drive does not answer yet
        {5, true, TReadiness::Missing},    // access denied
        {32, false, TReadiness::NotYet},   // held open without sharing
        {21, false, TReadiness::NotYet},   // not ready
        {64, true, TReadiness::NotYet},    // network name deleted
        {67, false, TReadiness::NotYet},   // bad network name
        {393, false, TReadiness::NotYet},  // the cloud's request aborted, cancelled, timed out
        {398, false, TReadiness::NotYet}, {426, false, TReadiness::NotYet},
        {1232, true, TReadiness::NotYet},  // host unreachable
    };
    for (const auto& [error, network, readiness] : rows)
        EXPECT_EQ(ReadinessAfterFailure(error, network), readiness) << error;
}

TEST(IsUncPath, SharesButNotDevicesOrDrives) {
    for (const char* path : {"\\\\host\\share\\day.jpg", "//host/share/a.bmp", "\\\\?\\UNC\\host\\share\\a.bmp"})
        EXPECT_TRUE(IsUncPath(path)) << path;
    for (const char* path : {"C:\\day.jpg", "\\day.jpg", "\\\\?\\C:\\day.jpg", "\\\\.\\pipe\\x", "\\\\", "\\\\\\x"})
        EXPECT_FALSE(IsUncPath(path)) << path;
}
