// tile_oracle.cpp: reference tile images made with libXpm on the test's own
// connection, and exact pixel comparison of board cells against them. The
// screen is 24-bit TrueColor, so the XPM colours arrive unchanged.
#include "e2e/tile_oracle.h"

#include <X11/Xutil.h>
#include <X11/xpm.h>

namespace {

Image pixmap_image(Display* d, Pixmap p, int w, int h)
{
    XImage* xi = XGetImage(d, p, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
    Image image;
    if (xi == nullptr) return image;
    image.width = w;
    image.height = h;
    image.pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.pixels[static_cast<size_t>(y) * w + x] = static_cast<std::uint32_t>(XGetPixel(xi, x, y)) & 0xFFFFFFu;
    XDestroyImage(xi);
    return image;
}

int make_image(Display* d, const ImageSource& source, Image& out)
{
    XpmAttributes attributes{};
    attributes.valuemask = XpmSize;
    Pixmap pixmap = None;
    int status;
    if (source.xpm != nullptr)
        status = XpmCreatePixmapFromData(d, DefaultRootWindow(d), const_cast<char**>(source.xpm), &pixmap,
                                         nullptr, &attributes);
    else if (!source.file.empty())
        status = XpmReadFileToPixmap(d, DefaultRootWindow(d), source.file.c_str(), &pixmap, nullptr,
                                     &attributes);
    else
        return -1;
    if (status != XpmSuccess) return -1;
    out = pixmap_image(d, pixmap, static_cast<int>(attributes.width), static_cast<int>(attributes.height));
    XFreePixmap(d, pixmap);
    XpmFreeAttributes(&attributes);
    return out.empty() ? -1 : 0;
}

// A tile image copied into a cell of tile size: the copy takes the tile's
// top-left tile_width x tile_height pixels; what the image lacks stays
// unknown (never equal to a screen pixel).
Image fit(const Image& image, int w, int h) { return image.crop(0, 0, w, h); }

}  // namespace

int TileOracle::build(Display* display, const PictureSet& set)
{
    tile_width_ = set.tile_width;
    tile_height_ = set.tile_height;
    box_ = set.box;
    box_pixel_ = 0xFFFFFF;
    if (set.box && !set.box_color.empty()) {
        XColor screen, exact;
        if (XAllocNamedColor(display, DefaultColormap(display, 0), set.box_color.c_str(), &screen, &exact) &&
            screen.pixel != 0)
            box_pixel_ = static_cast<std::uint32_t>(screen.pixel) & 0xFFFFFFu;
    }
    state_enabled_ = {true, set.selected != 0, set.pushed != 0};
    const std::array<ImageSource, 5>* sources[3] = {&set.default_images, &set.selected_images, &set.pushed_images};
    for (int c = 0; c < 5; ++c) {
        Image raw;
        if (make_image(display, set.default_images[c], raw) != 0) return -1;
        images_[0][c] = fit(raw, tile_width_, tile_height_);
        for (int s = 1; s < 3; ++s) {
            if (!state_enabled_[s]) {
                images_[s][c] = images_[0][c];
                continue;
            }
            if (make_image(display, (*sources[s])[c], raw) != 0) return -1;
            images_[s][c] = fit(raw, tile_width_, tile_height_);
        }
        boxed_[c] = images_[1][c];
        if (box_) {
            Image& b = boxed_[c];
            for (int x = 0; x < tile_width_; ++x) {
                b.pixels[x] = box_pixel_;
                b.pixels[static_cast<size_t>(tile_height_ - 1) * tile_width_ + x] = box_pixel_;
            }
            for (int y = 0; y < tile_height_; ++y) {
                b.pixels[static_cast<size_t>(y) * tile_width_] = box_pixel_;
                b.pixels[static_cast<size_t>(y) * tile_width_ + tile_width_ - 1] = box_pixel_;
            }
        }
    }
    if (make_image(display, set.background_image, background_) != 0) return -1;
    if (make_image(display, set.frame_image, frame_) != 0) return -1;
    return 0;
}

Image TileOracle::tiled(const Image& pattern, int width, int height, int origin_x, int origin_y)
{
    Image out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int px = ((x + origin_x) % pattern.width + pattern.width) % pattern.width;
            int py = ((y + origin_y) % pattern.height + pattern.height) % pattern.height;
            out.pixels[static_cast<size_t>(y) * width + x] = pattern.at(px, py);
        }
    return out;
}

Image TileOracle::expected_cell(int colour, int state, int column, int row) const
{
    if (colour == 0)
        return tiled(background_, tile_width_, tile_height_, column * tile_width_, row * tile_height_);
    if (state == 1) return boxed_[colour - 1];
    return images_[state][colour - 1];
}

bool TileOracle::cell_equals(const Image& board, int column, int row, const Image& tile) const
{
    int x0 = column * tile_width_;
    int y0 = row * tile_height_;
    if (x0 + tile_width_ > board.width || y0 + tile_height_ > board.height) return false;
    for (int y = 0; y < tile_height_; ++y)
        for (int x = 0; x < tile_width_; ++x)
            if (board.at(x0 + x, y0 + y) != tile.at(x, y)) return false;
    return true;
}

bool TileOracle::cell_is_background(const Image& board, int column, int row) const
{
    int x0 = column * tile_width_;
    int y0 = row * tile_height_;
    if (x0 + tile_width_ > board.width || y0 + tile_height_ > board.height) return false;
    for (int y = 0; y < tile_height_; ++y)
        for (int x = 0; x < tile_width_; ++x)
            if (board.at(x0 + x, y0 + y) !=
                background_.at((x0 + x) % background_.width, (y0 + y) % background_.height))
                return false;
    return true;
}

CellLook TileOracle::classify(const Image& board, int column, int row) const
{
    CellLook look;
    if (cell_is_background(board, column, row)) {
        look.colour = 0;
        look.plain = look.pushed = true;  // an empty cell looks the same in every state
        return look;
    }
    for (int c = 0; c < 5; ++c) {
        bool plain = cell_equals(board, column, row, images_[0][c]);
        bool boxed = cell_equals(board, column, row, boxed_[c]);
        bool pushed = cell_equals(board, column, row, images_[2][c]);
        if (plain || boxed || pushed) {
            look.colour = c + 1;
            look.plain = plain;
            look.boxed = boxed;
            look.pushed = pushed;
            return look;
        }
    }
    return look;
}

bool BoardCells::all_known() const
{
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            if (colour[c][r] == -1) return false;
    return true;
}

std::string BoardCells::text() const
{
    std::string s;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            int v = colour[c][r];
            s += v == -2 ? '#' : v < 0 ? '?' : v == 0 ? '.' : static_cast<char>('0' + v);
        }
        s += '\n';
    }
    return s;
}

BoardCells classify_board(const TileOracle& oracle, const Image& board_image, int columns, int rows)
{
    BoardCells cells;
    cells.columns = columns;
    cells.rows = rows;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            cells.look[c][r] = oracle.classify(board_image, c, r);
            cells.colour[c][r] = cells.look[c][r].colour;
        }
    return cells;
}
