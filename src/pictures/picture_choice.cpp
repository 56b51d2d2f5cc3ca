// picture_choice.cpp: the picture set in use and the Pictures number it is
// saved as. Knows the catalogue only by its entry count, and nothing of X.
#include "pictures/picture_choice.h"

#include "base/report.h"
#include "pictures/picture_set.h"

int picture_index = 1;
int catalogue_index = -1;

void init_picture_choice(int catalogue_count) {
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
    if (catalogue_index >= catalogue_count) {
        report("Warning: unknown data file.\n");
        catalogue_index = -1;
    }
    // Until the first load the fallback set sizes the windows.
    picture_index = FALLBACK_SET;
}

int pictures_number() {
    if (picture_index != -1) return picture_index;
    return catalogue_index >= 0 ? catalogue_index + NUM_BUILTIN_SETS : FALLBACK_SET;
}
