#include "BoardText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(GameTest, ANewGameHasOneFullBoardOfThreeColours)
{
    TGame game;
    EXPECT_EQ(game.Width(), 8);
    EXPECT_EQ(game.Height(), 8);
    EXPECT_EQ(game.Colors(), 3);
    EXPECT_EQ(game.MapCount(), 1);
    EXPECT_EQ(game.MapIndex(), 0);
    EXPECT_FALSE(game.CanUndo());
    EXPECT_FALSE(game.CanRedo());
    EXPECT_FALSE(game.HasHistory());
    EXPECT_EQ(game.TileCount(), 64);
    for (const std::string& row : rowsOf(game.CurrentMap()))
        EXPECT_EQ(row.find_first_not_of("123"), std::string::npos) << row;
    EXPECT_THROW(game.PreviousMap(), EGameException);
}

TEST(GameTest, SettingsAreClampedAndOnlyAChangeRestarts)
{
    TGame game;
    game.SetColors(1);
    EXPECT_EQ(game.Colors(), 2);
    game.SetColors(8);
    EXPECT_EQ(game.Colors(), 7);

    game.SetWidth(40);
    EXPECT_EQ(game.Width(), 19);
    game.SetHeight(0);
    EXPECT_EQ(game.Height(), 3);
    loadBoard(game, {"1122333111122223333", "1212121212121212121", "3333333333333333333"});
    game.RemoveGroup(0, 2);
    game.SetWidth(19);
    EXPECT_EQ(game.MapCount(), 2);

    game.SetWidth(12);
    EXPECT_EQ(game.Width(), 12);
    EXPECT_EQ(game.MapCount(), 1);
    EXPECT_EQ(game.CurrentMap().Width(), 12);
}

TEST(GameTest, CanRemoveLooksAtTheFourSidesOnly)
{
    TGame game;
    loadBoard(game, {"121.", "213.", "1.31", "4.44"});
    EXPECT_FALSE(game.CanRemove(0, 0)); // its match is diagonal
    EXPECT_FALSE(game.CanRemove(1, 1));
    EXPECT_TRUE(game.CanRemove(2, 1));  // below
    EXPECT_TRUE(game.CanRemove(2, 2));  // above
    EXPECT_TRUE(game.CanRemove(2, 3));  // right
    EXPECT_TRUE(game.CanRemove(3, 3));  // left
    EXPECT_FALSE(game.CanRemove(3, 0)); // empty
    EXPECT_FALSE(game.CanRemove(-1, 0));
    EXPECT_FALSE(game.CanRemove(0, 4));
}

TEST(GameTest, MovesBuildTheHistoryAndUndoRedoWalkIt)
{
    TGame game;
    loadBoard(game, {"1123", "1322", "1132", "3232"});
    game.RemoveGroup(0, 0);
    EXPECT_EQ(game.RemovedCount(), 5);
    EXPECT_EQ(game.TileCount(), 11);
    EXPECT_TRUE(game.CanUndo());
    EXPECT_EQ(rowsOf(game.CurrentMap()), (Rows{"..23", ".322", "..32", "3232"}));
    EXPECT_EQ(rowsOf(game.MapAt(0)), (Rows{"1123", "1322", "1132", "3232"}));

    game.RemoveGroup(0, 3); // a single tile is removed when asked
    EXPECT_EQ(game.RemovedCount(), 1);
    EXPECT_EQ(game.MapCount(), 3);

    game.Undo();
    game.Undo();
    EXPECT_TRUE(game.CanRedo());
    EXPECT_TRUE(game.HasHistory());
    EXPECT_EQ(game.PreviousMap(), nullptr);
    game.Undo();
    EXPECT_EQ(game.MapIndex(), 0);

    game.Redo();
    EXPECT_EQ(game.PreviousMap(), &game.MapAt(0));
    game.RemoveGroup(3, 1); // drops the redo line
    EXPECT_FALSE(game.CanRedo());
    EXPECT_EQ(game.MapCount(), 3);
    EXPECT_EQ(game.RemovedCount(), 5);

    game.RemoveGroup(0, 0); // empty cell: nothing
    EXPECT_EQ(game.MapCount(), 3);
    EXPECT_EQ(game.RemovedCount(), 5);
}

TEST(GameTest, SettleStepDropsOneRowThenClosesOneColumnPerStep)
{
    TGame game;
    loadBoard(game, {"1..", "...", "...", ".23"});
    for (int step = 0; step < 3; ++step)
        EXPECT_FALSE(game.SettleStep());
    EXPECT_EQ(rowsOf(game.CurrentMap()), (Rows{"...", "...", "...", "123"}));
    EXPECT_TRUE(game.SettleStep());

    loadBoard(game, {"1..", "...", "2.3"});
    EXPECT_FALSE(game.SettleStep());
    EXPECT_FALSE(game.SettleStep()); // all falling over, the middle column closes
    EXPECT_EQ(rowsOf(game.CurrentMap()), (Rows{"...", "1..", "23."}));
    EXPECT_TRUE(game.SettleStep());

    loadBoard(game, {"...", ".1.", ".2."});
    EXPECT_FALSE(game.SettleStep());
    EXPECT_EQ(rowsOf(game.CurrentMap()), (Rows{"...", "1..", "2.."}));
    EXPECT_TRUE(game.SettleStep());

    loadBoard(game, {"..2", ".1.", "1.3"}); // falling comes before closing
    EXPECT_FALSE(game.SettleStep());
    EXPECT_EQ(rowsOf(game.CurrentMap()), (Rows{"...", "..2", "113"}));
}

TEST(GameTest, SettleAllPacksTilesDownAndColumnsLeft)
{
    TGame game;
    loadBoard(game, {"1..2", ".3..", "..4.", "...."});
    game.SettleAll();
    EXPECT_EQ(rowsOf(game.CurrentMap()), (Rows{"....", "....", "....", "1342"}));
    loadBoard(game, {"2...", "....", "1..."});
    game.SettleAll();
    EXPECT_EQ(rowsOf(game.CurrentMap()), (Rows{"....", "2...", "1..."}));
}

// Every board size and colour count, with holes and empty columns of every
// density: settling at once must end exactly where step-by-step settling ends.
TEST(GameTest, SettleAllMatchesRepeatedSettleStepOnRandomBoards)
{
    std::mt19937 random(20260106);
    TGame stepwise, atOnce;
    int boards = 0;
    for (int width = 3; width <= 19; ++width)
        for (int height = 3; height <= 16; ++height)
            for (std::uint8_t colors = 2; colors <= 7; ++colors)
                for (int density : {10, 35, 60, 90}) {
                    for (TGame* game : {&stepwise, &atOnce}) {
                        game->SetWidth(width);
                        game->SetHeight(height);
                    }
                    Rows rows(height, std::string(width, '.'));
                    std::vector<bool> emptyColumn(width);
                    for (int x = 0; x < width; ++x)
                        emptyColumn[x] = static_cast<int>(random() % 100) < density / 3;
                    for (auto& row : rows)
                        for (int x = 0; x < width; ++x)
                            if (!emptyColumn[x] && static_cast<int>(random() % 100) >= density)
                                row[x] = static_cast<char>('1' + random() % colors);
                    loadBoard(stepwise, rows);
                    loadBoard(atOnce, rows);

                    int steps = 0;
                    while (!stepwise.SettleStep())
                        ASSERT_LT(++steps, 64) << "never settles";
                    atOnce.SettleAll();
                    ASSERT_EQ(rowsOf(atOnce.CurrentMap()), rowsOf(stepwise.CurrentMap()));
                    ASSERT_EQ(atOnce.TileCount(), stepwise.TileCount());
                    ASSERT_EQ(atOnce.GroupCount(), stepwise.GroupCount());
                    ++boards;
                }
    EXPECT_GT(boards, 5000);
}

TEST(GameTest, CountsSeeGroupsOfEverySize)
{
    TGame game;
    loadBoard(game, {"121", "212", "121"});
    EXPECT_EQ(game.TileCount(), 9);
    EXPECT_EQ(game.GroupCount(), 9);
    loadBoard(game, {"112", "1.2", "333"});
    EXPECT_EQ(game.TileCount(), 8);
    EXPECT_EQ(game.GroupCount(), 3);
    loadBoard(game, {"...", "...", "..."});
    EXPECT_EQ(game.TileCount(), 0);
    EXPECT_EQ(game.GroupCount(), 0);

    game.SetTilesOnly(true);
    loadBoard(game, {"112", "1.2", "333"});
    EXPECT_EQ(game.TileCount(), 8);
    EXPECT_EQ(game.GroupCount(), 0);
}

TEST(GameTest, TheLargestBoardFloodsWithoutRecursion)
{
    TGame game;
    Rows spiral(16, std::string(19, '1'));
    for (int y = 1; y < 15; y += 2) // a long winding corridor
        for (int x = (y % 4 == 1) ? 0 : 1; x < ((y % 4 == 1) ? 18 : 19); ++x)
            spiral[y][x] = '2';
    loadBoard(game, spiral);
    EXPECT_EQ(game.GroupCount(), 8);
    loadBoard(game, Rows(16, std::string(19, '3')));
    EXPECT_EQ(game.GroupCount(), 1);
    game.RemoveGroup(18, 15);
    EXPECT_EQ(game.RemovedCount(), 304);
    EXPECT_EQ(game.TileCount(), 0);
}

TEST(GameTest, AssignTakesTheSettingsAndDealsAFreshBoard)
{
    TGame source, copy;
    source.SetWidth(10);
    source.SetHeight(10);
    source.SetColors(4);
    source.RemoveGroup(0, 0);
    copy.Assign(source);
    EXPECT_EQ(copy.Width(), 10);
    EXPECT_EQ(copy.Height(), 10);
    EXPECT_EQ(copy.Colors(), 4);
    EXPECT_EQ(copy.MapCount(), 1);
    EXPECT_EQ(copy.TileCount(), 100);
}

} // namespace
