// picture_choice.cpp: the picture set in use, the Pictures number it is
// saved as, and the fallback when a set cannot be made. Knows the catalogue
// and the built-in sets; how a set becomes images is the caller's.
#include "pictures/picture_choice.h"

#include <cstddef>

#include "base/report.h"
#include "pictures/catalogue.h"

int picture_index = 1;
int catalogue_index = -1;

void choose_pictures_number(int number) { picture_index = number; }

void init_picture_choice(int entries) {
    const int number = picture_index;
    if (number < 0) {
        // The settings reader never stores a negative number; should one get
        // here, it would index the built-in table out of range.
        picture_index = FALLBACK_SET;
        catalogue_index = -1;
        return;
    }
    if (number < NUM_BUILTIN_SETS) {
        catalogue_index = -1;
        return;
    }
    catalogue_index = number - NUM_BUILTIN_SETS;
    if (catalogue_index >= entries) {
        report("Warning: unknown data file.\n");
        catalogue_index = -1;
    }
    // Until the first load the fallback set sizes the windows.
    picture_index = FALLBACK_SET;
}

void choose_builtin(int set) {
    picture_index = set;
    catalogue_index = -1;
}

void choose_catalogue_entry(int entry) {
    picture_index = -1;
    catalogue_index = entry;
}

void fall_back() { picture_index = FALLBACK_SET; }

int pictures_number() {
    if (picture_index != -1) return picture_index;
    return catalogue_index >= 0 ? catalogue_index + NUM_BUILTIN_SETS : FALLBACK_SET;
}

int load_chosen_set(const PictureLoaders& loaders, const char* data_dir) {
    if (catalogue_index != -1) {
        picture_index = -1;
        const auto index = static_cast<std::size_t>(catalogue_index);
        if (index < catalogue.size()) {
            CatalogEntry& entry = catalogue[index];
            if (loaders.file(entry.file.c_str(), data_dir) == 0) return 0;
            entry.disabled = 1;
        }
        fall_back();
    } else if (loaders.builtin(BUILTIN_SETS[picture_index]) == 0) {
        return 0;
    }
    return loaders.builtin(BUILTIN_SETS[FALLBACK_SET]);
}
