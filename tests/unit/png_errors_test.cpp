// Every failure of the PNG codec, from files made to have it: the kind and the message text.
#include "png/png_errors.h"

#include <gtest/gtest.h>

#include <string>

#include "png/png_image.h"
#include "../support/libpng_files.h"

using namespace png_test;

namespace {

// A 4 x 3 grey picture, 8 bits, each row filtered with None.
Bytes GreyRows(uint32_t width = 4, uint32_t height = 3, uint8_t filter = 0) {
    Bytes raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(filter);
        for (uint32_t x = 0; x < width; ++x) raw.push_back(uint8_t(x * 10 + y));
    }
    return raw;
}

Bytes Ihdr(uint32_t width = 4, uint32_t height = 3, uint8_t bitDepth = 8, uint8_t colourType = 0,
           uint8_t compression = 0, uint8_t filter = 0, uint8_t interlace = 0) {
    return Chunk("IHDR", HeaderData(width, height, bitDepth, colourType, compression, filter, interlace));
}

Bytes Idat(const Bytes& raw = GreyRows()) { return Chunk("IDAT", Deflate(raw)); }
Bytes Iend() { return Chunk("IEND", {}); }
Bytes Valid() { return Concat({Signature(), Ihdr(), Idat(), Iend()}); }

template <class TKind>
void ExpectFailure(const Bytes& file, const char* className, const std::string& message) {
    try {
        TPngImage::Decode(file.data(), file.size());
        ADD_FAILURE() << "decoded without failure; expected " << className;
    } catch (const EPNGError& e) {
        EXPECT_NE(dynamic_cast<const TKind*>(&e), nullptr) << "raised " << e.ClassName();
        EXPECT_STREQ(e.ClassName(), className);
        EXPECT_EQ(e.Message(), message);
        EXPECT_NE(dynamic_cast<const EInvalidGraphic*>(&e), nullptr);
    }
}

const char kInvalidFileHeader[] =
    "The file being readed is not a valid \"Portable Network Graphics\" image because it contains an invalid "
    "header. This file may be corruped, try obtaining it again.";
const char kUnexpectedEnd[] =
    "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end of the "
    "file.";
const char kIhdrNotFirst[] =
    "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n(IHDR chunk is not "
    "the "
    "first)";
const char kUnknownCritical[] =
    "This \"Portable Network Graphics\" image contains an unknown critical part which could not be decoded.";
const char kNoImageData[] = "This \"Portable Network Graphics\" image contains no data.";
const char kInvalidCrc[] =
    "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of data (crc "
    "error)";
const char kInvalidIhdr[] =
    "The \"Portable Network Graphics\" image could not be loaded because one of its main piece of data "
    "(ihdr) "
    "might be corrupted";
const char kSizeExceeds[] =
    "This \"Portable Network Graphics\" image is not supported because either it's width or height exceeds "
    "the "
    "maximum size, which is 65535 pixels length.";
const char kUnknownCompression[] =
    "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme which could not "
    "be "
    "decoded.";
const char kUnknownInterlace[] =
    "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be decoded.";
const char kInvalidPalette[] = "The \"Portable Network Graphics\" image contains an invalid palette.";
const char kMissingParts[] = "This \"Portable Network Graphics\" image is invalid because it has missing image parts.";
const char kZlibPrefix[] =
    "Could not decompress the image because it contains invalid compressed data.\r\n Description: ";
const char kOutMemory[] =
    "Some operation could not be performed because the system is out of resources. Close some windows and "
    "try "
    "again.";

TEST(PngErrors, TheValidBaseFileDecodes) {
    const Bytes file = Valid();
    const TPngImage image = TPngImage::Decode(file.data(), file.size());
    EXPECT_EQ(image.Width(), 4u);
    EXPECT_EQ(image.Height(), 3u);
    EXPECT_EQ(image.Pixel(3, 2), 0xFF202020u);  // grey 32
}

TEST(PngErrors, WrongSignature) {
    Bytes file = Valid();
    file[1] = 'Q';
    ExpectFailure<EPNGInvalidFileHeader>(file, "EPNGInvalidFileHeader", kInvalidFileHeader);
    ExpectFailure<EPNGInvalidFileHeader>({}, "EPNGInvalidFileHeader", kInvalidFileHeader);
    const Bytes signature = Signature();
    ExpectFailure<EPNGInvalidFileHeader>(Bytes(signature.begin(), signature.begin() + 7), "EPNGInvalidFileHeader",
                                         kInvalidFileHeader);
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
    ExpectFailure<EPNGInvalidFileHeader>(gif, "EPNGInvalidFileHeader", kInvalidFileHeader);
}

TEST(PngErrors, FileEndsBeforeIend) {
    ExpectFailure<EPngUnexpectedEnd>(Concat({Signature(), Ihdr(), Idat()}), "EPngUnexpectedEnd", kUnexpectedEnd);
    ExpectFailure<EPngUnexpectedEnd>(Signature(), "EPngUnexpectedEnd", kUnexpectedEnd);
    const Bytes valid = Valid();
    // Cut inside the IDAT chunk, inside the IEND chunk's CRC, inside a length field.
    for (size_t cut : {size_t{40}, valid.size() - 1, size_t{10}})
        ExpectFailure<EPngUnexpectedEnd>(Bytes(valid.begin(), valid.begin() + cut), "EPngUnexpectedEnd",
                                         kUnexpectedEnd);
    // A length beyond the end of the file.
    Bytes huge = Concat({Signature(), Ihdr(), Idat(), Iend()});
    huge[33] = 0x7F;
    ExpectFailure<EPngUnexpectedEnd>(huge, "EPngUnexpectedEnd", kUnexpectedEnd);
}

TEST(PngErrors, FirstChunkNotIhdr) {
    const Bytes gamma = Chunk("gAMA", {0, 0, 0xAF, 0xC8});
    ExpectFailure<EPNGIHDRNotFirst>(Concat({Signature(), gamma, Ihdr(), Idat(), Iend()}), "EPNGIHDRNotFirst",
                                    kIhdrNotFirst);
    ExpectFailure<EPNGIHDRNotFirst>(Concat({Signature(), Idat(), Iend()}), "EPNGIHDRNotFirst", kIhdrNotFirst);
}

TEST(PngErrors, UnknownCriticalChunkFailsUnknownAncillaryIsSkipped) {
    ExpectFailure<EPNGUnknownCriticalChunk>(Concat({Signature(), Ihdr(), Chunk("HUGE", {1, 2}), Idat(), Iend()}),
                                            "EPNGUnknownCriticalChunk", kUnknownCritical);
    ExpectFailure<EPNGUnknownCriticalChunk>(Concat({Signature(), Ihdr(), Idat(), Chunk("IDOT", {}), Iend()}),
                                            "EPNGUnknownCriticalChunk", kUnknownCritical);
    const Bytes ancillary = Concat(
        {Signature(), Ihdr(), Chunk("tEXt", {'a', 0, 'b'}), Chunk("hUGE", {1}), Idat(), Chunk("zzzz", {}), Iend()});
    EXPECT_EQ(TPngImage::Decode(ancillary.data(), ancillary.size()).Pixel(1, 0), 0xFF0A0A0Au);
}

TEST(PngErrors, NoImageData) {
    ExpectFailure<EPNGNoImageData>(Concat({Signature(), Ihdr(), Iend()}), "EPNGNoImageData", kNoImageData);
    ExpectFailure<EPNGNoImageData>(Concat({Signature(), Ihdr(), Chunk("tEXt", {'a', 0}), Iend()}), "EPNGNoImageData",
                                   kNoImageData);
}

TEST(PngErrors, WrongCrcInAnyChunk) {
    const Bytes valid = Valid();
    // A data byte of IDAT, the CRC of IHDR, the type of IEND.
    for (size_t at : {size_t{45}, size_t{30}, valid.size() - 6}) {
        Bytes file = valid;
        file[at] ^= 0x01;
        ExpectFailure<EPngInvalidCRC>(file, "EPngInvalidCRC", kInvalidCrc);
    }
    Bytes ancillary = Concat({Signature(), Ihdr(), Chunk("tEXt", {'a', 0, 'b'}), Idat(), Iend()});
    ancillary[33 + 8] ^= 0x40;
    ExpectFailure<EPngInvalidCRC>(ancillary, "EPngInvalidCRC", kInvalidCrc);
}

TEST(PngErrors, InvalidHeaderChunk) {
    const Bytes fields = HeaderData(4, 3, 8, 0);
    const Bytes cases[] = {
        Chunk("IHDR", Bytes(fields.begin(), fields.end() - 1)),  // 12 bytes
        Ihdr(0, 3),                                              // zero width
        Ihdr(4, 0),                                              // zero height
        Ihdr(4, 3, 3, 0),                                        // depth 3
        Ihdr(4, 3, 16, 3),                                       // palette of 16 bits
        Ihdr(4, 3, 4, 2),                                        // RGB of 4 bits
        Ihdr(4, 3, 8, 5),                                        // colour type 5
        Ihdr(4, 3, 8, 0, 0, 1),                                  // filter method 1
    };
    for (const Bytes& header : cases)
        ExpectFailure<EPngInvalidIHDR>(Concat({Signature(), header, Idat(), Iend()}), "EPngInvalidIHDR", kInvalidIhdr);
    ExpectFailure<EPngInvalidIHDR>(Concat({Signature(), Ihdr(), Idat(), Ihdr(), Iend()}), "EPngInvalidIHDR",
                                   kInvalidIhdr);
}

TEST(PngErrors, SizeAbove65535) {
    for (auto [width, height] : {std::pair<uint32_t, uint32_t>{65536, 3}, {4, 65536}, {0x80000000u, 1}})
        ExpectFailure<EPNGSizeExceeds>(Concat({Signature(), Ihdr(width, height), Idat(), Iend()}), "EPNGSizeExceeds",
                                       kSizeExceeds);
    const Bytes edge = Concat({Signature(), Ihdr(65535, 1), Idat(GreyRows(65535, 1)), Iend()});
    EXPECT_EQ(TPngImage::Decode(edge.data(), edge.size()).Width(), 65535u);
}

TEST(PngErrors, UnknownCompressionAndInterlace) {
    ExpectFailure<EPNGUnknownCompression>(Concat({Signature(), Ihdr(4, 3, 8, 0, 1), Idat(), Iend()}),
                                          "EPNGUnknownCompression", kUnknownCompression);
    ExpectFailure<EPNGUnknownInterlace>(Concat({Signature(), Ihdr(4, 3, 8, 0, 0, 0, 2), Idat(), Iend()}),
                                        "EPNGUnknownInterlace", kUnknownInterlace);
}

TEST(PngErrors, HeaderFailuresAlsoFromTheHeaderRead) {
    const Bytes file = Concat({Signature(), Ihdr(70000, 3), Idat(), Iend()});
    EXPECT_THROW(TPngImage::ReadHeader(file.data(), file.size()), EPNGSizeExceeds);
    const Bytes notFirst = Concat({Signature(), Idat(), Iend()});
    EXPECT_THROW(TPngImage::ReadHeader(notFirst.data(), notFirst.size()), EPNGIHDRNotFirst);
    // The header read stops after IHDR: a broken later chunk does not concern it.
    Bytes later = Valid();
    later[45] ^= 1;
    EXPECT_EQ(TPngImage::ReadHeader(later.data(), later.size()).height, 3u);
}

TEST(PngErrors, InvalidPalette) {
    const Bytes indices = GreyRows();  // indices 0..32, within a 64-entry palette
    const Bytes palette64 = Chunk("PLTE", Bytes(64 * 3, 7));
    const Bytes cases[] = {
        Concat({Signature(), Ihdr(4, 3, 8, 3), Idat(indices), Iend()}),                              // none
        Concat({Signature(), Ihdr(4, 3, 8, 3), Chunk("PLTE", Bytes(7, 1)), Idat(indices), Iend()}),  // 7 bytes
        Concat({Signature(), Ihdr(4, 3, 8, 3), Chunk("PLTE", {}), Idat(indices), Iend()}),           // empty
        Concat({Signature(), Ihdr(4, 3, 8, 3), Chunk("PLTE", Bytes(257 * 3, 1)), Idat(indices), Iend()}),
        Concat({Signature(), Ihdr(4, 3, 8, 0), palette64, Idat(), Iend()}),                    // grey files take none
        Concat({Signature(), Ihdr(4, 3, 8, 3), palette64, palette64, Idat(indices), Iend()}),  // two
        Concat({Signature(), Ihdr(4, 3, 8, 3), Chunk("tRNS", {1, 2}), palette64, Idat(indices), Iend()}),
        Concat({Signature(), Ihdr(4, 3, 8, 3), palette64, Chunk("tRNS", Bytes(257, 1)), Idat(indices), Iend()}),
        Concat({Signature(), Ihdr(4, 3, 8, 2), Chunk("tRNS", Bytes(258, 1)), Idat(GreyRows(12, 3)), Iend()}),
        Concat({Signature(), Ihdr(4, 3, 8, 3), Idat(indices), palette64, Iend()}),  // after the data
    };
    for (const Bytes& file : cases) ExpectFailure<EPNGInvalidPalette>(file, "EPNGInvalidPalette", kInvalidPalette);
    // Four entries are too many for a palette of 1-bit indices.
    Bytes oneBit;
    for (int y = 0; y < 3; ++y) oneBit.insert(oneBit.end(), {0, 0xA0});
    ExpectFailure<EPNGInvalidPalette>(
        Concat({Signature(), Ihdr(4, 3, 1, 3), Chunk("PLTE", Bytes(12, 1)), Idat(oneBit), Iend()}),
        "EPNGInvalidPalette", kInvalidPalette);
    const Bytes fine = Concat({Signature(), Ihdr(4, 3, 1, 3), Chunk("PLTE", {1, 2, 3, 4, 5, 6}), Idat(oneBit), Iend()});
    EXPECT_EQ(TPngImage::Decode(fine.data(), fine.size()).Pixel(0, 0),
              0xFF040506u);  // entry 1: R 4, G 5, B 6
}

TEST(PngErrors, ImageDataEndsEarly) {
    const Bytes rows = GreyRows();
    // The zlib stream ends (properly) after two of three rows.
    ExpectFailure<EPNGMissingMultipleIDAT>(
        Concat({Signature(), Ihdr(), Idat(Bytes(rows.begin(), rows.end() - 5)), Iend()}), "EPNGMissingMultipleIDAT",
        kMissingParts);
    // The zlib stream itself is cut: its end is missing, spread over two IDAT chunks.
    const Bytes stream = Deflate(GreyRows(200, 50));
    const Bytes first(stream.begin(), stream.begin() + stream.size() / 3);
    const Bytes second(stream.begin() + stream.size() / 3, stream.begin() + stream.size() / 2);
    ExpectFailure<EPNGMissingMultipleIDAT>(
        Concat({Signature(), Ihdr(200, 50), Chunk("IDAT", first), Chunk("IDAT", second), Iend()}),
        "EPNGMissingMultipleIDAT", kMissingParts);
    // Far too little data for the declared size is refused before decoding.
    ExpectFailure<EPNGMissingMultipleIDAT>(Concat({Signature(), Ihdr(16384, 16384, 16, 6), Idat(), Iend()}),
                                           "EPNGMissingMultipleIDAT", kMissingParts);
    const Bytes whole = Concat({Signature(), Ihdr(200, 50), Chunk("IDAT", first),
                                Chunk("IDAT", Bytes(stream.begin() + stream.size() / 3, stream.end())), Iend()});
    EXPECT_EQ(TPngImage::Decode(whole.data(), whole.size()).Pixel(199, 49),
              0xFF000000u | 0x010101u * uint8_t(199 * 10 + 49));
}

TEST(PngErrors, CompressedDataRejected) {
    ExpectFailure<EPNGZLIBError>(Concat({Signature(), Ihdr(), Chunk("IDAT", {0x12, 0x34, 0x56, 0x78}), Iend()}),
                                 "EPNGZLIBError", std::string(kZlibPrefix) + "incorrect header check");
    Bytes stream = Deflate(GreyRows());
    stream[2] = 0xFF;  // a block of reserved type 3
    ExpectFailure<EPNGZLIBError>(Concat({Signature(), Ihdr(), Chunk("IDAT", stream), Iend()}), "EPNGZLIBError",
                                 std::string(kZlibPrefix) + "invalid block type");
    // A wrong Adler-32 at the end of the stream: in a stream that holds just the rows, and in one
    // whose 1 MiB of rows end 60000 bytes before its trailer (the rows fill the windows the
    // rows are inflated into, so only the check after the last row reaches the trailer).
    const auto file = [](uint32_t height, size_t tail, bool wrongChecksum) {
        Bytes raw = GreyRows(1023, height);
        raw.resize(raw.size() + tail, 0);
        Bytes data = Deflate(raw);
        if (wrongChecksum) data.back() ^= 0x01;
        return Concat({Signature(), Ihdr(1023, height), Chunk("IDAT", data), Iend()});
    };
    for (const Bytes& wrong : {file(3, 0, true), file(1024, 60000, true)})
        ExpectFailure<EPNGZLIBError>(wrong, "EPNGZLIBError", std::string(kZlibPrefix) + "incorrect data check");
    // With its right checksum the long stream decodes; one going on far beyond that is taken
    // as ended, its checksum not checked.
    for (const Bytes& taken : {file(1024, 60000, false), file(3, 1000000, false), file(3, 1000000, true)})
        EXPECT_EQ(TPngImage::Decode(taken.data(), taken.size()).Pixel(3, 2), 0xFF202020u);
    // A filter type above 4 is rejected the same way.
    ExpectFailure<EPNGZLIBError>(Concat({Signature(), Ihdr(), Idat(GreyRows(4, 3, 5)), Iend()}), "EPNGZLIBError",
                                 std::string(kZlibPrefix) + "invalid filter type");
}

TEST(PngErrors, PictureAboveThePixelLimitIsRefusedAsOutOfMemory) {
    // A small file whose data really inflates to 20000 x 14000 pixels of 1 bit (35 MB of
    // rows): refused before the 1.1 GB picture is allocated.
    const Bytes rows(size_t{20000 / 8 + 1} * 14000, 0);
    const Bytes small = Concat({Signature(), Ihdr(20000, 14000, 1, 0), Idat(rows), Iend()});
    ASSERT_LT(small.size(), 100000u);
    ExpectFailure<EPNGOutMemory>(small, "EPNGOutMemory", kOutMemory);
    // The limit is 2^28 pixels, whatever the data: one row more than 16384 x 16384 is refused,
    // 16384 x 16384 itself passes it (and then lacks its data).
    ExpectFailure<EPNGOutMemory>(Concat({Signature(), Ihdr(16384, 16385, 1, 0), Idat(), Iend()}), "EPNGOutMemory",
                                 kOutMemory);
    ExpectFailure<EPNGOutMemory>(Concat({Signature(), Ihdr(65535, 65535, 16, 6), Idat(), Iend()}), "EPNGOutMemory",
                                 kOutMemory);
    ExpectFailure<EPNGMissingMultipleIDAT>(Concat({Signature(), Ihdr(16384, 16384, 1, 0), Idat(), Iend()}),
                                           "EPNGMissingMultipleIDAT", kMissingParts);
}

}  // namespace
