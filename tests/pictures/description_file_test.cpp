// description_file_test.cpp: the description file parser, fed text directly,
// and its lookup of the file as written and under the data directory.
// Messages are compared byte for byte, line numbers included.
#include "pictures/description_file.h"

#include <string>

#include <gtest/gtest.h>

#include "pictures/temp_dir.h"

namespace {

struct Parsed {
    int result;
    PictureSet set;
    Messages messages;
};

Parsed parse(std::string_view text, PictureSet set = {}) {
    Parsed parsed{0, std::move(set), {}};
    parsed.result = parse_picture_text(text, "balls.dat", parsed.set, parsed.messages);
    return parsed;
}

std::string names(const std::array<ImageSource, 5>& sources) {
    std::string joined;
    for (const ImageSource& source : sources) joined += source.file + ",";
    return joined;
}

constexpr std::string_view FULL_EXAMPLE =
    "# Balls, 24 pixels\n"
    "width 24\n"
    "height 24\n"
    "box yellow\n"
    "default\n"
    "r.xpm\ng.xpm\nb.xpm\ny.xpm\nm.xpm\n"
    "selected\n"
    "rs.xpm\ngs.xpm\nbs.xpm\nys.xpm\nms.xpm\n"
    "background\n"
    "bg.xpm\n"
    "frame\n"
    "fr.xpm\n";

TEST(DescriptionFile, ReadsEveryKeywordOfAFullFile) {
    const Parsed p = parse(FULL_EXAMPLE);
    EXPECT_EQ(p.result, 0);
    EXPECT_TRUE(p.messages.empty());
    EXPECT_EQ(p.set.tile_width, 24);
    EXPECT_EQ(p.set.tile_height, 24);
    EXPECT_EQ(p.set.box, 1);
    EXPECT_EQ(p.set.box_color, "yellow");
    EXPECT_EQ(p.set.selected, 1);
    EXPECT_EQ(p.set.pushed, 0);
    EXPECT_EQ(names(p.set.default_images), "r.xpm,g.xpm,b.xpm,y.xpm,m.xpm,");
    EXPECT_EQ(names(p.set.selected_images), "rs.xpm,gs.xpm,bs.xpm,ys.xpm,ms.xpm,");
    EXPECT_EQ(names(p.set.pushed_images), ",,,,,");
    EXPECT_EQ(p.set.background_image.file, "bg.xpm");
    EXPECT_EQ(p.set.frame_image.file, "fr.xpm");
    EXPECT_EQ(p.set.frame_image.xpm, nullptr);
}

TEST(DescriptionFile, KeywordsFoldCaseButValuesKeepIt) {
    const Parsed p = parse("WIDTH 24\nHeIgHt 30\nBOX Yellow\nFRAME\nMy.XPM\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_TRUE(p.messages.empty());
    EXPECT_EQ(p.set.tile_width, 24);
    EXPECT_EQ(p.set.tile_height, 30);
    EXPECT_EQ(p.set.box_color, "Yellow");
    EXPECT_EQ(p.set.frame_image.file, "My.XPM");
}

TEST(DescriptionFile, WrongWordCountsAndLongerWordsAreUnknownKeywords) {
    const Parsed p = parse("Widths 24\n\nBOX\ndefault r.xpm\nwidth 5\nframes\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.messages, (Messages{
                              "Warning: 'balls.dat': unknown keyword 'widths' line 1.\n",
                              "Warning: 'balls.dat': unknown keyword 'box' line 3.\n",
                              "Warning: 'balls.dat': unknown keyword 'default' line 4.\n",
                              "Warning: 'balls.dat': unknown keyword 'frames' line 6.\n",
                          }));
    EXPECT_EQ(p.set.box, 0);
    EXPECT_EQ(p.set.tile_width, 5);
    EXPECT_EQ(names(p.set.default_images), ",,,,,");
}

TEST(DescriptionFile, CommentsAreCutAndCommentLinesStillCount) {
    const Parsed p = parse("# only a comment\n   # indented comment\nframe # the frame\n\n"
                           "fr.xpm # with a note\nbogus\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.set.frame_image.file, "fr.xpm");
    EXPECT_EQ(p.messages, (Messages{"Warning: 'balls.dat': unknown keyword 'bogus' line 6.\n"}));
}

TEST(DescriptionFile, BytesFrom0x80AreBlankButDeleteIsNot) {
    // Compared as signed chars, 0x80..0xFF are below 0x21 like spaces.
    const Parsed p = parse("\x80\xff \t\x01\nframe\n\xc3\xa9\nfr.xpm\n\x7f\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.set.frame_image.file, "fr.xpm");
    EXPECT_EQ(p.messages, (Messages{"Warning: 'balls.dat': unknown keyword '\x7f' line 5.\n"}));
}

TEST(DescriptionFile, ALineOf300CharactersIsReadAsTwoLines) {
    const std::string long_line(300, 'x');
    const Parsed p = parse(long_line + "\nwidth -1\n");
    EXPECT_EQ(p.result, -1);
    EXPECT_EQ(p.messages, (Messages{
                              "Warning: 'balls.dat': unknown keyword '" + std::string(255, 'x') + "' line 1.\n",
                              "Warning: 'balls.dat': unknown keyword '" + std::string(45, 'x') + "' line 2.\n",
                              "Error: invalid value 'balls.dat' line 3.\n",
                          }));
}

TEST(DescriptionFile, NumbersAreReadLikeAtoi) {
    EXPECT_EQ(parse("width abc\n").set.tile_width, 0);
    EXPECT_TRUE(parse("width abc\n").messages.empty());
    EXPECT_EQ(parse("width 12px\n").set.tile_width, 12);
    EXPECT_EQ(parse("width +7\n").set.tile_width, 7);
    EXPECT_EQ(parse("width 0\n").set.tile_width, 0);
    EXPECT_EQ(parse("height -0\n").result, 0);
}

TEST(DescriptionFile, NegativeOrOversizedSidesAreInvalidValues) {
    const Parsed negative = parse("# sizes\nheight 20\nwidth -24\nframe\nfr.xpm\n");
    EXPECT_EQ(negative.result, -1);
    EXPECT_EQ(negative.messages, (Messages{"Error: invalid value 'balls.dat' line 3.\n"}));

    // Wider than an X pixmap can be: the window sizes would overflow.
    const Parsed huge = parse("width 99999999999999999999\n");
    EXPECT_EQ(huge.result, -1);
    EXPECT_EQ(huge.messages, (Messages{"Error: invalid value 'balls.dat' line 1.\n"}));
    EXPECT_EQ(parse("height 32767\n").set.tile_height, 32767);
    EXPECT_EQ(parse("height 32768\n").result, -1);
}

TEST(DescriptionFile, EndOfFileWhileNamesAreAwaitedReportsTheLastLineRead) {
    const Parsed p = parse("default\nr.xpm\n# comment\ng.xpm\n\nb.xpm\n\n");
    EXPECT_EQ(p.result, -1);
    EXPECT_EQ(p.messages, (Messages{"Error: invalid value 'balls.dat' line 7.\n"}));

    const Parsed no_newline = parse("frame");
    EXPECT_EQ(no_newline.messages, (Messages{"Error: invalid value 'balls.dat' line 1.\n"}));
}

TEST(DescriptionFile, NameLinesTakeTheirFirstWordWhateverItSays) {
    const Parsed p = parse("pushed\nwidth 40\n\n  box   red\nframe\nd.xpm e.xpm\ndefault\n");
    EXPECT_EQ(p.result, 0);
    EXPECT_TRUE(p.messages.empty());
    EXPECT_EQ(p.set.pushed, 1);
    EXPECT_EQ(p.set.selected, 0);
    EXPECT_EQ(names(p.set.pushed_images), "width,box,frame,d.xpm,default,");
    EXPECT_EQ(p.set.tile_width, 0);
    EXPECT_EQ(p.set.box, 0);
}

TEST(DescriptionFile, ALaterKeywordReplacesTheEarlierValue) {
    const Parsed p = parse("width 10\nwidth 20\nbox red\nbox blue\nframe\na.xpm\nframe\nb.xpm\n");
    EXPECT_EQ(p.set.tile_width, 20);
    EXPECT_EQ(p.set.box_color, "blue");
    EXPECT_EQ(p.set.frame_image.file, "b.xpm");
}

TEST(DescriptionFile, ClearsTheSetButKeepsTheTileSizeWhenNoneIsGiven) {
    PictureSet old;
    old.box = 1;
    old.box_color = "red";
    old.selected = 1;
    old.selected_images[2].file = "old.xpm";
    old.tile_width = 17;
    old.tile_height = 19;
    const Parsed p = parse("height 30\n", old);
    EXPECT_EQ(p.set.box, 0);
    EXPECT_EQ(p.set.box_color, "");
    EXPECT_EQ(p.set.selected, 0);
    EXPECT_FALSE(p.set.selected_images[2].present());
    EXPECT_EQ(p.set.tile_width, 17);
    EXPECT_EQ(p.set.tile_height, 30);
}

class DescriptionFileLookup : public ::testing::Test {
protected:
    TempDir work;
    TempDir data;
};

TEST_F(DescriptionFileLookup, TheCurrentDirectoryComesBeforeTheDataDirectory) {
    work.write("set.dat", "width 11\n");
    data.write("set.dat", "width 22\n");
    data.write("only_data.dat", "width 33\n");
    WorkingDirectory inside(work.path());
    PictureSet set;
    Messages messages;
    EXPECT_EQ(parse_picture_file(set, "set.dat", data.path().c_str(), messages), 0);
    EXPECT_EQ(set.tile_width, 11);
    EXPECT_EQ(parse_picture_file(set, "only_data.dat", data.path().c_str(), messages), 0);
    EXPECT_EQ(set.tile_width, 33);
    EXPECT_EQ(parse_picture_file(set, work.file("set.dat").c_str(), "/nonexistent", messages), 0);
    EXPECT_EQ(set.tile_width, 11);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DescriptionFileLookup, MessagesNameTheFileAsTheCatalogueGivesIt) {
    data.write("themes/bad.dat", "width -3\n");
    PictureSet set;
    Messages messages;
    EXPECT_EQ(parse_picture_file(set, "themes/bad.dat", data.path().c_str(), messages), -1);
    EXPECT_EQ(parse_picture_file(set, "missing.dat", data.path().c_str(), messages), -1);
    EXPECT_EQ(messages, (Messages{"Error: invalid value 'themes/bad.dat' line 1.\n",
                                  "Error: can't open file 'missing.dat'.\n"}));
}

TEST_F(DescriptionFileLookup, ADataDirectoryPathOver1023CharactersIsTooLong) {
    PictureSet set;
    Messages messages;
    const std::string dir(1000, 'd');
    const std::string fits(1023 - dir.size() - 1, 'n');  // exactly 1023 characters in all
    EXPECT_EQ(parse_picture_file(set, fits.c_str(), dir.c_str(), messages), -1);
    EXPECT_EQ(parse_picture_file(set, (fits + "n").c_str(), dir.c_str(), messages), -1);
    EXPECT_EQ(messages, (Messages{"Error: can't open file '" + fits + "'.\n", "Error: data file name too long.\n"}));
}

}  // namespace
