// controller.h: the game controller, everything between reading and writing
// the settings.
#pragma once

// Plays until the player quits; always returns 0.
int run_game(const char* data_dir, const char* score_dir);
