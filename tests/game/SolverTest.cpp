#include "game/Solver.h"
#include "BoardText.h"
#include "game/GameRandom.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t seedAfterDraws(std::uint32_t seed, int draws)
{
    while (draws-- > 0)
        seed = seed * 134775813u + 1u;
    return seed;
}

TEST(SolverTest, ConsumesOneBoardOfDrawsForItselfAndOneForTheGamesSize)
{
    TGame game;
    game.SetWidth(19);
    game.SetHeight(9);
    kb::game::GameRandom::SetSeed(4242);
    const TSolver solver(game);
    EXPECT_EQ(kb::game::GameRandom::Seed(), seedAfterDraws(4242, 235));
}

TEST(SolverTest, SettlesAPrivateCopyAndLeavesTheGameAlone)
{
    TGame game;
    loadBoard(game, {"12.3", "1.13", "1223"});
    game.RemoveGroup(0, 0);
    const Rows before = rowsOf(game.CurrentMap());
    const int tiles = game.TileCount();
    const int groups = game.GroupCount();

    const TSolver solver(game);
    EXPECT_EQ(rowsOf(game.CurrentMap()), before);
    EXPECT_EQ(game.MapIndex(), 1);
    EXPECT_EQ(game.MapCount(), 2);
    EXPECT_EQ(game.TileCount(), tiles);
    EXPECT_EQ(game.GroupCount(), groups);

    const TGame& work = solver.WorkGame();
    EXPECT_TRUE(work.TilesOnly());
    EXPECT_EQ(rowsOf(work.CurrentMap()), (Rows{"..3.", "213.", "223."}));
    EXPECT_EQ(work.TileCount(), tiles);
    EXPECT_EQ(work.GroupCount(), 0);
}

} // namespace
