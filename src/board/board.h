// board.h: the play field and the score that travels with it, dealing, and
// the questions the game asks of a board. Knows nothing of drawing.
#pragma once

#include <cstdint>
#include <span>

constexpr int MIN_COLUMNS = 10;
constexpr int MAX_COLUMNS = 30;
constexpr int MIN_ROWS = 8;
constexpr int MAX_ROWS = 20;
constexpr int NUM_COLOURS = 5;

// Cells are indexed [column][row]; column 0 is at the left, row 0 at the top,
// and tiles fall toward row rows - 1. Only the first `columns` columns and
// `rows` rows are play field; the rest keeps what a larger board left there.
struct Board {
    std::int32_t columns;
    std::int32_t rows;
    std::int32_t cells[MAX_COLUMNS][MAX_ROWS];  // 0 empty, 1..NUM_COLOURS a tile
    std::int32_t marks[MAX_COLUMNS][MAX_ROWS];  // 1 = in the highlighted cluster
};

struct ScoreState {
    std::int32_t gets;       // points collected in this game
    std::int32_t recorded;   // 1 once the finished game was offered to the table
    std::int32_t rests;      // tiles left on the board
    std::int32_t game_over;  // 1 from "no move left" until the next deal
};

enum TileState { TILE_DEFAULT = 0, TILE_SELECTED = 1, TILE_PUSHED = 2 };
constexpr int NUM_TILE_STATES = 3;

extern Board board;
extern ScoreState score_state;

// The number the last deal seeded the generator with. A deal draws from the
// C library's srand/rand, so a seed gives the same board only with the same
// C library: a seed written down on one system may deal another board
// elsewhere.
extern unsigned deal_seed;

// Deals a board of the current size seeded with the clock, as every game does.
void deal_board();
// Deals the board that `seed` gives: the same seed, the same board.
void deal_board_seeded(unsigned seed);
// Sets the size, then deals the board that `seed` gives at that size.
void deal_board_of_size(int columns, int rows, unsigned seed);

// Whether (column, row) is a cell of the play field: the first `columns`
// columns and `rows` rows.
bool in_play_field(int column, int row);
bool has_same_neighbour(int column, int row);
bool any_move_left();
bool any_marked();
// No tile left: by gravity and packing, the bottom-left cell is empty.
bool board_cleared();

// A cluster of two or more tiles, named by its first tile in column order
// (the leftmost column it reaches, and the top tile there): the cell that
// removes it.
struct Cluster {
    int column;
    int row;
    int size;
    int colour;
};
// 600 cells hold at most 300 clusters of two or more.
constexpr int MAX_CLUSTERS = MAX_COLUMNS * MAX_ROWS / 2;

// The clusters of two or more tiles, in column order of their first tile;
// returns how many. Allocates nothing, draws nothing, changes no mark.
int list_clusters(std::span<Cluster, MAX_CLUSTERS> out);
