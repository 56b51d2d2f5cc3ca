// text_render.h: the expected look of the program's text windows (status
// line, buttons, menus, panel), drawn by us with the same font into a pixmap
// of our own and read back, so a window can be compared pixel for pixel
// without reading glyphs.
#pragma once

#include "e2e/driver.h"

#include <string>
#include <vector>

struct DrawOp {
    enum Kind { IMAGE_TEXT, TEXT, LINE, RECTANGLE } kind;
    int x = 0;
    int y = 0;
    std::string text;         // texts
    int x2 = 0;               // LINE: end point; RECTANGLE: width, height
    int y2 = 0;
    unsigned long foreground = 0;
    unsigned long background = 0;  // IMAGE_TEXT only
};

class TextRenderer {
public:
    TextRenderer() = default;
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Loads "7x14" and the three named colours. Returns 0 or -1.
    int open(Display* display);
    unsigned long black() const { return black_; }
    unsigned long white() const { return white_; }
    unsigned long gray() const { return gray_; }

    // A width x height area cleared to `fill`, then the operations in order.
    Image render(int width, int height, const std::vector<DrawOp>& ops, unsigned long fill) const;
    Image render(int width, int height, const std::vector<DrawOp>& ops) const { return render(width, height, ops, white_); }

    DrawOp image_text(int x, int y, const std::string& text) const { return {DrawOp::IMAGE_TEXT, x, y, text, 0, 0, black_, white_}; }
    DrawOp inverted_text(int x, int y, const std::string& text) const { return {DrawOp::IMAGE_TEXT, x, y, text, 0, 0, white_, black_}; }
    DrawOp gray_text(int x, int y, const std::string& text) const { return {DrawOp::IMAGE_TEXT, x, y, text, 0, 0, gray_, white_}; }
    DrawOp text(int x, int y, const std::string& t) const { return {DrawOp::TEXT, x, y, t, 0, 0, black_, white_}; }
    DrawOp line(int x1, int y1, int x2, int y2) const { return {DrawOp::LINE, x1, y1, "", x2, y2, black_, white_}; }
    DrawOp rectangle(int x, int y, int w, int h) const { return {DrawOp::RECTANGLE, x, y, "", w, h, black_, white_}; }

private:
    Display* display_ = nullptr;
    Font font_ = None;
    GC gc_ = nullptr;
    unsigned long black_ = 0, white_ = 0, gray_ = 0;
};
