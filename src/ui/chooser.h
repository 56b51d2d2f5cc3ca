// chooser.h: the small list window, opened from the Pictures menu, in which
// the player picks a catalogue entry.
#pragma once

// Returns the chosen entry's index (and makes it the picture choice), or -1.
int choose_other_picture();
