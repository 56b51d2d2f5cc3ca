// picture_files_test.cpp: picture sets from description files on a private
// server: every image read into its slot, the tile size taken from the first
// image when the file gives none, images looked for as written before the
// data directory, and failures that leave TileImages as it was.
// GoogleTest first: X defines None as a macro, which its headers use as a name.
#include <gtest/gtest.h>

#include "x11/picture_files.h"

#include <cstdio>
#include <cstring>


#include "x11/private_x_server.h"
#include "pictures/temp_dir.h"
#include "stress/server_resources.h"
#include "x11/tile_images.h"
#include "x11/x_test_support.h"

namespace {

// One colour, width by height.
std::string solid_xpm(int width, int height, Rgb colour) {
    char colour_line[32];
    std::snprintf(colour_line, sizeof colour_line, "\". c #%02X%02X%02X\",\n", colour[0], colour[1], colour[2]);
    std::string text = "/* XPM */\nstatic char *image[] = {\n\"" + std::to_string(width) + " " +
                       std::to_string(height) + " 1 1\",\n" + colour_line;
    for (int y = 0; y < height; ++y) text += "\"" + std::string(static_cast<std::size_t>(width), '.') + "\",\n";
    return text + "};\n";
}

Rgb shade(int n) { return {10 * n, 255 - 10 * n, 3 * n}; }

class PictureFiles : public ::testing::Test {
protected:
    static inline PrivateXServer* server = nullptr;
    static inline Display* display = nullptr;

    static inline Pixmap marker = None;  // tells our client apart in the server's list

    static void SetUpTestSuite() {
        server = new PrivateXServer;
        display = server->start(24);
        if (display != nullptr) marker = XCreatePixmap(display, DefaultRootWindow(display), 1, 1, 24);
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    TempDir work;
    TempDir data;
    Messages messages;

    void SetUp() override {
        if (display == nullptr) GTEST_SKIP() << "no Xvfb";
        use_display(display);
        caught_messages = &messages;
        set_report_sink(catch_message);
        std::memset(&tile_images, 0x5a, sizeof tile_images);
    }
    void TearDown() override {
        set_report_sink(nullptr);
        caught_messages = nullptr;
        board.columns = board.rows = 0;
    }

    // Pixmaps our client holds on the server, as its resource extension
    // counts them.
    long pixmaps() const {
        XSync(display, False);
        const auto client = sample_client(DisplayString(display), marker);
        EXPECT_TRUE(client.has_value()) << "xrestop cannot read the server";
        return client ? client->pixmaps : -1;
    }

    // Images i0..i19 of 24 x 24 in the data directory, each its own shade.
    void write_images(const TempDir& where, int width = 24, int height = 24) {
        for (int i = 0; i < 20; ++i)
            where.write("i" + std::to_string(i) + ".xpm", solid_xpm(width, height, shade(i)));
    }
    int load(const std::string& description, const char* name = "set.dat") {
        data.write(name, description);
        return load_picture_files(name, data.path().c_str());
    }
    Rgb colour_of(Pixmap pixmap) const { return ReadBack(display, pixmap).rgb(5, 5); }
};

constexpr const char* DEFAULTS = "default\ni0.xpm\ni1.xpm\ni2.xpm\ni3.xpm\ni4.xpm\n";
constexpr const char* PUSHED = "pushed\ni10.xpm\ni11.xpm\ni12.xpm\ni13.xpm\ni14.xpm\n";
constexpr const char* BACK_AND_FRAME = "background\ni15.xpm\nframe\ni16.xpm\n";

TEST_F(PictureFiles, EveryImageLandsInItsSlot) {
    write_images(data);
    ASSERT_EQ(load(std::string("width 24\nheight 24\nbox red\n") + DEFAULTS + PUSHED + BACK_AND_FRAME), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(tile_images.tile_width, 24);
    EXPECT_EQ(tile_images.tile_height, 24);
    EXPECT_EQ(tile_images.box, 1);
    EXPECT_EQ(tile_images.box_pixel, 0xff0000u);  // red on a 24-bit TrueColor screen
    EXPECT_EQ((std::array{tile_images.state_enabled[0], tile_images.state_enabled[1], tile_images.state_enabled[2]}),
              (std::array{1, 0, 1}));
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(colour_of(tile_images.images[0][c]), shade(c)) << c;
        EXPECT_EQ(tile_images.images[1][c], 0u) << c;
        EXPECT_EQ(colour_of(tile_images.images[2][c]), shade(10 + c)) << c;
    }
    EXPECT_EQ(colour_of(tile_images.background), shade(15));
    EXPECT_EQ(colour_of(tile_images.frame), shade(16));
}

TEST_F(PictureFiles, AMissingOrZeroTileSizeComesFromTheFirstDefaultImage) {
    write_images(data, 20, 12);
    ASSERT_EQ(load(std::string("height 0\n") + DEFAULTS + BACK_AND_FRAME), 0);
    EXPECT_EQ(tile_images.tile_width, 20);
    EXPECT_EQ(tile_images.tile_height, 12);
    ASSERT_EQ(load(std::string("width 30\n") + DEFAULTS + BACK_AND_FRAME), 0);
    EXPECT_EQ(tile_images.tile_width, 30);
    EXPECT_EQ(tile_images.tile_height, 12);
}

// Per board size, the largest tiles: 15 x 2182 + 32 = 32762 wide, one more
// is 32777; 8 x 4089 + 48 = 32760 high, one more is 32768.
struct LargestTiles {
    int columns;
    int rows;
    int width;
    int height;
};
constexpr LargestTiles LARGEST[] = {
    {15, 8, 2182, 4089}, {20, 10, 1636, 3271}, {25, 15, 1309, 2181}, {30, 20, 1091, 1635}};

TEST_F(PictureFiles, TilesTooLargeForTheBoardAreRefusedAndLeaveNoPixmap) {
    write_images(data);
    const std::string rest = std::string("i1.xpm\ni2.xpm\ni3.xpm\ni4.xpm\n") + BACK_AND_FRAME;
    const TileImages before = tile_images;
    const long held = pixmaps();
    Messages expected;
    for (const LargestTiles& size : LARGEST) {
        board.columns = size.columns;
        board.rows = size.rows;
        const auto refusal = [&size](int width, int height) {
            return format_message("Error: 'set.dat': tiles of %dx%d are too large for a %dx%d board.\n", width,
                                  height, size.columns, size.rows);
        };
        // From the description's keywords, and from the first image's own size.
        EXPECT_EQ(load(format_message("width %d\nheight 24\n", size.width + 1) + DEFAULTS + BACK_AND_FRAME), -1);
        EXPECT_EQ(load(format_message("width 24\nheight %d\n", size.height + 1) + DEFAULTS + BACK_AND_FRAME), -1);
        data.write("wide.xpm", solid_xpm(size.width + 1, 1, shade(1)));
        EXPECT_EQ(load("default\nwide.xpm\n" + rest), -1);
        data.write("tall.xpm", solid_xpm(1, size.height + 1, shade(2)));
        EXPECT_EQ(load("default\ntall.xpm\n" + rest), -1);
        for (const std::string& message : {refusal(size.width + 1, 24), refusal(24, size.height + 1),
                                           refusal(size.width + 1, 1), refusal(1, size.height + 1)})
            expected.push_back(message);
    }
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(std::memcmp(&before, &tile_images, sizeof tile_images), 0);
    EXPECT_EQ(pixmaps(), held);

    // At the limit, both ways, each size loads.
    for (const LargestTiles& size : LARGEST) {
        board.columns = size.columns;
        board.rows = size.rows;
        ASSERT_EQ(load(format_message("width %d\nheight %d\n", size.width, size.height) + DEFAULTS + BACK_AND_FRAME),
                  0);
        free_tile_images();
        data.write("wide.xpm", solid_xpm(size.width, 1, shade(1)));
        ASSERT_EQ(load("default\nwide.xpm\n" + rest), 0);
        EXPECT_EQ(tile_images.tile_width, size.width);
        free_tile_images();
    }
    EXPECT_EQ(messages, expected);
}

TEST_F(PictureFiles, AnImageSideOverSixteenBitsIsRefusedBeforeTheServerSeesIt) {
    // The server refuses 32768, and 65537 would reach it as 1.
    write_images(data);
    data.write("huge.xpm", solid_xpm(32768, 1, shade(3)));
    data.write("wraps.xpm", solid_xpm(65537, 1, shade(4)));
    const long held = pixmaps();
    EXPECT_EQ(load(std::string(DEFAULTS) + "background\nhuge.xpm\nframe\ni16.xpm\n"), -1);
    EXPECT_EQ(load(std::string(DEFAULTS) + "background\ni15.xpm\nframe\nwraps.xpm\n"), -1);
    EXPECT_EQ(messages, (Messages{"Error: can't create pixmap from '" + data.file("huge.xpm") + "'.\n",
                                  "Error: can't create pixmap from '" + data.file("wraps.xpm") + "'.\n"}));
    EXPECT_EQ(pixmaps(), held);
}

TEST_F(PictureFiles, ImagesReadableAsWrittenComeBeforeTheDataDirectory) {
    write_images(data);
    work.write("i0.xpm", solid_xpm(24, 24, {1, 2, 3}));
    work.write("i16.xpm", solid_xpm(24, 24, {4, 5, 6}));
    WorkingDirectory inside(work.path());
    ASSERT_EQ(load(std::string("width 24\nheight 24\n") + DEFAULTS + BACK_AND_FRAME), 0);
    EXPECT_EQ(colour_of(tile_images.images[0][0]), (Rgb{1, 2, 3}));
    EXPECT_EQ(colour_of(tile_images.images[0][1]), shade(1));
    EXPECT_EQ(colour_of(tile_images.background), shade(15));
    EXPECT_EQ(colour_of(tile_images.frame), (Rgb{4, 5, 6}));
}

TEST_F(PictureFiles, FailuresLeaveTileImagesAsTheyWere) {
    write_images(data);
    data.write("broken.xpm", "/* XPM */\nnot really\n");
    const TileImages before = tile_images;
    // No frame line: the empty name is what the message shows.
    EXPECT_EQ(load(std::string("width 24\nheight 24\n") + DEFAULTS + "background\ni15.xpm\n"), -1);
    EXPECT_EQ(load(std::string("selected\ni5.xpm\ni6.xpm\nnope.xpm\ni8.xpm\ni9.xpm\n") + DEFAULTS + BACK_AND_FRAME),
              -1);
    EXPECT_EQ(load(std::string(DEFAULTS) + "background\nbroken.xpm\nframe\ni16.xpm\n"), -1);
    // A name on the keyword's own line names nothing.
    EXPECT_EQ(load(std::string("default i0.xpm\n") + BACK_AND_FRAME), -1);
    EXPECT_EQ(load("width -4\n"), -1);
    EXPECT_EQ(std::memcmp(&before, &tile_images, sizeof tile_images), 0);
    EXPECT_EQ(messages, (Messages{
                            "Error: can't create pixmap from ''.\n",
                            "Error: can't create pixmap from '" + data.file("nope.xpm") + "'.\n",
                            "Error: can't create pixmap from '" + data.file("broken.xpm") + "'.\n",
                            "Warning: 'set.dat': unknown keyword 'default' line 1.\n",
                            "Error: can't create pixmap from ''.\n",
                            "Error: invalid value 'set.dat' line 1.\n",
                        }));
}

TEST_F(PictureFiles, ImagePathsOver1023CharactersAreCutInTheMessage) {
    work.write("set.dat", DEFAULTS);
    WorkingDirectory inside(work.path());
    const std::string long_dir(1100, 'd');
    EXPECT_EQ(load_picture_files("set.dat", long_dir.c_str()), -1);
    const std::string path = (long_dir + "/i0.xpm").substr(0, 1023);
    EXPECT_EQ(messages, (Messages{"Error: can't create pixmap from '" + path + "'.\n"}));
}

TEST_F(PictureFiles, ABoxColourThatIsPixelZeroOrUnknownIsDrawnWhite) {
    write_images(data);
    ASSERT_EQ(load(std::string("box black\n") + DEFAULTS + BACK_AND_FRAME), 0);
    EXPECT_EQ(tile_images.box_pixel, x_display.white_pixel);
    ASSERT_EQ(load(std::string("box no-such-colour\n") + DEFAULTS + BACK_AND_FRAME), 0);
    EXPECT_EQ(tile_images.box_pixel, x_display.white_pixel);
    ASSERT_EQ(load(std::string("box rgb:00/00/ff\n") + DEFAULTS + BACK_AND_FRAME), 0);
    EXPECT_EQ(tile_images.box_pixel, 0x0000ffu);
    EXPECT_TRUE(messages.empty());
    // "#" starts a comment, so a "#rrggbb" colour leaves "box" alone.
    ASSERT_EQ(load(std::string("box #0000ff\n") + DEFAULTS + BACK_AND_FRAME), 0);
    EXPECT_EQ(tile_images.box, 0);
    EXPECT_EQ(messages, (Messages{"Warning: 'set.dat': unknown keyword 'box' line 1.\n"}));
}

TEST_F(PictureFiles, OnlyDotBmpAndDotBMPNamesAreSheets) {
    EXPECT_EQ(load_picture_files("x.BMP", data.path().c_str()), -1);
    EXPECT_EQ(load_picture_files(".bmp", data.path().c_str()), -1);
    EXPECT_EQ(load_picture_files("x.Bmp", data.path().c_str()), -1);
    EXPECT_EQ(messages, (Messages{"Error: can't open BMP file 'x.BMP'.\n", "Error: can't open file '.bmp'.\n",
                                  "Error: can't open file 'x.Bmp'.\n"}));
}

}  // namespace
