#include "BoardText.h"
#include "game/GameRandom.h"

#include <gtest/gtest.h>

namespace {

class Board : public TGameMap {};

TEST(MapTest, SizesAreClampedAndAChangeWipesTheBoard)
{
    Board board;
    EXPECT_EQ(board.Width(), 8);
    EXPECT_EQ(board.Height(), 8);
    board.SetWidth(20);
    EXPECT_EQ(board.Width(), 19);
    board.SetWidth(2);
    EXPECT_EQ(board.Width(), 3);
    board.SetHeight(17);
    EXPECT_EQ(board.Height(), 16);
    board.SetHeight(-5);
    EXPECT_EQ(board.Height(), 3);

    writeRows(board, {"123", "231", "312"});
    board.CellAt(1, 1).Mark = 1;
    board.SetWidth(3);
    EXPECT_EQ(rowsOf(board), (Rows{"123", "231", "312"}));
    board.SetWidth(4);
    EXPECT_EQ(rowsOf(board), (Rows{"....", "....", "...."}));
    EXPECT_EQ(board.CellAt(1, 1).Mark, 0);
}

TEST(MapTest, PositionsOffTheBoardAreRejectedWithoutWriting)
{
    Board board;
    board.SetWidth(3);
    board.SetHeight(3);
    writeRows(board, {"111", "111", "111"});
    const auto outOfBounds = [](auto&& access) {
        try {
            access();
        } catch (const EMapException& error) {
            return std::string(error.what()) == "Index out of bounds.";
        }
        return false;
    };
    EXPECT_TRUE(outOfBounds([&] { board.GetColor(3, 0); }));
    EXPECT_TRUE(outOfBounds([&] { board.GetColor(-1, 0); }));
    EXPECT_TRUE(outOfBounds([&] { board.GetColor(0, 3); }));
    EXPECT_TRUE(outOfBounds([&] { board.SetColor(0, -1, 2); }));
    EXPECT_TRUE(outOfBounds([&] { board.CellAt(3, 2); }));
    EXPECT_EQ(rowsOf(board), (Rows{"111", "111", "111"}));
}

TEST(MapTest, SetColorKeepsTheMarkAndClearMarksKeepsTheColours)
{
    Board board;
    board.CellAt(2, 3).Mark = 7;
    board.SetColor(2, 3, 4);
    EXPECT_EQ(board.CellAt(2, 3).Mark, 7);
    board.ClearMarks();
    EXPECT_EQ(board.CellAt(2, 3).Mark, 0);
    EXPECT_EQ(board.GetColor(2, 3), 4);
}

TEST(MapTest, TheGeneratorFollowsItsKnownSequence)
{
    kb::game::GameRandom::SetSeed(12345);
    for (std::uint32_t expected : {38u, 28u, 7u, 55u, 63u})
        EXPECT_EQ(kb::game::GameRandom::Random(100), expected);
    EXPECT_EQ(kb::game::GameRandom::Seed(), 2721613530u);
    kb::game::GameRandom::SeedFromTimeOfDay(((13 * 60 + 5) * 60 + 7) * 1000 + 250);
    EXPECT_EQ(kb::game::GameRandom::Seed(), 47107250u);
}

TEST(MapTest, FillDrawsEveryColourInRangeAndRepeatsAfterTheSameSeed)
{
    Board first, second;
    first.SetWidth(19);
    first.SetHeight(16);
    second.SetWidth(19);
    second.SetHeight(16);
    first.CellAt(0, 0).Mark = 1;

    kb::game::GameRandom::SetSeed(99);
    first.Fill(3);
    kb::game::GameRandom::SetSeed(99);
    second.Fill(3);
    EXPECT_EQ(rowsOf(first), rowsOf(second));
    bool seen[4] = {};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 19; ++x) {
            const TCell& cell = first.CellAt(x, y);
            ASSERT_GE(cell.Color, 1);
            ASSERT_LE(cell.Color, 3);
            EXPECT_EQ(cell.Mark, 0);
            seen[cell.Color] = true;
        }
    EXPECT_TRUE(seen[1] && seen[2] && seen[3]);

    first.Fill(1);
    EXPECT_EQ(rowsOf(first)[5], std::string(19, '1'));
}

TEST(MapTest, CopyFromNeedsEqualSizesAndCopiesMarks)
{
    Board small, large;
    large.SetWidth(10);
    large.SetHeight(10);
    kb::game::GameRandom::SetSeed(1);
    small.Fill(5);
    const Rows before = rowsOf(small);
    try {
        small.CopyFrom(large);
        FAIL() << "copied between sizes";
    } catch (const EMapException& error) {
        EXPECT_STREQ(error.what(), "Can not copy between maps of different sizes.");
    }
    EXPECT_EQ(rowsOf(small), before);

    Board other;
    other.CellAt(4, 4).Mark = 1;
    small.CopyFrom(other);
    EXPECT_EQ(rowsOf(small), rowsOf(other));
    EXPECT_EQ(small.CellAt(4, 4).Mark, 1);
}

} // namespace
