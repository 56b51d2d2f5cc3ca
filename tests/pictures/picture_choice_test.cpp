// picture_choice_test.cpp: the Pictures number read from the settings
// becoming the choice at start-up, the number saved at exit, and what
// replaces a set that cannot be made.
#include "pictures/picture_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/report.h"
#include "pictures/catalogue.h"

namespace {

Messages* captured = nullptr;
void capture(std::string_view message) { captured->emplace_back(message); }

class PictureChoice : public ::testing::Test {
protected:
    Messages messages;
    void SetUp() override {
        captured = &messages;
        set_report_sink(capture);
    }
    void TearDown() override { set_report_sink(nullptr); }

    void start(int pictures_number, int entries) {
        picture_index = pictures_number;
        catalogue_index = 7;  // whatever a previous run left
        init_picture_choice(entries);
    }
};

TEST_F(PictureChoice, BuiltInNumbersChooseNoCatalogueEntry) {
    for (int number : {0, 1, 2}) {
        start(number, 4);
        EXPECT_EQ(picture_index, number);
        EXPECT_EQ(catalogue_index, -1);
        EXPECT_EQ(pictures_number(), number);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PictureChoice, CatalogueNumbersWaitBehindTheFallbackSet) {
    start(3, 1);
    EXPECT_EQ(picture_index, 1);
    EXPECT_EQ(catalogue_index, 0);
    start(5, 3);
    EXPECT_EQ(catalogue_index, 2);
    EXPECT_TRUE(messages.empty());
    // Once loaded, the set is saved under its own number again.
    picture_index = -1;
    EXPECT_EQ(pictures_number(), 5);
}

TEST_F(PictureChoice, NumbersPastTheCatalogueWarnAndUseTheFallbackSet) {
    start(4, 1);
    EXPECT_EQ(picture_index, 1);
    EXPECT_EQ(catalogue_index, -1);
    start(3, 0);
    EXPECT_EQ(catalogue_index, -1);
    EXPECT_EQ(pictures_number(), 1);
    EXPECT_EQ(messages, (Messages{"Warning: unknown data file.\n", "Warning: unknown data file.\n"}));
}

TEST_F(PictureChoice, ANegativeNumberNeverIndexesTheBuiltInTable) {
    start(-2, 3);
    EXPECT_EQ(picture_index, 1);
    EXPECT_EQ(catalogue_index, -1);
}

// Loaders that record what they were asked for and fail on request.
std::vector<std::string> asked;
bool builtin_fails = false;
int record_builtin(const PictureSet& set) {
    asked.emplace_back(BUILTIN_SET_NAMES[static_cast<std::size_t>(&set - BUILTIN_SETS)]);
    return builtin_fails && asked.size() == 1 ? -1 : 0;
}
int failing_file(const char* name, const char*) {
    asked.emplace_back(name);
    return -1;
}

TEST_F(PictureChoice, AFailedCatalogueSetIsDisabledAndHeadTakesItsPlace) {
    catalogue = {{"Gems", "gems.dat", 0}};
    asked.clear();
    choose_catalogue_entry(0);
    EXPECT_EQ(load_chosen_set({record_builtin, failing_file}, nullptr), 0);
    EXPECT_EQ(asked, (std::vector<std::string>{"gems.dat", "Head"}));
    EXPECT_EQ(catalogue[0].disabled, 1);
    EXPECT_EQ(pictures_number(), 1);
    catalogue.clear();
}

TEST_F(PictureChoice, AFailedBuiltInSetKeepsItsNumberBehindHead) {
    asked.clear();
    builtin_fails = true;
    choose_builtin(2);
    EXPECT_EQ(load_chosen_set({record_builtin, failing_file}, nullptr), 0);
    builtin_fails = false;
    EXPECT_EQ(asked, (std::vector<std::string>{"Face", "Head"}));
    EXPECT_EQ(pictures_number(), 2);
}

}  // namespace
