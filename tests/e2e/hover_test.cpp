// hover_test.cpp: pointer movement over the board: what a move within, onto
// and off a cluster repaints, and what a held button does when the pointer
// wanders before the release.
#include "e2e/e2e_fixture.h"

namespace {

class HoverTest : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        GameOptions options = game_options();  // 20 x 10, "Head"
        options.environment = deal;
        start_game(options);
        ASSERT_TRUE(windows.complete);
        use_builtin_set(SET_HEAD);
        dealt = read_board();
        ASSERT_TRUE(dealt.all_known()) << dealt.text();
        big = biggest_cluster(dealt);
        cluster = cluster_of(dealt, big);
        ASSERT_GE(cluster.size(), 2u);
    }

    void expect_highlight(const std::set<Cell>& lit, const char* where)
    {
        BoardCells now = read_board();
        EXPECT_TRUE(same_cells(now, dealt)) << where;
        for (int c = 0; c < dealt.columns; ++c)
            for (int r = 0; r < dealt.rows; ++r) {
                if (lit.count({c, r}))
                    EXPECT_TRUE(now.look[c][r].boxed) << where << ": " << c << "," << r << " not highlighted";
                else
                    EXPECT_TRUE(now.look[c][r].plain) << where << ": " << c << "," << r << " highlighted";
            }
    }

    std::vector<std::string> deal;  // the clock's deal unless a test fixes one
    BoardCells dealt;
    Cell big;
    std::set<Cell> cluster;
};

// A deal known to hold the case a test needs, so the test runs every time.
class HoverOnFixedDealTest : public HoverTest {
protected:
    HoverOnFixedDealTest() { deal = {"CLUMPOUT_DEAL=7"}; }
};

TEST_F(HoverTest, MovingWithinTheClusterRepaintsNothing)
{
    point_at_cell(big.first, big.second);
    expect_highlight(cluster, "on the cluster");
    long before = bytes_written(game.pid());
    for (const Cell& k : cluster) point_at_cell(k.first, k.second);
    long spent = bytes_written(game.pid()) - before;
    expect_highlight(cluster, "after moving within it");
    // A repaint of the cluster costs at least one 28-byte copy per tile; each
    // motion costs only the pointer query.
    EXPECT_LT(spent, 28 * static_cast<long>(cluster.size())) << "moving within the cluster wrote " << spent << " bytes";
}

TEST_F(HoverTest, MovingOntoALoneTileOrOffTheBoardDropsTheHighlight)
{
    point_at_cell(big.first, big.second);
    Cell lone{-1, -1};
    for (int c = 0; c < dealt.columns && lone.first < 0; ++c)
        for (int r = 0; r < dealt.rows && lone.first < 0; ++r)
            if (cluster_of(dealt, {c, r}).size() == 1) lone = {c, r};
    if (lone.first >= 0) {
        point_at_cell(lone.first, lone.second);
        expect_highlight({}, "on a lone tile");
        point_at_cell(big.first, big.second);
    }
    expect_highlight(cluster, "back on the cluster");
    point_outside_board();
    expect_highlight({}, "off the board");
}

TEST_F(HoverTest, LeavingTheBoardWithTheButtonHeldRemovesNothing)
{
    point_at_cell(big.first, big.second);
    press_board();
    point_outside_board();
    release_board();
    expect_highlight({}, "after the release outside");
    expect_status({0, 200}, "after the release outside");
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, true, false)), 0);
}

TEST_F(HoverTest, ReleaseOnAnotherTileRemovesThePressedCluster)
{
    point_at_cell(big.first, big.second);
    press_board();
    // Any cell outside the cluster.
    Cell elsewhere{-1, -1};
    for (int c = 0; c < dealt.columns && elsewhere.first < 0; ++c)
        for (int r = 0; r < dealt.rows && elsewhere.first < 0; ++r)
            if (!cluster.count({c, r})) elsewhere = {c, r};
    point_at_cell(elsewhere.first, elsewhere.second);
    release_board();
    BoardCells expected = after_removal(dealt, cluster);
    BoardCells now = read_board();
    EXPECT_TRUE(same_cells(now, expected)) << now.text() << "expected\n" << expected.text();
    int n = static_cast<int>(cluster.size());
    expect_status({(n - 2) * (n - 2), 200 - n}, "after the release elsewhere");
}

TEST_F(HoverOnFixedDealTest, FallenClusterUnderThePointerLightsUpWithoutMotion)
{
    // A cluster and a cell of it under which, after the removal, a cluster of
    // two or more has fallen.
    for (int c = 0; c < dealt.columns; ++c)
        for (int r = 0; r < dealt.rows; ++r) {
            std::set<Cell> k = cluster_of(dealt, {c, r});
            if (k.size() < 2) continue;
            BoardCells after = after_removal(dealt, k);
            for (const Cell& p : k) {
                if (cluster_of(after, p).size() < 2) continue;
                Score score{0, 200};
                // play_cluster checks the fallen cluster under `p` is highlighted.
                point_at_cell(c, r);
                play_cluster(dealt, p, score);
                return;
            }
        }
    FAIL() << "no removal on this deal leaves a cluster under the pointer";
}

}  // namespace
