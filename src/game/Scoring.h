#pragma once

#include <array>
#include <string>

namespace kb::game {

// A board size and colour count the menu offers by name.
struct Level {
    int columns;
    int rows;
    int colors;
};

// Beginner, Intermediate and Expert, by the tag of their menu item.
constexpr std::array<Level, 3> levelTable{{{8, 8, 3}, {10, 10, 4}, {19, 9, 5}}};
constexpr int expertLevel = 2;

// The player's score: every game starts below zero, a move earns points that
// grow with the square of the group's size, and an undo costs a penalty.
class Scoring {
public:
    static constexpr int startScore = -171;
    static constexpr int undoPenalty = 10;

    // Points for taking a group of the given number of tiles.
    static int PointsFor(int tiles);

    int Score() const { return m_score; }
    // The decimal text the window shows, "-171" for the start score.
    std::string ScoreText() const { return std::to_string(m_score); }

    void StartGame() { m_score = startScore; }
    void AddMove(int removedTiles);
    // Takes the penalty from the score before the last move or undo, so a
    // second undo in a row costs again rather than restoring a score.
    void Undo();

private:
    int m_score = startScore;
    int m_prevScore = 0;
};

} // namespace kb::game
