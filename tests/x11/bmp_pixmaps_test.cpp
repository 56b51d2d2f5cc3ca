// bmp_pixmaps_test.cpp: BMP tile sheets turned into pixmaps on private
// servers: every tile read back from its place on the sheet, the frames of
// the BMP branch, refusals that leave TileImages alone, and the colour
// fallback on a full 8-bit PseudoColor colormap.
// GoogleTest first: X defines None as a macro, which its headers use as a name.
#include <gtest/gtest.h>

#include "x11/bmp_pixmaps.h"

#include <algorithm>
#include <cstring>
#include <vector>


#include "pictures/bmp_sheet_builder.h"
#include "x11/picture_files.h"
#include "pictures/picture_set.h"
#include "x11/private_x_server.h"
#include "pictures/temp_dir.h"
#include "x11/x_test_support.h"

namespace {

// Whether a loader has put anything into `set`.
bool untouched(const LoadedSet& set) {
    if (set.tile_width != 0 || set.tile_height != 0 || set.box != 0) return false;
    if (set.background.get() != None || set.frame.get() != None) return false;
    for (const auto& state_images : set.images) {
        for (const PixmapHandle& image : state_images) {
            if (image.get() != None) return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> sheet_bytes(int bits, const std::function<int(int, int)>& pixel) {
    SheetLayout layout;
    layout.bits = bits;
    layout.palette = numbered_palette(1 << bits);
    layout.pixel = pixel;
    return build_sheet(layout);
}

Rgb rgb_of(const PaletteColour& c) { return {c.red, c.green, c.blue}; }

// Messages, a scratch folder and an empty set to load into, for a test
// whose server the derived fixture provides.
class LoaderTest : public ::testing::Test {
protected:
    TempDir dir;
    Messages messages;
    LoadedSet images;

    void use(Display* display) {
        use_display(display);
        caught_messages = &messages;
        set_report_sink(catch_message);
    }
    void TearDown() override {
        set_report_sink(nullptr);
        caught_messages = nullptr;
    }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        return dir.write(name, std::string(bytes.begin(), bytes.end()));
    }
};

class SheetOnTrueColor : public LoaderTest {
protected:
    static inline PrivateXServer* server = nullptr;
    static inline Display* display = nullptr;

    static void SetUpTestSuite() {
        server = new PrivateXServer;
        display = server->start(24);
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
        display = nullptr;
    }
    void SetUp() override {
        if (display == nullptr) GTEST_SKIP() << "no Xvfb";
        use(display);
    }
};

// Each tile position of the sheet gets its own palette index, with one
// marked pixel at the tile's top row, second column, to catch flips.
int tile_number_at(int x, int y) {
    if (x % 32 == 1 && y % 32 == 0) return 15;
    return (y / 32) * 6 + x / 32;
}

// The program works out TrueColor pixels itself instead of asking the
// server; every answer must be the very pixel the server would give.
TEST_F(SheetOnTrueColor, ComputedPixelsAreTheServersOwn) {
    const Colormap colormap = DefaultColormap(display, 0);
    for (unsigned value = 0; value <= 0xffff; value += 0x00ff) {
        XColor computed{};
        computed.red = static_cast<unsigned short>(value);
        computed.green = static_cast<unsigned short>(0xffff - value);
        computed.blue = static_cast<unsigned short>((value * 7) & 0xffff);
        computed.flags = DoRed | DoGreen | DoBlue;
        XColor served = computed;
        ASSERT_NE(allocate_colour(display, colormap, &computed), 0);
        ASSERT_NE(XAllocColor(display, colormap, &served), 0);
        EXPECT_EQ(computed.pixel, served.pixel) << "red " << computed.red;
    }
}

TEST_F(SheetOnTrueColor, EveryTileComesFromItsPlaceOnTheSheet) {
    const auto bytes = sheet_bytes(4, tile_number_at);
    write("tiles.bmp", bytes);
    BmpSheet sheet;
    ASSERT_EQ(decode_bmp_sheet(bytes, "", sheet, messages), 0);

    ASSERT_EQ(load_bmp_sheet(display, x_display.colormap, images, "tiles.bmp", dir.path().c_str()), 16);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(images.tile_width, 32);
    EXPECT_EQ(images.tile_height, 32);
    EXPECT_EQ(images.box, 0);
    EXPECT_EQ(images.state_enabled, (std::array{1, 1, 0}));
    EXPECT_EQ(images.images[2][4].get(), None);  // a sheet has no pushed images

    auto expect_tile = [&](Pixmap pixmap, int tile, const char* what) {
        const ReadBack back(display, pixmap);
        ASSERT_EQ(back.width(), 32) << what;
        ASSERT_EQ(back.height(), 32) << what;
        EXPECT_EQ(back.rgb(0, 0), rgb_of(sheet.palette[static_cast<std::size_t>(tile)])) << what;
        EXPECT_EQ(back.rgb(31, 31), rgb_of(sheet.palette[static_cast<std::size_t>(tile)])) << what;
        EXPECT_EQ(back.rgb(1, 0), rgb_of(sheet.palette[15])) << what;
    };
    expect_tile(images.background.get(), 0, "background");
    for (int c = 0; c < 5; ++c) {
        expect_tile(images.images[0][c].get(), 1 + c, "default");
        expect_tile(images.images[1][c].get(), 7 + c, "selected");
    }
}

class SheetDepths : public SheetOnTrueColor, public ::testing::WithParamInterface<int> {};

TEST_P(SheetDepths, TilesHoldExactlyThePixelsOfTheSheet) {
    const int colours = 1 << GetParam();
    const auto bytes = sheet_bytes(GetParam(), [colours](int x, int y) { return (x * 5 + y * 11 + x * y) % colours; });
    write("s.bmp", bytes);
    BmpSheet sheet;
    ASSERT_EQ(decode_bmp_sheet(bytes, "", sheet, messages), 0);
    ASSERT_EQ(load_bmp_sheet(display, x_display.colormap, images, "s.bmp", dir.path().c_str()), colours);

    int wrong = 0;
    for (const SheetTile& tile : SHEET_TILES) {
        const Pixmap pixmap = tile.state < 0 ? images.background.get() : images.images[tile.state][tile.colour].get();
        const ReadBack back(display, pixmap);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                wrong += back.rgb(x, y) !=
                         rgb_of(sheet.palette[static_cast<std::size_t>(sheet.index_at(tile.x + x, tile.y + y))]);
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Bits, SheetDepths, ::testing::Values(1, 4, 8));

TEST_F(SheetOnTrueColor, RefusedSheetsLeaveTileImagesAsTheyWere) {
    auto bytes = sheet_bytes(8, tile_number_at);
    bytes[22] = 65;  // height
    write("tall.bmp", bytes);
    EXPECT_EQ(load_bmp_sheet(display, x_display.colormap, images, "tall.bmp", dir.path().c_str()), -1);
    EXPECT_EQ(load_bmp_sheet(display, x_display.colormap, images, "gone.bmp", dir.path().c_str()), -1);
    EXPECT_TRUE(untouched(images));
    EXPECT_EQ(messages, (Messages{"Error: not supported data format or size.\n",
                                  "Error: can't open BMP file 'gone.bmp'.\n"}));
}

TEST_F(SheetOnTrueColor, TwoColourSheetsGetTheCheckerFrame) {
    write("mono.bmp", sheet_bytes(1, tile_number_at));
    WorkingDirectory inside(dir.path());
    ASSERT_EQ(load_picture_files("mono.bmp", "/nonexistent"), 0);
    const ReadBack frame(display, tile_images.frame);
    ASSERT_EQ(frame.width(), 8);
    ASSERT_EQ(frame.height(), 8);
    int wrong = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool set = FRAME_PATTERN[static_cast<std::size_t>(y)] >> x & 1;
            wrong += frame.pixel(x, y) != (set ? x_display.black_pixel : x_display.white_pixel);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(frame.pixel(7, 0), x_display.black_pixel);  // solid right column
    EXPECT_EQ(frame.pixel(0, 0), x_display.black_pixel);
    EXPECT_EQ(frame.pixel(1, 0), x_display.white_pixel);
}

TEST_F(SheetOnTrueColor, OtherSheetsGetTheMarbleFrame) {
    write("colour.BMP", sheet_bytes(4, tile_number_at));
    ASSERT_EQ(load_picture_files("colour.BMP", dir.path().c_str()), 0);
    Pixmap marble = None;
    ASSERT_EQ(XpmCreatePixmapFromData(display, x_display.root, const_cast<char**>(BUILTIN_SETS[0].frame_image.xpm),
                                      &marble, nullptr, nullptr),
              XpmSuccess);
    const ReadBack want(display, marble);
    const ReadBack got(display, tile_images.frame);
    ASSERT_EQ(got.width(), want.width());
    ASSERT_EQ(got.height(), want.height());
    int wrong = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) wrong += got.pixel(x, y) != want.pixel(x, y);
    EXPECT_EQ(wrong, 0);
    XFreePixmap(display, marble);
}

// An 8-bit PseudoColor screen whose every free cell the test takes, so that
// no colour of a sheet can be allocated.
class SheetOnFullColormap : public LoaderTest {
protected:
    static constexpr Rgb FILLER = {0x41, 0x3f, 0x42};
    static inline PrivateXServer* server8 = nullptr;
    static inline Display* display8 = nullptr;
    static inline std::vector<unsigned long> taken;  // in the order the server gave them

    static void SetUpTestSuite() {
        server8 = new PrivateXServer;
        display8 = server8->start(8);
        if (display8 == nullptr || DefaultVisual(display8, 0)->c_class != PseudoColor) return;
        const Colormap colormap = DefaultColormap(display8, 0);
        unsigned long cell;
        while (XAllocColorCells(display8, colormap, False, nullptr, 0, &cell, 1) != 0) taken.push_back(cell);
        std::sort(taken.begin(), taken.end());
        // An odd gray everywhere, and the same red in the two highest cells.
        std::vector<XColor> colours;
        for (unsigned long pixel : taken) {
            XColor c{};
            c.pixel = pixel;
            c.red = FILLER[0] << 8;
            c.green = FILLER[1] << 8;
            c.blue = FILLER[2] << 8;
            c.flags = DoRed | DoGreen | DoBlue;
            colours.push_back(c);
        }
        for (std::size_t i = colours.size() - 2; i < colours.size(); ++i) {
            colours[i].red = 200 << 8;
            colours[i].green = colours[i].blue = 0;
        }
        XStoreColors(display8, colormap, colours.data(), static_cast<int>(colours.size()));
        XSync(display8, False);
    }
    static void TearDownTestSuite() {
        delete server8;
        server8 = nullptr;
        taken.clear();
    }

    void SetUp() override {
        if (display8 == nullptr || taken.size() < 8) GTEST_SKIP() << "no 8-bit PseudoColor Xvfb";
        use(display8);
    }
};

TEST_F(SheetOnFullColormap, TheWarningPairComesOncePerLoad) {
    SheetLayout layout;
    layout.bits = 4;
    layout.palette = {{201, 0, 0}, {70, 60, 70}, {10, 200, 10}, {0, 0, 0}};
    layout.colours_used = 4;
    layout.pixel = [](int x, int y) { return (x + y) % 4; };
    const auto bytes = build_sheet(layout);
    write("full.bmp", bytes);
    const Messages pair = {"Warning: can't allocate color.\n", "(use similar colors...)\n"};

    ASSERT_EQ(load_bmp_sheet(display8, x_display.colormap, images, "full.bmp", dir.path().c_str()), 16);
    EXPECT_EQ(messages, pair);
    // The red goes to the lower of the two equally near red cells, the
    // gray-ish colour to a gray cell, and black to the server's own black.
    const ReadBack background(display8, images.background.get());
    EXPECT_EQ(background.pixel(0, 0), taken[taken.size() - 2]);
    EXPECT_EQ(background.rgb(1, 0), FILLER);
    EXPECT_EQ(background.rgb(3, 0), (Rgb{0, 0, 0}));

    messages.clear();
    images = LoadedSet{};
    ASSERT_EQ(load_bmp_sheet(display8, x_display.colormap, images, "full.bmp", dir.path().c_str()), 16);
    EXPECT_EQ(messages, pair);
}

TEST_F(SheetOnFullColormap, EachEntryIsMatchedOnceAndTheFirstOfEqualsWins) {
    BmpSheet sheet;
    sheet.palette_length = 2;
    sheet.palette[0] = {199, 0, 0};
    sheet.palette[1] = {0x41, 0x3f, 0x42};
    SheetPalette palette = make_sheet_palette(sheet);
    const unsigned long red = palette_pixel(display8, x_display.colormap, palette, 0);
    EXPECT_EQ(red, taken[taken.size() - 2]);
    // The filler matches exactly; the search stops at the first such cell.
    EXPECT_EQ(palette_pixel(display8, x_display.colormap, palette, 1), taken[0]);
    EXPECT_EQ(messages.size(), 2u);

    // The colormap changes behind the loader's back: a matched entry keeps
    // the cell it was given for the rest of the load.
    XColor changed{};
    changed.pixel = red;
    changed.flags = DoRed | DoGreen | DoBlue;
    XStoreColor(display8, x_display.colormap, &changed);
    EXPECT_EQ(palette_pixel(display8, x_display.colormap, palette, 0), red);
    changed.red = 200 << 8;
    XStoreColor(display8, x_display.colormap, &changed);
    EXPECT_EQ(messages.size(), 2u);
}

}  // namespace
