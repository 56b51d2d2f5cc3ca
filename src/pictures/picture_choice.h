// picture_choice.h: which picture set is in use. The settings file keeps the
// choice as one number, the Pictures number: 0 to 2 name the built-in sets,
// n >= 3 names catalogue entry n - 3. No X here.
#pragma once

// The built-in set in use (0 "Marble", 1 "Head", 2 "Face"), -1 while a
// catalogue set is in use; until start-up it holds the Pictures number.
extern int picture_index;
// The catalogue entry in use or about to be loaded, -1 for none.
extern int catalogue_index;

// Turns the Pictures number in picture_index into the choice (warns once
// when it names no catalogue entry).
void init_picture_choice(int catalogue_count);

// The Pictures number to save: picture_index, or catalogue_index + 3.
int pictures_number();
