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
        const char *Case, *Pictures, *Missing;
        size_t Monitors;
        TWallpaperPlacement Placement;
        const char *Shown, *Default;
        std::vector<uint32_t> Draws;
        const char* Expected;
        bool OfToday;
        std::vector<uint32_t> Counts;
    } cases[] = {
        {"first draw", "abc", "", 1, Stretch, "", "D", {1}, "b", true, {3}},
        {"duplicates counted", "aab", "", 1, Stretch, "", "D", {1}, "a", true, {3}},
        {"missing drawn again", "abc", "b", 1, Stretch, "", "D", {1, 1}, "c", true, {3, 2}},
        {"none there", "ab", "ab", 1, Fit, "", "D", {0, 0}, "D", false, {2, 1}},
        {"default missing too", "a", "aD", 1, Stretch, "", "D", {0}, "", false, {1}},
        {"no pictures, no default", "", "", 1, Stretch, "", "", {}, "", false, {}},
        {"each monitor", "abc", "", 2, Fill, "", "", {2, 0}, "ca", true, {3, 2}},
        {"too few repeat", "ab", "", 3, Fill, "", "", {1, 0}, "bab", true, {2, 1}},
        {"span is one", "ab", "", 3, Span, "", "", {0}, "a", true, {2}},
        {"another than shown", "abc", "", 1, Stretch, "a", "", {0}, "b", true, {2}},
        {"shown alone there", "ab", "b", 1, Stretch, "a", "", {0, 0}, "a", true, {1, 1}},
        {"shown after others", "ab", "", 2, Fill, "b", "", {0, 0}, "ab", true, {1, 1}},
    };
    for (const auto& c : cases) {
        TChangeRule rule;
        rule.Day = 4;
        rule.Default = c.Default;
        rule.Monitors = c.Monitors;
        rule.Placement = c.Placement;
        rule.Shown = Letters(c.Shown);
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
