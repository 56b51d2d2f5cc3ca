// bmp_sheet_test.cpp: the BMP tile sheet decoder on hand-built sheets (with
// a few bytes set by hand to pin the bit order), on every truncated prefix,
// on every refusal, and on sheets written by ImageMagick's convert.
#include "pictures/bmp_sheet.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "pictures/bmp_sheet_builder.h"
#include "pictures/temp_dir.h"

namespace {

constexpr int SENTINEL_BITS = 99;

BmpSheet untouched_sheet() {
    BmpSheet sheet;
    sheet.bits_per_pixel = SENTINEL_BITS;
    return sheet;
}

struct Decoded {
    int result;
    BmpSheet sheet;
    Messages messages;
};

Decoded decode(const std::vector<std::uint8_t>& bytes) {
    Decoded d{0, untouched_sheet(), {}};
    d.result = decode_bmp_sheet(bytes, "sheet.bmp", d.sheet, d.messages);
    return d;
}

// Number of picture positions whose index differs from `pixel`.
int mismatches(const BmpSheet& sheet, const std::function<int(int, int)>& pixel) {
    int wrong = 0;
    for (int y = 0; y < SHEET_HEIGHT; ++y)
        for (int x = 0; x < SHEET_WIDTH; ++x) wrong += sheet.index_at(x, y) != pixel(x, y);
    return wrong;
}

SheetLayout layout_for(int bits) {
    SheetLayout layout;
    layout.bits = bits;
    layout.palette = numbered_palette(1 << bits);
    const int colours = 1 << bits;
    layout.pixel = [colours](int x, int y) { return (x * 7 + y * 3 + x / 9) % colours; };
    return layout;
}

class DecodeEveryDepth : public ::testing::TestWithParam<int> {};

TEST_P(DecodeEveryDepth, PlacesEveryPixelAndKeepsThePalette) {
    const SheetLayout layout = layout_for(GetParam());
    const Decoded d = decode(build_sheet(layout));
    ASSERT_EQ(d.result, 0);
    EXPECT_TRUE(d.messages.empty());
    EXPECT_EQ(d.sheet.bits_per_pixel, GetParam());
    EXPECT_EQ(d.sheet.colour_count, 1 << GetParam());
    EXPECT_EQ(d.sheet.palette_length, 1 << GetParam());
    EXPECT_EQ(mismatches(d.sheet, layout.pixel), 0);
    const PaletteColour last = d.sheet.palette[static_cast<std::size_t>(d.sheet.palette_length - 1)];
    const PaletteColour want = layout.palette.back();
    EXPECT_EQ((std::array{last.red, last.green, last.blue}), (std::array{want.red, want.green, want.blue}));
}

TEST_P(DecodeEveryDepth, EveryTruncatedFileIsRefusedWithoutATouch) {
    const std::vector<std::uint8_t> bytes = build_sheet(layout_for(GetParam()));
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        const Decoded d = decode(prefix);
        ASSERT_EQ(d.result, -1) << "prefix of " << length;
        ASSERT_EQ(d.sheet.bits_per_pixel, SENTINEL_BITS);
        ASSERT_EQ(d.messages, (Messages{length < 2 ? "Error: not BMP format file 'sheet.bmp'.\n"
                                                   : "Error: not supported data format or size.\n"}))
            << "prefix of " << length;
    }
    EXPECT_EQ(decode(bytes).result, 0);
}

INSTANTIATE_TEST_SUITE_P(Bits, DecodeEveryDepth, ::testing::Values(1, 4, 8));

TEST(BmpSheet, OneBitSheetsPutTheMostSignificantBitLeftmostAndRowsBottomUp) {
    SheetLayout layout;
    layout.bits = 1;
    layout.palette = numbered_palette(2);
    std::vector<std::uint8_t> bytes = build_sheet(layout);
    const std::size_t rows = 14 + 40 + 8;
    bytes[rows + 63 * 24] = 0x80;  // the last row of the file is the top row
    bytes[rows] = 0x01;            // the first row of the file is the bottom row
    const Decoded d = decode(bytes);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.sheet.index_at(0, 0), 1);
    for (int x = 1; x < 8; ++x) EXPECT_EQ(d.sheet.index_at(x, 0), 0) << x;
    EXPECT_EQ(d.sheet.index_at(7, 63), 1);
    EXPECT_EQ(mismatches(d.sheet, [](int x, int y) { return (x == 0 && y == 0) || (x == 7 && y == 63); }), 0);
}

TEST(BmpSheet, FourBitSheetsPutTheHighNibbleLeftmost) {
    SheetLayout layout;
    layout.bits = 4;
    layout.palette = numbered_palette(16);
    std::vector<std::uint8_t> bytes = build_sheet(layout);
    const std::size_t top_row = 14 + 40 + 64 + 63 * 96;
    bytes[top_row] = 0x3c;
    bytes[top_row + 95] = 0xf1;
    const Decoded d = decode(bytes);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.sheet.index_at(0, 0), 3);
    EXPECT_EQ(d.sheet.index_at(1, 0), 12);
    EXPECT_EQ(d.sheet.index_at(190, 0), 15);
    EXPECT_EQ(d.sheet.index_at(191, 0), 1);
}

TEST(BmpSheet, PaletteEntriesAreStoredBlueGreenRed) {
    SheetLayout layout;
    layout.bits = 1;
    layout.palette = {{1, 2, 3}, {4, 5, 6}};
    std::vector<std::uint8_t> bytes = build_sheet(layout);
    EXPECT_EQ(bytes[54], 3);  // blue first in the file
    const Decoded d = decode(bytes);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ((std::array{d.sheet.palette[1].red, d.sheet.palette[1].green, d.sheet.palette[1].blue}),
              (std::array<std::uint8_t, 3>{4, 5, 6}));
}

TEST(BmpSheet, RowsStartAtTheHeaderOffsetOnlyWhenItLiesPastThePalette) {
    SheetLayout layout = layout_for(4);
    layout.gap = 10;  // the offset field says where the rows really are
    EXPECT_EQ(mismatches(decode(build_sheet(layout)).sheet, layout.pixel), 0);

    SheetLayout inside = layout_for(4);
    for (std::int64_t offset : {0, 14, 54, 117}) {
        inside.data_offset = offset;  // inside the headers or the palette: ignored
        const Decoded d = decode(build_sheet(inside));
        ASSERT_EQ(d.result, 0) << offset;
        EXPECT_EQ(mismatches(d.sheet, inside.pixel), 0) << offset;
    }

    SheetLayout beyond = layout_for(4);
    beyond.data_offset = 119;  // one byte too far: the last row is cut short
    EXPECT_EQ(decode(build_sheet(beyond)).messages, (Messages{"Error: not supported data format or size.\n"}));
}

TEST(BmpSheet, ALongerInfoHeaderMovesThePalette) {
    SheetLayout layout = layout_for(8);
    layout.info_size = 124;
    const Decoded d = decode(build_sheet(layout));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.sheet.palette[200].blue, layout.palette[200].blue);
    EXPECT_EQ(mismatches(d.sheet, layout.pixel), 0);
}

TEST(BmpSheet, ColoursUsedShortensThePaletteButNotTheColourCount) {
    SheetLayout layout;
    layout.bits = 8;
    layout.palette = numbered_palette(3);
    layout.colours_used = 3;
    layout.pixel = [](int x, int y) { return (x + y) % 3; };
    const Decoded d = decode(build_sheet(layout));
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.sheet.colour_count, 256);
    EXPECT_EQ(d.sheet.palette_length, 3);
    EXPECT_EQ(mismatches(d.sheet, layout.pixel), 0);

    layout.pixel = [](int x, int y) { return x == 100 && y == 40 ? 3 : 0; };  // one index past the palette
    EXPECT_EQ(decode(build_sheet(layout)).messages, (Messages{"Error: not supported data format or size.\n"}));
}

struct Refusal {
    const char* what;
    std::function<void(SheetLayout&)> change_layout;               // header fields, via the builder
    std::function<void(std::vector<std::uint8_t>&)> change_bytes;  // raw bytes, afterwards
    const char* message;
};

constexpr const char* NOT_BMP = "Error: not BMP format file 'sheet.bmp'.\n";
constexpr const char* UNSUPPORTED = "Error: not supported data format or size.\n";

TEST(BmpSheet, RefusalsLeaveTheSheetUntouched) {
    using Bytes = std::vector<std::uint8_t>;
    const std::vector<Refusal> refusals = {
        {"B then not M", nullptr, [](Bytes& b) { b[1] = 'N'; }, NOT_BMP},
        {"M without B", nullptr, [](Bytes& b) { b[0] = 'b'; }, NOT_BMP},
        {"top-down rows", [](SheetLayout& s) { s.height = -64; }, nullptr, UNSUPPORTED},
        {"191 wide", [](SheetLayout& s) { s.width = 191; }, nullptr, UNSUPPORTED},
        {"65 high", [](SheetLayout& s) { s.height = 65; }, nullptr, UNSUPPORTED},
        {"two planes", [](SheetLayout& s) { s.planes = 2; }, nullptr, UNSUPPORTED},
        {"2 bits", nullptr, [](Bytes& b) { b[28] = 2; }, UNSUPPORTED},
        {"24 bits", nullptr, [](Bytes& b) { b[28] = 24; }, UNSUPPORTED},
        {"0 bits", nullptr, [](Bytes& b) { b[28] = 0; }, UNSUPPORTED},
        {"run-length coded", [](SheetLayout& s) { s.compression = 1; }, nullptr, UNSUPPORTED},
        {"more colours than bits", [](SheetLayout& s) { s.colours_used = 257; }, nullptr, UNSUPPORTED},
        {"huge info header", nullptr, [](Bytes& b) { put_le(b, 14, 0xffffffffu, 4); }, UNSUPPORTED},
        {"huge data offset", nullptr, [](Bytes& b) { put_le(b, 10, 0xfffffff0u, 4); }, UNSUPPORTED},
    };
    for (const Refusal& refusal : refusals) {
        SheetLayout layout = layout_for(8);
        if (refusal.change_layout) refusal.change_layout(layout);
        Bytes bytes = build_sheet(layout);
        if (refusal.change_bytes) refusal.change_bytes(bytes);
        const Decoded d = decode(bytes);
        EXPECT_EQ(d.result, -1) << refusal.what;
        EXPECT_EQ(d.messages, (Messages{refusal.message})) << refusal.what;
        EXPECT_EQ(d.sheet.bits_per_pixel, SENTINEL_BITS) << refusal.what;
    }
}

TEST(BmpSheet, OnlyNamesEndingInDotBmpAfterSomethingAreSheets) {
    EXPECT_TRUE(is_sheet_name("a.bmp"));
    EXPECT_TRUE(is_sheet_name("/opt/themes/bricks.BMP"));
    EXPECT_FALSE(is_sheet_name(".bmp"));
    EXPECT_FALSE(is_sheet_name("x.Bmp"));
    EXPECT_FALSE(is_sheet_name("x.bmp.dat"));
    EXPECT_FALSE(is_sheet_name("bmp"));
}

class BmpSheetFile : public ::testing::Test {
protected:
    TempDir work;
    TempDir data;
    BmpSheet sheet = untouched_sheet();
    Messages messages;

    std::string write_sheet(const TempDir& dir, const std::string& name, int bits) {
        const std::vector<std::uint8_t> bytes = build_sheet(layout_for(bits));
        return dir.write(name, std::string(bytes.begin(), bytes.end()));
    }
};

TEST_F(BmpSheetFile, IsLookedForAsWrittenThenInTheDataDirectory) {
    write_sheet(work, "s.bmp", 1);
    write_sheet(data, "s.bmp", 4);
    write_sheet(data, "only.bmp", 8);
    WorkingDirectory inside(work.path());
    EXPECT_EQ(read_bmp_sheet("s.bmp", data.path().c_str(), sheet, messages), 0);
    EXPECT_EQ(sheet.bits_per_pixel, 1);
    EXPECT_EQ(read_bmp_sheet("only.bmp", data.path().c_str(), sheet, messages), 0);
    EXPECT_EQ(sheet.bits_per_pixel, 8);
    EXPECT_TRUE(messages.empty());
}

TEST_F(BmpSheetFile, MessagesNameTheCatalogueNameOrThePathOpened) {
    data.write("text.bmp", "not a picture");
    EXPECT_EQ(read_bmp_sheet("missing.bmp", data.path().c_str(), sheet, messages), -1);
    EXPECT_EQ(read_bmp_sheet("text.bmp", data.path().c_str(), sheet, messages), -1);
    EXPECT_EQ(messages, (Messages{"Error: can't open BMP file 'missing.bmp'.\n",
                                  "Error: not BMP format file '" + data.file("text.bmp") + "'.\n"}));
    EXPECT_EQ(sheet.bits_per_pixel, SENTINEL_BITS);
}

TEST_F(BmpSheetFile, NamesAndPathsOver1023CharactersAreTooLong) {
    const std::string dir(1000, 'd');
    EXPECT_EQ(read_bmp_sheet(std::string(1024, 'n').c_str(), "/", sheet, messages), -1);
    EXPECT_EQ(read_bmp_sheet(std::string(23, 'n').c_str(), dir.c_str(), sheet, messages), -1);
    EXPECT_EQ(read_bmp_sheet(std::string(22, 'n').c_str(), dir.c_str(), sheet, messages), -1);
    EXPECT_EQ(messages, (Messages{"Error: BMP file name too long.\n", "Error: BMP file name too long.\n",
                                  "Error: can't open BMP file '" + std::string(22, 'n') + "'.\n"}));
}

// Sheets as a paint program would write them: convert chooses 1, 4 or 8
// bits by the number of colours when asked for an uncompressed BMP3.
class ConvertedSheet : public ::testing::Test {
protected:
    TempDir dir;

    std::vector<std::uint8_t> convert(const std::string& drawing, const char* name) {
        const std::string out = dir.file(name);
        const std::string command = "convert -size 192x64 " + drawing +
                                    " -type palette -compress none BMP3:" + out + " >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return {};
        std::ifstream in(out, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static PaletteColour colour_at(const BmpSheet& sheet, int x, int y) {
        return sheet.palette[static_cast<std::size_t>(sheet.index_at(x, y))];
    }
    static bool is(PaletteColour c, int red, int green, int blue) {
        return c.red == red && c.green == green && c.blue == blue;
    }
};

TEST_F(ConvertedSheet, TwoColoursLoadAsOneBitSheets) {
    const auto bytes = convert("xc:white -fill black -draw 'rectangle 32,0 63,31' -draw 'point 191,63'", "b1.bmp");
    if (bytes.empty()) GTEST_SKIP() << "convert is not installed";
    ASSERT_EQ(bytes[28], 1);
    const Decoded d = decode(bytes);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.sheet.colour_count, 2);
    EXPECT_TRUE(is(colour_at(d.sheet, 32, 0), 0, 0, 0));
    EXPECT_TRUE(is(colour_at(d.sheet, 63, 31), 0, 0, 0));
    EXPECT_TRUE(is(colour_at(d.sheet, 64, 0), 255, 255, 255));
    EXPECT_TRUE(is(colour_at(d.sheet, 31, 31), 255, 255, 255));
    EXPECT_TRUE(is(colour_at(d.sheet, 191, 63), 0, 0, 0));
    EXPECT_TRUE(is(colour_at(d.sheet, 190, 63), 255, 255, 255));
}

TEST_F(ConvertedSheet, AFewColoursLoadAsFourBitSheets) {
    const auto bytes = convert("xc:white -fill red -draw 'rectangle 32,0 63,31' -fill blue "
                               "-draw 'rectangle 64,32 95,63' -fill lime -draw 'point 1,0'",
                               "b4.bmp");
    if (bytes.empty()) GTEST_SKIP() << "convert is not installed";
    ASSERT_EQ(bytes[28], 4);
    const Decoded d = decode(bytes);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.sheet.colour_count, 16);
    EXPECT_TRUE(is(colour_at(d.sheet, 0, 0), 255, 255, 255));
    EXPECT_TRUE(is(colour_at(d.sheet, 1, 0), 0, 255, 0));
    EXPECT_TRUE(is(colour_at(d.sheet, 2, 0), 255, 255, 255));
    EXPECT_TRUE(is(colour_at(d.sheet, 40, 10), 255, 0, 0));
    EXPECT_TRUE(is(colour_at(d.sheet, 95, 63), 0, 0, 255));
    EXPECT_TRUE(is(colour_at(d.sheet, 96, 63), 255, 255, 255));
}

TEST_F(ConvertedSheet, ManyColoursLoadAsEightBitSheets) {
    const auto bytes = convert("-define gradient:direction=east gradient:black-white -colors 200", "b8.bmp");
    if (bytes.empty()) GTEST_SKIP() << "convert is not installed";
    ASSERT_EQ(bytes[28], 8);
    const Decoded d = decode(bytes);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.sheet.colour_count, 256);
    // A horizontal ramp: brightness grows from left to right on every row.
    for (int y : {0, 63}) {
        EXPECT_LT(colour_at(d.sheet, 0, y).red, 30);
        EXPECT_GT(colour_at(d.sheet, 191, y).red, 225);
        EXPECT_LT(colour_at(d.sheet, 50, y).red, colour_at(d.sheet, 150, y).red);
    }
}

}  // namespace
