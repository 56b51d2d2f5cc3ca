// no_allocation_test.cpp: whole games played through the rules must not
// reach the heap. This binary replaces the global operator new to count
// calls; it holds nothing else so the replacement stays out of other tests.
#include <array>
#include <cstdlib>
#include <new>
#include <random>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/cell_painter.h"
#include "board/rules.h"

namespace {
int allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(NoAllocation, RandomGamesOnEverySizeStayOffTheHeap) {
    std::minstd_rand random(12345);
    std::array<int, MAX_COLUMNS * MAX_ROWS> movable{};
    int moves = 0;
    const int before = allocations;
    for (const auto& [columns, rows] : {std::pair{15, 8}, std::pair{20, 10}, std::pair{25, 15}, std::pair{30, 20}}) {
        board.columns = columns;
        board.rows = rows;
        for (int game = 0; game < 5; ++game) {
            deal_board();
            while (any_move_left()) {
                Cluster clusters[MAX_CLUSTERS];
                if (list_clusters(clusters) == 0) break;
                int count = 0;
                for (int c = 0; c < columns; ++c)
                    for (int r = 0; r < rows; ++r)
                        if (has_same_neighbour(c, r)) movable[count++] = c * MAX_ROWS + r;
                const int pick = movable[random() % count];
                highlight_cluster(pick / MAX_ROWS, pick % MAX_ROWS);
                if (!any_marked()) break;
                take_snapshot();
                remove_marked();
                if (random() % 4 == 0) restore_snapshot();
                ++moves;
            }
            unmark_all();
        }
    }
    const int during = allocations - before;
    EXPECT_EQ(during, 0);
    EXPECT_GT(moves, 100) << "the games should have been played";

    // The counter itself must see allocations, or the check above proves nothing.
    int* volatile probe = new int(7);
    EXPECT_EQ(allocations - before, 1);
    delete probe;
}

}  // namespace
