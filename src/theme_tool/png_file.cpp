// png_file.cpp: libpng reports failures by longjmp to the setjmp below, so
// nothing with a destructor may live between the two.
#include "theme_tool/png_file.h"

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

#include "base/file_handle.h"

namespace {

// One row of 8-bit red, green, blue per picture row.
std::vector<png_byte> rgb_rows(const RgbImage& image) {
    std::vector<png_byte> bytes(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3);
    std::size_t i = 0;
    for (std::uint32_t pixel : image.pixels) {
        bytes[i++] = static_cast<png_byte>(pixel >> 16);
        bytes[i++] = static_cast<png_byte>(pixel >> 8);
        bytes[i++] = static_cast<png_byte>(pixel);
    }
    return bytes;
}

// Returns 0 or -1; plain C data only, for the sake of longjmp.
int encode(std::FILE* file, png_bytep* rows, png_uint_32 width, png_uint_32 height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return -1;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return -1;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return 0;
}

}  // namespace

int write_png(const RgbImage& image, const std::string& path, std::string& error) {
    if (image.width <= 0 || image.height <= 0) {
        error = "an empty picture cannot be written";
        return -1;
    }
    std::vector<png_byte> bytes = rgb_rows(image);
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    const std::size_t row_bytes = static_cast<std::size_t>(image.width) * 3;
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = bytes.data() + y * row_bytes;
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "can't write '" + path + "': " + std::strerror(errno);
        return -1;
    }
    const auto width = static_cast<png_uint_32>(image.width);
    const auto height = static_cast<png_uint_32>(image.height);
    if (encode(file.get(), rows.data(), width, height) == -1 || std::fflush(file.get()) != 0) {
        error = "can't write '" + path + "'";
        return -1;
    }
    return 0;
}
