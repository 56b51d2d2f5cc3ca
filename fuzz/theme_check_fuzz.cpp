// theme_check_fuzz.cpp: mutated picture sets checked by clumpout-theme and
// decided by the game's own loading steps (the description file parser,
// read_set_images, the sheet decoder) with the tool's image reader in the
// place of the X one: the verdict, the messages and the report must agree,
// and preview and vision must draw whatever loads. The input is a sheet
// ("S" and its bytes), or a description file, a 0x01 byte and the XPM file
// that every image name "a.xpm" of the description reads.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>  // mkdtemp

#include "pictures/bmp_sheet.h"
#include "pictures/description_file.h"
#include "pictures/set_loading.h"
#include "theme_tool/preview.h"
#include "theme_tool/theme_check.h"
#include "theme_tool/vision.h"
#include "theme_tool/xpm_pictures.h"

namespace {

// Bigger XPM images are not read, bigger tiles not drawn: they would only
// spend the fuzzer's time and memory.
constexpr long MAX_AREA = 1 << 16;
constexpr long MAX_DRAWN_AREA = 4096;
constexpr long MAX_SIMULATED_AREA = 256;  // vision costs some thousand operations a pixel

const std::string& work_dir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/theme-check-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        return std::string(pattern);
    }();
    return dir;
}

void write(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The XPM values line's size, when it can be found.
long declared_area(std::string_view xpm) {
    const std::size_t quote = xpm.find('"');
    if (quote == std::string_view::npos) return 0;
    const std::string values(xpm.substr(quote + 1, 64));
    long width = 0, height = 0;
    if (std::sscanf(values.c_str(), "%ld %ld", &width, &height) != 2) return 0;
    return width * height;
}

// The game's load, step by step, as x11/picture_files.cpp takes it.
int game_decision(const char* name, const char* data_dir, const ColourDatabase& database, Messages& messages) {
    if (is_sheet_name(name)) {
        BmpSheet sheet;
        return read_bmp_sheet(name, data_dir, sheet, messages);
    }
    PictureSet set;
    if (parse_picture_file(set, name, data_dir, messages) == -1) return -1;
    const ReadImage read = [&database](const ImageSlot&, const std::string& path, ImageSize& size) {
        RgbImage image;
        Messages notes;
        if (read_xpm_file(path, database, image, notes) == -1) return -1;
        size = {image.width, image.height};
        return 0;
    };
    return read_set_images(set, name, MAX_COLUMNS, MAX_ROWS, data_dir, read, messages);
}

}  // namespace

// libXpm's colour parser loses the names read so far when a colour line is
// broken; the leak is the library's, in the game as here.
extern "C" const char* __lsan_default_suppressions() { return "leak:libXpm.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ColourDatabase database =
        ColourDatabase::parse("255 0 0\t\tred\n0 0 255 navy blue\n255 255 0 yellow\n");
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The files are found under the data directory; libFuzzer keeps the
    // current one for its own files.
    const std::string& dir = work_dir();
    std::string name;
    if (input.starts_with("S")) {
        name = "set.bmp";
        write(dir + "/" + name, input.substr(1));
    } else {
        const std::size_t split = input.find('\x01');
        const std::string_view xpm = split == std::string_view::npos ? "" : input.substr(split + 1);
        if (declared_area(xpm) > MAX_AREA) return 0;
        name = "set.dat";
        write(dir + "/" + name, input.substr(0, split));
        write(dir + "/a.xpm", xpm);
    }

    Messages messages;
    const int game = game_decision(name.c_str(), dir.c_str(), database, messages);
    const SetCheck check = check_set({name, name, -1}, dir.c_str(), database);
    if (check.result != game || check.findings.messages != messages) std::abort();
    std::string expected;
    for (const std::string& message : messages) expected += message;
    expected += (game == 0 ? "ok " : "FAILED ") + name + ": ";
    if (!check_report(check).starts_with(expected)) std::abort();

    const SetPictures& set = check.pictures;
    if (game == 0 && static_cast<long>(set.tile_width) * set.tile_height <= MAX_DRAWN_AREA) {
        const RgbImage preview = render_preview(set);
        if (preview.width != 5 * set.tile_width + 32 || preview.height != 3 * set.tile_height + 32) std::abort();
        if (static_cast<long>(set.tile_width) * set.tile_height <= MAX_SIMULATED_AREA) {
            std::array<RgbImage, NUM_COLOURS> tiles;
            for (int colour = 1; colour <= NUM_COLOURS; ++colour)
                tiles[static_cast<std::size_t>(colour - 1)] = render_cell(set, colour, TILE_DEFAULT, 0, 0);
            (void)vision_table(tiles);
        }
    }
    return 0;
}
