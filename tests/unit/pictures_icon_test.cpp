#include <gtest/gtest.h>

#include <algorithm>

#include "pictures/icon_reader.h"
#include "pictures_test_support.h"

using picture_test::Bytes;
using picture_test::ExpectFailure;
using picture_test::MakeIcon;
using picture_test::TIconEntryLayout;

namespace {

TIconEntryLayout Square(uint8_t side, uint8_t colours = 0) {
    TIconEntryLayout entry;
    entry.width = side;
    entry.height = side;
    entry.colorCount = colours;
    entry.image = Bytes(4, side);  // marks which image was picked
    return entry;
}

const TIconDisplay kTrueColour{32, 32, 32};

}  // namespace

TEST(IconReader, HeaderChecksAtLoad) {
    ExpectFailure([] { ReadIconHeader({}); }, "EReadError", "Stream read error");
    const Bytes five = {0, 0, 1, 0, 1};
    ExpectFailure([&] { ReadIconHeader(five); }, "EReadError", "Stream read error");
    // A cursor file named .ico.
    const Bytes cursor = MakeIcon({Square(32)}, 2);
    ExpectFailure([&] { ReadIconHeader(cursor); }, "EInvalidGraphic", "Icon image is not valid");
    // Only the header is read at load: a directory that is missing does not matter yet.
    const Bytes headerOnly = {0, 0, 1, 0, 3, 0};
    EXPECT_EQ(ReadIconHeader(headerOnly).count, 3);
    EXPECT_EQ(ReadIconHeader(headerOnly).type, 1);
    ExpectFailure([&] { SelectIconImage(headerOnly, kTrueColour); }, "EReadError", "Stream read error");
}

TEST(IconReader, TypeZeroShowsTheStandardApplicationIcon) {
    const Bytes file = MakeIcon({Square(48)}, 0);
    const TIconImage image = SelectIconImage(file, {24, 24, 32});
    EXPECT_TRUE(image.standardApplicationIcon);
    EXPECT_EQ(image.width, 24);
    EXPECT_EQ(image.height, 24);
    EXPECT_TRUE(image.data.empty());
}

TEST(IconReader, ChoosesTheStandardSizeFromSixteenThirtyTwoAndFortyEightInEveryOrder) {
    std::vector<uint8_t> sides = {16, 32, 48};
    do {
        const Bytes file = MakeIcon({Square(sides[0]), Square(sides[1]), Square(sides[2])});
        const TIconImage image = SelectIconImage(file, kTrueColour);
        EXPECT_EQ(image.width, 32) << int(sides[0]) << "," << int(sides[1]) << "," << int(sides[2]);
        EXPECT_EQ(image.height, 32);
        ASSERT_EQ(image.data.size(), 4u);
        EXPECT_EQ(image.data[0], 32);
        EXPECT_EQ(sides[image.index], 32);
    } while (std::next_permutation(sides.begin(), sides.end()));
}

TEST(IconReader, BetweenSixteenAndFortyEightTheSmallerWinsInEitherOrder) {
    for (const auto& order : {std::vector<uint8_t>{16, 48}, std::vector<uint8_t>{48, 16}}) {
        const Bytes file = MakeIcon({Square(order[0]), Square(order[1])});
        EXPECT_EQ(SelectIconImage(file, kTrueColour).width, 16) << int(order[0]);
    }
    // Larger images approach from above: 64 then 48 moves to 48, 48 then 64 stays.
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(64), Square(48)}), kTrueColour).width, 48);
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(48), Square(64)}), kTrueColour).width, 48);
    // A single image is chosen whatever its size; its size is what the icon reports then.
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(48)}), kTrueColour).width, 48);
    // Another standard size moves the choice.
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(16), Square(32), Square(48)}), {48, 48, 32}).width, 48);
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(48), Square(32), Square(16)}), {16, 16, 32}).width, 16);
}

TEST(IconReader, ColourCountsNeverGoDownAndStayWithinTheDisplay) {
    // 256 colours (byte 0) first, 16 second: the first stays whatever the sizes.
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(48, 0), Square(32, 16)}), kTrueColour).index, 0u);
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(16, 0), Square(32, 16)}), kTrueColour).index, 0u);
    // 16 colours first, 256 second: the second replaces it when its size is as good.
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(32, 16), Square(32, 0)}), kTrueColour).index, 1u);
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(32, 2), Square(32, 16)}), kTrueColour).index, 1u);
    // On a 256-colour display an image of unlimited colours cannot replace the choice, one
    // of 255 can; on a 16-colour display neither can.
    const TIconDisplay eightBits{32, 32, 8};
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(32, 16), Square(32, 0)}), eightBits).index, 0u);
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(32, 16), Square(32, 255)}), eightBits).index, 1u);
    const TIconDisplay fourBits{32, 32, 4};
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(32, 2), Square(32, 255)}), fourBits).index, 0u);
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(48, 2), Square(32, 16)}), fourBits).index, 1u);
    // The first image is the start of the choice even when it has too many colours.
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(48, 0), Square(32, 16)}), fourBits).index, 0u);
    // Equal entries: ties go to the later one.
    EXPECT_EQ(SelectIconImage(MakeIcon({Square(32, 16), Square(32, 16), Square(32, 16)}), kTrueColour).index, 2u);
}

TEST(IconReader, WidthAndHeightAreWeighedSeparately) {
    TIconEntryLayout wide = Square(32);
    wide.height = 16;
    TIconEntryLayout tall = Square(16);
    tall.height = 32;
    // Neither is at least as good as the other in both directions: the first stays.
    EXPECT_EQ(SelectIconImage(MakeIcon({wide, tall}), kTrueColour).index, 0u);
    EXPECT_EQ(SelectIconImage(MakeIcon({tall, wide}), kTrueColour).index, 0u);
    const TIconImage image = SelectIconImage(MakeIcon({wide, Square(32)}), kTrueColour);
    EXPECT_EQ(image.index, 1u);
    EXPECT_EQ(image.height, 32);
}

TEST(IconReader, NoImagesOrAChosenImageOutsideTheFileIsNotValid) {
    const Bytes none = MakeIcon({});
    ExpectFailure([&] { SelectIconImage(none, kTrueColour); }, "EInvalidGraphic", "Icon image is not valid");

    Bytes outside = MakeIcon({Square(16), Square(32)});
    outside.pop_back();  // the 32 x 32 image, the last one, now ends past the file
    ExpectFailure([&] { SelectIconImage(outside, kTrueColour); }, "EInvalidGraphic", "Icon image is not valid");
    Bytes farOffset = MakeIcon({Square(32)});
    farOffset[6 + 12] = 0xFF;  // offset 0xFFxx...: far past the end
    farOffset[6 + 15] = 0xFF;
    ExpectFailure([&] { SelectIconImage(farOffset, kTrueColour); }, "EInvalidGraphic", "Icon image is not valid");
    // An image that is not chosen may lie outside the file.
    Bytes otherOutside = MakeIcon({Square(32), Square(16)});
    otherOutside.pop_back();
    EXPECT_EQ(SelectIconImage(otherOutside, kTrueColour).width, 32);

    // A directory cut short is a read error.
    const Bytes two = MakeIcon({Square(16), Square(32)});
    const Bytes cut(two.begin(), two.begin() + 6 + 20);
    ExpectFailure([&] { SelectIconImage(cut, kTrueColour); }, "EReadError", "Stream read error");
}

TEST(IconReader, TheChosenImageIsHandedOnFromItsOffset) {
    const Bytes file = MakeIcon({Square(16), Square(32)});
    const TIconImage image = SelectIconImage(file, kTrueColour);
    EXPECT_EQ(image.data.data(), file.data() + 6 + 2 * 16 + 4);
    EXPECT_EQ(image.data.size(), 4u);
    const auto entries = ReadIconDirectory(file);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].imageOffset, 6u + 32u + 4u);
    EXPECT_EQ(entries[1].bytesInRes, 4u);
    EXPECT_EQ(entries[1].planes, 1);
    EXPECT_EQ(entries[1].bitCount, 32);
}

TEST(IconReader, AnImageStatingASizeBeyondTheLimitIsRefusedAtLoad) {
    // A 32 x 32 entry whose bitmap header states 30000 x 30000 (its height doubled for the
    // mask), or whose PNG header states 20000 x 20000: refused as an icon the system cannot
    // build, whether or not the drawing would choose it, before the system is asked to build
    // it at that size.
    const auto bitmapImage = [](int32_t width, int32_t height) {
        picture_test::TWriter w;
        w.U32(40).I32(width).I32(height).U16(1).U16(32).U32(0).U32(0).Fill(16, 0);
        return w.bytes;
    };
    const auto pngImage = [](uint32_t width, uint32_t height) {
        Bytes image = {137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
        for (const uint32_t side : {width, height})
            for (int shift = 24; shift >= 0; shift -= 8) image.push_back(static_cast<uint8_t>(side >> shift));
        return image;
    };
    const auto entry = [](Bytes image) {
        TIconEntryLayout layout;
        layout.image = std::move(image);
        return layout;
    };
    for (const Bytes& image : {bitmapImage(30000, 60000), bitmapImage(30000, -60000), bitmapImage(16384, 32770),
                               pngImage(20000, 20000), pngImage(16385, 16384)}) {
        for (const Bytes& file : {MakeIcon({entry(image)}), MakeIcon({entry(image), entry(bitmapImage(32, 64))})})
            ExpectFailure([&] { CheckIconImageSizes(file); }, "EOutOfResources", "Out of system resources");
    }
    // Up to the limit (2^28 pixels), and for images too short to state a size, the icon loads.
    for (const Bytes& image : {bitmapImage(16384, 32768), pngImage(16384, 16384), Bytes(11, 0xFF)})
        EXPECT_NO_THROW(CheckIconImageSizes(MakeIcon({entry(image)})));
    // A core header states 16-bit sides.
    picture_test::TWriter core;
    core.U32(12).U16(640).U16(960).U16(1).U16(24);
    const TIconImageSize own = IconImageOwnSize(core.bytes);
    EXPECT_EQ(own.width, 640u);
    EXPECT_EQ(own.height, 480u);
}
