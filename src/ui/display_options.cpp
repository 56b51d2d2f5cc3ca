// display_options.cpp: the X resources of the game, turned into the scale
// and the keyboard switch.
#include "ui/display_options.h"

#include <string>

#include "base/report.h"
#include "ui/scale.h"
#include "x11/draw_scale.h"
#include "x11/x_display.h"
#include "x11/x_resources.h"

bool keyboard_play = false;

namespace {

// clumpout.scale when set, else Xft.dpi, else 1.
int wanted_scale() {
    std::string value;
    if (x_resource("clumpout.scale", "Clumpout.Scale", value)) {
        const int s = parse_scale(value);
        if (s > 0) return s;
        report(bad_resource_warning("clumpout.scale", value, "scale 1"));
        return 1;
    }
    if (x_resource("Xft.dpi", "Xft.Dpi", value)) {
        const int s = scale_for_dpi(value);
        if (s > 0) return s;
        report(bad_resource_warning("Xft.dpi", value, "scale 1"));
    }
    return 1;
}

}  // namespace

void read_display_options(Size2 window) {
    load_x_resources();
    Display* display = x_display.display;
    const Size2 screen{DisplayWidth(display, 0), DisplayHeight(display, 0)};
    draw_scale = fitting_scale(wanted_scale(), window, screen);

    std::string value;
    if (x_resource("clumpout.keyboard", "Clumpout.Keyboard", value)) {
        const int on = parse_switch(value);
        if (on < 0) report(bad_resource_warning("clumpout.keyboard", value, "off"));
        keyboard_play = on == 1;
    }
}
