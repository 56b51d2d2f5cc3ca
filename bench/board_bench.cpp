// board_bench.cpp: the cost of play on the four menu sizes, with the no-op
// painter. A move is what the controller does for one click: highlight a
// random movable cluster, remove it, and ask whether a move is left. Boards
// come from a seeded generator of our own so every run plays the same games.
#include <array>
#include <chrono>
#include <random>

#include <benchmark/benchmark.h>

#include "board/board.h"
#include "board/rules.h"

namespace {

void deal_seeded(std::minstd_rand& random) {
    for (int c = 0; c < board.columns; ++c) {
        for (int r = 0; r < board.rows; ++r) {
            board.cells[c][r] = static_cast<int>(random() % NUM_COLOURS) + 1;
            board.marks[c][r] = 0;
        }
    }
    score_state = {0, 0, board.columns * board.rows, 0};
}

// A random cell that has a neighbour of its colour; the board has a move.
void pick_movable(std::minstd_rand& random, int* column, int* row) {
    static std::array<int, MAX_COLUMNS * MAX_ROWS> movable;
    int count = 0;
    for (int c = 0; c < board.columns; ++c)
        for (int r = 0; r < board.rows; ++r)
            if (has_same_neighbour(c, r)) movable[count++] = c * MAX_ROWS + r;
    const int pick = movable[random() % count];
    *column = pick / MAX_ROWS;
    *row = pick % MAX_ROWS;
}

void set_size(const benchmark::State& state) {
    board.columns = static_cast<int>(state.range(0));
    board.rows = static_cast<int>(state.range(1));
}

// One move, timed by hand so the choice of the cell and the re-deal at the
// end of a game stay outside the measurement.
void BM_Move(benchmark::State& state) {
    set_size(state);
    std::minstd_rand random(42);
    deal_seeded(random);
    for (auto _ : state) {
        int column = 0, row = 0;
        pick_movable(random, &column, &row);
        const auto start = std::chrono::steady_clock::now();
        highlight_cluster(column, row);
        remove_marked();
        const bool more = any_move_left();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (!more) deal_seeded(random);
    }
}

// A whole game from the deal to the last move, cell choices included.
void BM_Game(benchmark::State& state) {
    set_size(state);
    std::minstd_rand random(42);
    long moves = 0;
    for (auto _ : state) {
        deal_seeded(random);
        while (any_move_left()) {
            int column = 0, row = 0;
            pick_movable(random, &column, &row);
            highlight_cluster(column, row);
            remove_marked();
            ++moves;
        }
        benchmark::DoNotOptimize(score_state.gets);
    }
    state.counters["moves/game"] = benchmark::Counter(static_cast<double>(moves) / state.iterations());
}

void BM_Deal(benchmark::State& state) {
    set_size(state);
    for (auto _ : state) {
        deal_board();
        benchmark::DoNotOptimize(board.cells[0][0]);
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Args({15, 8})->Args({20, 10})->Args({25, 15})->Args({30, 20});
}

BENCHMARK(BM_Move)->Apply(sizes)->UseManualTime();
BENCHMARK(BM_Game)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Deal)->Apply(sizes);

}  // namespace

BENCHMARK_MAIN();
