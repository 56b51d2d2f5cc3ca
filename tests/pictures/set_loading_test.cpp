// set_loading_test.cpp: the order a description file's images are read in,
// where each is looked for, the first failure's message and the tile size
// of a file that gives none, with a reader that only records.
#include "pictures/set_loading.h"

#include <gtest/gtest.h>

#include "pictures/temp_dir.h"

namespace {

TEST(ReadSetImages, ReadsInTheGamesOrderFromTheFirstReadablePlaceAndStopsAtTheFirstFailure) {
    TempDir data;
    TempDir work;
    WorkingDirectory inside(work.path());
    PictureSet set;
    set.pushed = 1;
    for (int i = 0; i < NUM_COLOURS; ++i) {
        set.default_images[static_cast<std::size_t>(i)].file = "d" + std::to_string(i);
        set.pushed_images[static_cast<std::size_t>(i)].file = "p" + std::to_string(i);
        data.write("d" + std::to_string(i), "");
        data.write("p" + std::to_string(i), "");
    }
    work.write("d0", "");  // readable as written: used from here
    set.background_image.file = "back";
    data.write("back", "");
    set.frame_image.file = "frame";  // nowhere

    // A name found nowhere is read from the data directory, and fails there.
    std::vector<std::string> read;
    const ReadImage record = [&read](const ImageSlot& slot, const std::string& path, ImageSize& size) {
        read.push_back(path);
        size = {slot.state == 0 && slot.colour == 0 ? 7 : 1, 9};
        return std::filesystem::exists(path) ? 0 : -1;
    };
    Messages messages;
    EXPECT_EQ(read_set_images(set, "set.dat", MAX_COLUMNS, MAX_ROWS, data.path().c_str(), record, messages), -1);
    const std::string d = data.path() + "/";
    EXPECT_EQ(read, (std::vector<std::string>{"d0", d + "d1", d + "d2", d + "d3", d + "d4", d + "p0", d + "p1",
                                              d + "p2", d + "p3", d + "p4", d + "back", d + "frame"}));
    EXPECT_EQ(messages, Messages{"Error: can't create pixmap from '" + d + "frame'.\n"});
    EXPECT_EQ(set.tile_width, 7) << "taken from the first default image";
    EXPECT_EQ(set.tile_height, 9);

    // A reader's failure stops the walk there, with the path it was given.
    messages.clear();
    read.clear();
    const ReadImage refuse_third = [&read](const ImageSlot&, const std::string& path, ImageSize&) {
        read.push_back(path);
        return read.size() == 3 ? -1 : 0;
    };
    EXPECT_EQ(read_set_images(set, "set.dat", MAX_COLUMNS, MAX_ROWS, data.path().c_str(), refuse_third, messages), -1);
    EXPECT_EQ(read.size(), 3u);
    EXPECT_EQ(messages, Messages{"Error: can't create pixmap from '" + d + "d2'.\n"});
}

}  // namespace
