// xpm_pictures.cpp: libXpm parses, this file resolves the colours. For each
// colour libXpm tries the keys from the screen's own ("c" on a colour
// screen) down to "g", "g4" and "m", and takes the first that it can make;
// only a colour none of whose keys can be made fails the image. "None" is
// drawn with pixel 0, which is black on a TrueColor screen.
#include "theme_tool/xpm_pictures.h"

#include <X11/xpm.h>
#include <array>
#include <optional>
#include <strings.h>
#include <vector>

#include "pictures/picture_limits.h"
#include "pictures/xpm_values.h"

namespace {

struct XpmImageHolder {
    XpmImage image{};
    bool filled = false;
    ~XpmImageHolder() {
        if (filled) XpmFreeXpmImage(&image);
    }
};

const char* status_text(int status) {
    switch (status) {
    case XpmOpenFailed: return "cannot be opened";
    case XpmFileInvalid: return "is not a valid XPM file";
    case XpmNoMemory: return "is too big to read";
    default: return "cannot be read";
    }
}

// The pixels of `image`, or -1 with a note when a colour cannot be made.
int resolve(const XpmImage& image, const char* name, const ColourDatabase& database, RgbImage& out,
            Messages& notes) {
    // X makes no pixmap without pixels.
    if (image.width == 0 || image.height == 0) {
        notes.push_back(format_message("%s has no pixels", name));
        return -1;
    }
    std::vector<std::uint32_t> pixels(image.ncolors);
    for (unsigned i = 0; i < image.ncolors; ++i) {
        const XpmColor& colour = image.colorTable[i];
        // The order libXpm tries the keys in on a colour screen.
        const std::array<const char*, 4> keys = {colour.c_color, colour.g_color, colour.g4_color, colour.m_color};
        const std::array<const char*, 4> key_names = {"c", "g", "g4", "m"};
        std::optional<std::uint32_t> pixel;
        for (std::size_t k = 0; k < keys.size() && !pixel; ++k) {
            if (keys[k] == nullptr) continue;
            if (strcasecmp(keys[k], "None") == 0) {
                notes.push_back(format_message("%s: colour '%s' (transparent) is drawn black", name, keys[k]));
                pixel = BLACK_PIXEL;
            } else if (const std::optional<Rgb16> rgb = parse_colour(keys[k], database)) {
                pixel = truecolor_pixel(*rgb);
            } else {
                notes.push_back(format_message("%s: colour '%s' (key %s) is not in the colour database", name,
                                               keys[k], key_names[k]));
            }
        }
        if (!pixel) return -1;
        pixels[i] = *pixel;
    }
    RgbImage result(static_cast<int>(image.width), static_cast<int>(image.height));
    for (std::size_t p = 0; p < result.pixels.size(); ++p) {
        const unsigned index = image.data[p];
        // libXpm's parser only stores indexes of the colour table.
        result.pixels[p] = index < pixels.size() ? pixels[index] : BLACK_PIXEL;
    }
    out = std::move(result);
    return 0;
}

}  // namespace

int read_xpm_file(const std::string& path, const ColourDatabase& database, RgbImage& out, Messages& notes) {
    XpmImageHolder holder;
    // The game's own check before libXpm reads a file (x_display.cpp).
    const int status = xpm_file_fits(path.c_str()) ? XpmReadFileToXpmImage(path.c_str(), &holder.image, nullptr)
                                                   : XpmFileInvalid;
    if (status != XpmSuccess) {
        notes.push_back(format_message("%s %s", path.c_str(), status_text(status)));
        return -1;
    }
    holder.filled = true;
    if (!pixmap_size_fits(holder.image.width, holder.image.height)) {
        notes.push_back(format_message("%s is %ux%u pixels, more than X can carry", path.c_str(), holder.image.width,
                                       holder.image.height));
        return -1;
    }
    return resolve(holder.image, path.c_str(), database, out, notes);
}

int decode_xpm_rows(const char* const* rows, const char* name, const ColourDatabase& database, RgbImage& out,
                    Messages& notes) {
    XpmImageHolder holder;
    // libXpm's prototype is not const-correct; it only reads the rows.
    const int status = XpmCreateXpmImageFromData(const_cast<char**>(rows), &holder.image, nullptr);
    if (status != XpmSuccess) {
        notes.push_back(format_message("%s %s", name, status_text(status)));
        return -1;
    }
    holder.filled = true;
    return resolve(holder.image, name, database, out, notes);
}
