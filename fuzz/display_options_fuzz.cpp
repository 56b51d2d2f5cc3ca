// display_options_fuzz.cpp: any bytes as the value of an X resource the game
// reads. The scale always comes out 1 to 4 or refused (-1), the switch on,
// off or refused.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/scale.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto scale_ok = [](int s) { return s == -1 || (s >= 1 && s <= 4); };
    if (!scale_ok(parse_scale(text)) || !scale_ok(scale_for_dpi(text))) std::abort();
    const int on = parse_switch(text);
    if (on < -1 || on > 1) std::abort();
    (void)bad_resource_warning("clumpout.scale", text, "scale 1");
    return 0;
}
