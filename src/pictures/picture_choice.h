// picture_choice.h: which picture set is in use, and the one place that
// changes it. The settings file keeps the choice as one number, the
// Pictures number: 0 to 2 name the built-in sets, n >= 3 names catalogue
// entry n - 3. The menu, the chooser and the loader ask here; no X here.
#pragma once

#include "pictures/picture_set.h"

// Read them; only the functions below write them.
// The built-in set in use (0 "Marble", 1 "Head", 2 "Face"), -1 while a
// catalogue set is in use; until start-up it holds the Pictures number.
extern int picture_index;
// The catalogue entry in use or about to be loaded, -1 for none.
extern int catalogue_index;

// The Pictures number read from the settings, turned into the choice by
// init_picture_choice once the catalogue is known.
void choose_pictures_number(int number);
// Turns the Pictures number into the choice (warns once when it names no
// entry of a catalogue of `entries` entries).
void init_picture_choice(int entries);

// The player chose built-in set `set` (0..2) or catalogue entry `entry`.
void choose_builtin(int set);
void choose_catalogue_entry(int entry);
// The chosen set could not be made: "Head" is used instead.
void fall_back();

// The Pictures number to save: picture_index, or catalogue_index + 3.
int pictures_number();

// How a set is made into images, given by the display layer. 0 / -1.
struct PictureLoaders {
    int (*builtin)(const PictureSet& set);
    int (*file)(const char* name, const char* data_dir);
};

// Makes the chosen set, falling back to "Head": a catalogue entry that
// fails is disabled for the rest of the run and the choice becomes "Head";
// a built-in set that fails keeps its number (the menu marks it, the
// settings keep it). 0, or -1 when not even "Head" could be made.
int load_chosen_set(const PictureLoaders& loaders, const char* data_dir);
