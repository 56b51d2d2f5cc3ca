// catalogue.h: the list of extra picture sets in "clumpout.dat", read once at
// start-up from the current directory or the data directory. No X here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CatalogEntry {
    std::string name;  // shown in the chooser
    std::string file;  // description file or BMP sheet, as written
    int disabled = 0;  // 1 once the set failed to load; never cleared
};

constexpr const char* CATALOGUE_NAME = "clumpout.dat";

extern std::vector<CatalogEntry> catalogue;

// The entries of a catalogue text, in file order.
std::vector<CatalogEntry> parse_catalogue(std::string_view text);

// Reads "clumpout.dat" (current directory first, then data_dir) into `out`
// and returns the number of entries; `out` is only written when it is not 0.
int load_catalogue(std::vector<CatalogEntry>& out, const char* data_dir);
