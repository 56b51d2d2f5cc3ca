// catalogue_test.cpp: which lines of "clumpout.dat" become entries, and
// which copy of the file is read.
#include "pictures/catalogue.h"

#include <gtest/gtest.h>

#include "base/line_reader.h"
#include "base/report.h"
#include "pictures/temp_dir.h"

namespace {

std::string describe(const std::vector<CatalogEntry>& entries) {
    std::string text;
    for (const CatalogEntry& e : entries) text += e.name + "=" + e.file + (e.disabled ? "!" : "") + ";";
    return text;
}

TEST(Catalogue, EntriesAreTheLinesOfTwoOrMoreWordsInFileOrder) {
    const auto entries = parse_catalogue(
        "# extra tile themes\n"
        "Balls balls.dat\n"
        "\n"
        "Lonely\n"
        "   # Hidden hidden.dat\n"
        "Bricks\t/opt/themes/bricks.bmp  third words ignored\n"
        "Half half.dat# comment right after\n"
        "Last last.dat");
    EXPECT_EQ(describe(entries), "Balls=balls.dat;Bricks=/opt/themes/bricks.bmp;Half=half.dat;Last=last.dat;");
}

TEST(Catalogue, ALongLineIsCutInto255CharacterPieces) {
    // The first piece holds one word only; the rest of the line is an entry.
    const auto entries = parse_catalogue(std::string(255, 'a') + " b c\nx y\n");
    EXPECT_EQ(describe(entries), "b=c;x=y;");
}

TEST(Catalogue, TextWithoutEntriesGivesNone) {
    EXPECT_TRUE(parse_catalogue("").empty());
    EXPECT_TRUE(parse_catalogue("# nothing\none\n\n   \n").empty());
}

class CatalogueFile : public ::testing::Test {
protected:
    TempDir work;
    TempDir data;
    std::vector<CatalogEntry> out{{"kept", "kept.dat", 0}};
};

TEST_F(CatalogueFile, TheCurrentDirectoryShadowsTheDataDirectory) {
    work.write("clumpout.dat", "Here here.dat\n");
    data.write("clumpout.dat", "There there.dat\nMore more.dat\n");
    WorkingDirectory inside(work.path());
    EXPECT_EQ(load_catalogue(out, data.path().c_str()), 1);
    EXPECT_EQ(describe(out), "Here=here.dat;");
}

TEST_F(CatalogueFile, TheDataDirectoryIsReadWhenTheCurrentOneHasNone) {
    data.write("clumpout.dat", "There there.dat\nMore more.dat\n");
    WorkingDirectory inside(work.path());
    EXPECT_EQ(load_catalogue(out, data.path().c_str()), 2);
    EXPECT_EQ(describe(out), "There=there.dat;More=more.dat;");
}

TEST_F(CatalogueFile, AnEmptyLocalCopyStillShadowsAndStoresNothing) {
    work.write("clumpout.dat", "# no entries here\n");
    data.write("clumpout.dat", "There there.dat\n");
    WorkingDirectory inside(work.path());
    EXPECT_EQ(load_catalogue(out, data.path().c_str()), 0);
    EXPECT_EQ(describe(out), "kept=kept.dat;");
}

Messages* caught = nullptr;
void catch_message(std::string_view message) { caught->emplace_back(message); }

TEST_F(CatalogueFile, ACatalogueCutAtTheReadLimitSaysHowManyEntriesWereRead) {
    // 52428 lines of 20 bytes, and a 16-byte comment: exactly the limit.
    std::string text;
    for (int i = 0; i < 52428; ++i) text += format_message("e%06d f%06d.dat\n", i, i);
    text += "# fills it up..\n";
    ASSERT_EQ(text.size(), TEXT_FILE_MAX);
    work.write("clumpout.dat", text);
    WorkingDirectory inside(work.path());
    Messages messages;
    caught = &messages;
    set_report_sink(catch_message);
    EXPECT_EQ(load_catalogue(out, data.path().c_str()), 52428);
    EXPECT_TRUE(messages.empty());

    // Over it, the cut falls inside a line, which must not become an entry
    // with half a file name.
    text.resize(text.size() - 16);
    text += "e052428 f052428.dat\n";
    work.write("clumpout.dat", text);
    EXPECT_EQ(load_catalogue(out, data.path().c_str()), 52428);
    EXPECT_EQ(out.back().file, "f052427.dat");
    set_report_sink(nullptr);
    EXPECT_EQ(messages, (Messages{"Warning: 'clumpout.dat' is too long: only its first 52428 entries were read.\n"}));
}

TEST_F(CatalogueFile, NoFileAnywhereGivesNoEntries) {
    WorkingDirectory inside(work.path());
    EXPECT_EQ(load_catalogue(out, data.path().c_str()), 0);
    EXPECT_EQ(describe(out), "kept=kept.dat;");
}

}  // namespace
