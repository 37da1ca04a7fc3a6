#include "Scoring.h"

#include "game/Map.h"

#include <stdexcept>

namespace kb::game {
namespace {

// n * n - 3 * n + 4 for groups of two or more. The formula goes on beyond
// the 171 tiles of the largest level, up to the largest custom board.
constexpr std::array<int, TMap::maxWidth* TMap::maxHeight + 1> scoreTable = [] {
    std::array<int, TMap::maxWidth * TMap::maxHeight + 1> table{};
    for (int n = 2; n < static_cast<int>(table.size()); ++n)
        table[static_cast<std::size_t>(n)] = n * n - 3 * n + 4;
    return table;
}();

} // namespace

int Scoring::PointsFor(int tiles)
{
    if (tiles < 0 || tiles >= static_cast<int>(scoreTable.size()))
        throw std::out_of_range("Index out of bounds.");
    return scoreTable[static_cast<std::size_t>(tiles)];
}

void Scoring::AddMove(int removedTiles)
{
    const int points = PointsFor(removedTiles);
    m_prevScore = m_score;
    m_score += points;
}

void Scoring::Undo()
{
    m_score = m_prevScore - undoPenalty;
    m_prevScore = m_score;
}

} // namespace kb::game
