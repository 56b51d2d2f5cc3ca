// picture_choice_test.cpp: the Pictures number read from the settings
// becoming the choice at start-up, and the number saved at exit.
#include "pictures/picture_choice.h"

#include <gtest/gtest.h>

#include "base/report.h"

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

}  // namespace
