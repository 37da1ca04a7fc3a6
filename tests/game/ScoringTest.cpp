#include "game/Scoring.h"

#include <gtest/gtest.h>

using kb::game::Scoring;

TEST(Scoring, PointsGrowWithTheSquareOfTheGroupBeyondTheLargestLevel)
{
    EXPECT_EQ(Scoring::PointsFor(0), 0);
    EXPECT_EQ(Scoring::PointsFor(1), 0);
    for (auto [tiles, points] : {std::pair{2, 2}, {3, 4}, {4, 8}, {5, 14}, {10, 74}, {171, 28732}, {304, 91508}})
        EXPECT_EQ(Scoring::PointsFor(tiles), points) << tiles << " tiles";
    EXPECT_THROW(Scoring::PointsFor(305), std::out_of_range);
}

TEST(Scoring, EachUndoTakesTenFromTheScoreItLastSet)
{
    Scoring scoring;
    EXPECT_EQ(scoring.ScoreText(), "-171");
    scoring.AddMove(5);
    EXPECT_EQ(scoring.Score(), -157);
    scoring.Undo();
    EXPECT_EQ(scoring.Score(), -181);
    scoring.Undo();
    EXPECT_EQ(scoring.Score(), -191);
    scoring.StartGame();
    EXPECT_EQ(scoring.Score(), -171);
}
