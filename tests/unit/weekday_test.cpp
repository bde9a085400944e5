#include <gtest/gtest.h>

#include <algorithm>

#include "wallpaper/wallpaper_change.h"
#include "wallpaper/weekday.h"

TEST(RandomDraw, FollowsTheGeneratorSequence) {
    // From a starting seed, draws of one count: each result and the seed after it, worked out
    // from the generator's step apart from the code. The same seed gives the same sequence.
    const struct {
        uint32_t seed, count;
        std::vector<std::pair<uint32_t, uint32_t>> draws;
    } sequences[] = {
        {0, 7, {{0, 1}, {0, 134775814}, {6, 3698175007}}},
        {42, 1000, {{317, 1365616851}, {877, 3768653856}, {205, 882243745}}},
    };
    for (const auto& sequence : sequences) {
        uint32_t seed = sequence.seed;
        for (const auto& [result, after] : sequence.draws) {
            EXPECT_EQ(RandomDraw(seed, sequence.count), result) << sequence.seed;
            EXPECT_EQ(seed, after) << sequence.seed;
        }
    }
}

TEST(RandomDraw, CountOfOneIsZeroAndStillAdvances) {
    uint32_t seed = 123456789;
    for (int i = 0; i < 5; ++i) {
        const uint32_t before = seed;
        EXPECT_EQ(RandomDraw(seed, 1), 0u);
        EXPECT_NE(seed, before);
    }
}

TEST(DayNumber, AcrossAWeekAndCalendarEdges) {
    // 2026-12-06 is a Sunday.
    for (int d = 0; d < 7; ++d) EXPECT_EQ(DayNumberOfDate(2026, 12, 6 + d), 1 + d) << d;
    EXPECT_EQ(DayNumberOfDate(1, 1, 1), 2);       // a Monday
    EXPECT_EQ(DayNumberOfDate(2000, 2, 29), 3);   // Tuesday
    EXPECT_EQ(DayNumberOfDate(2000, 3, 1), 4);    // Wednesday
    EXPECT_EQ(DayNumberOfDate(1900, 3, 1), 5);    // Thursday: 1900 was not a leap year
    EXPECT_EQ(DayNumberOfDate(2024, 12, 31), 3);  // Tuesday
    EXPECT_EQ(DayNumberOfDate(2025, 1, 1), 4);    // Wednesday
    EXPECT_STREQ(DayNames[1], "Воскресенье");
    EXPECT_STREQ(DayNames[7], "Суббота");
}

namespace {
TWallpaperList Sample() {
    return {{-1, "Понедельник"}, {0, "m1"}, {-1, "Среда"}, {2, "w1"}, {2, "w2"},    {-1, "Среда "},      {5, "x"},
            {-1, "среда"},       {7, "y"},  {-1, "Среда"}, {9, "w3"}, {10, "deep"}, {-1, "Воскресенье"}, {12, "s1"}};
}
}  // namespace

TEST(CandidateScan, MatchesDayNodesByExactText) {
    const TWallpaperList list = Sample();
    EXPECT_EQ(ScanCandidates(list, 4, list.size()), (std::vector<std::string>{"w1", "w2", "w3"}));
    EXPECT_EQ(ScanCandidates(list, 2, list.size()), (std::vector<std::string>{"m1"}));
    EXPECT_EQ(ScanCandidates(list, 1, list.size()), (std::vector<std::string>{"s1"}));
    EXPECT_TRUE(ScanCandidates(list, 3, list.size()).empty());
    EXPECT_TRUE(ScanCandidates({}, 4, 100).empty());
}

TEST(CandidateScan, AnyNodeWhoseParentCarriesTodaysNameIsACandidate) {
    // Top-level nodes never are; a nested node under a node named like today is.
    const TWallpaperList list = {{-1, "Среда"}, {0, "Среда"}, {1, "grandchild"}, {-1, "Среда"}};
    EXPECT_EQ(ScanCandidates(list, 4, list.size()), (std::vector<std::string>{"Среда", "grandchild"}));
}

TEST(CandidateScan, PositionLimitCutsTheScan) {
    const TWallpaperList list = Sample();
    EXPECT_EQ(ScanCandidates(list, 4, 4), (std::vector<std::string>{"w1"}));
    EXPECT_TRUE(ScanCandidates(list, 4, 0).empty());
}

namespace {
// Names of one letter each: "ab" is {"a", "b"}.
std::vector<std::string> Letters(const std::string& letters) {
    std::vector<std::string> names;
    for (const char letter : letters) names.emplace_back(1, letter);
    return names;
}
// A Wednesday (day 4) with the given pictures, and a Thursday with one.
TWallpaperList Wednesday(const std::string& pictures) {
    TWallpaperList list = {{-1, "Среда"}};
    for (const std::string& picture : Letters(pictures)) list.push_back({0, picture});
    list.push_back({-1, "Четверг"});
    list.push_back({static_cast<int>(list.size()) - 1, "thursday"});
    return list;
}
}  // namespace

TEST(ChangeRule, DrawsAmongPicturesThereForEachMonitorAndFallsBackToADefaultThere) {
    // Pictures by letters (b is there, not ready yet); the source's numbers in turn, and the
    // counts it is asked for.
    using enum TWallpaperPlacement;
    const struct {
        const char *Case, *Pictures, *Missing, *Shown, *Default, *Expected;
        size_t Monitors;
        TWallpaperPlacement Placement;
        std::vector<uint32_t> Draws, Counts;
        bool OfToday;
    } cases[] = {
        {"first draw", "abc", "", "", "D", "b", 1, Stretch, {1}, {3}, true},
        {"duplicates counted", "aab", "", "", "D", "a", 1, Stretch, {1}, {3}, true},
        {"missing drawn again", "abc", "b", "", "D", "c", 1, Stretch, {1, 1}, {3, 2}, true},
        {"none there", "ab", "ab", "", "D", "D", 1, Fit, {0, 0}, {2, 1}, false},
        {"default missing too", "a", "aD", "", "D", "", 1, Stretch, {0}, {1}, false},
        {"no pictures, no default", "", "", "", "", "", 1, Stretch, {}, {}, false},
        {"each monitor", "abc", "", "", "", "ca", 2, Fill, {2, 0}, {3, 2}, true},
        {"too few repeat", "ab", "", "", "", "bab", 3, Fill, {1, 0}, {2, 1}, true},
        {"span is one", "ab", "", "", "", "a", 3, Span, {0}, {2}, true},
        {"another than shown", "abc", "", "a", "", "b", 1, Stretch, {0}, {2}, true},
        {"shown alone there", "ab", "b", "a", "", "a", 1, Stretch, {0, 0}, {1, 1}, true},
        {"shown after others", "ab", "", "b", "", "ab", 2, Fill, {0, 0}, {1, 1}, true},
    };
    for (const auto& c : cases) {
        const TChangeRule rule{.Day = 4,
                               .Default = c.Default,
                               .Monitors = c.Monitors,
                               .Placement = c.Placement,
                               .Shown = Letters(c.Shown)};
        size_t next = 0;
        std::vector<uint32_t> counts;
        const TRandomSource random = [&](uint32_t count) {
            counts.push_back(count);
            return next < c.Draws.size() ? c.Draws[next++] : 0;
        };
        const TFileTest test = [&](const std::string& path) {
            const bool missing = std::ranges::count(Letters(c.Missing), path) > 0;
            return missing ? TReadiness::Missing : path == "b" ? TReadiness::NotYet : TReadiness::Readable;
        };
        const TWallpaperChange change = PlanChange(Wednesday(c.Pictures), rule, random, test);
        EXPECT_EQ(change.Pictures, Letters(c.Expected)) << c.Case;
        EXPECT_EQ(change.OfToday, c.OfToday) << c.Case;
        EXPECT_EQ(change.Placement, c.Placement) << c.Case;
        EXPECT_EQ(counts, c.Counts) << c.Case;
    }
}
