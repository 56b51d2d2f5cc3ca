// theme_check.h: what `clumpout-theme check` says about one picture set:
// the game's messages while loading it, one verdict line, and notes on what
// the game silently tolerates (tiles not of the tile size, colours the
// database does not know, identical tiles of one state, a background or
// frame that does not tile seamlessly).
#pragma once

#include <string>
#include <vector>

#include "theme_tool/colour_names.h"
#include "theme_tool/set_pictures.h"

// One set to check: a catalogue entry or file (`file`), or a built-in set.
struct SetTarget {
    std::string name;  // shown in the verdict
    std::string file;  // as the catalogue gives it
    int builtin = -1;  // 0..2 for a built-in set
};

// What a command-line FILE names: "builtin:NAME" a built-in set, a name
// whose file part is "clumpout.dat" a catalogue (every entry, in order), a
// sheet or description file anything else. 0, or -1 with `error` set.
int targets_of_argument(const std::string& argument, std::vector<SetTarget>& out, std::string& error);

struct SetCheck {
    SetTarget target;
    int result = -1;  // 0 when the game shows the set, -1 when it falls back
    SetPictures pictures;
    LoadFindings findings;
};

SetCheck check_set(const SetTarget& target, const char* data_dir, const ColourDatabase& database);

// The tool's notes on a set that loads.
void add_oddity_notes(const SetPictures& set, Messages& notes);

// The messages, the verdict line and the notes, as printed.
std::string check_report(const SetCheck& check);

// A background or frame tiles seamlessly unless its wrap-around edge
// (last column to first, last row to first) differs far more than any pair
// of neighbouring columns or rows inside it does.
struct Seams {
    bool across = false;  // left and right edges
    bool down = false;    // top and bottom edges
};
Seams find_seams(const RgbImage& image);
