// invariants.h: what any board the game shows must satisfy, whatever was
// done to it: tiles rest on the floor or on other tiles, no empty column
// stands left of a non-empty one, the status line counts the tiles that are
// there, and the game is drawn over exactly when no pair is left. Works on
// boards and texts already read back; knows no X and no game code.
#pragma once

#include "e2e/tile_oracle.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct StatusNumbers {
    int gets = 0;
    int rests = 0;
    int total = 0;
    bool operator==(const StatusNumbers&) const = default;
};

// The numbers of a status line text, "Gets%6d  Rests%6d  Total%7d";
// nullopt when the text is not in that form.
std::optional<StatusNumbers> parse_status_text(std::string_view text);

// Every broken invariant, one readable line each; empty when the board is
// sound. The pointer is taken to be off the board, so nothing is lit.
std::vector<std::string> board_faults(const BoardCells& cells, const StatusNumbers& status);
