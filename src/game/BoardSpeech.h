#pragma once

#include "game/Game.h"

#include <QString>

#include <array>
#include <string>

namespace kb::game {

// What a listener who cannot see the board is told of it.

// A cell by its colour and place: "Red, row 2, column 5", "Empty, …".
QString cellName(const TGameMap& board, int x, int y);
// What is left of each colour, by its code: "Red: 12".
std::array<QString, 8> tileCountNames(const TGameMap& board);
// A move: "3 tiles, 4 points, score -167."
QString moveSaid(int removed, int points, const std::string& score);

} // namespace kb::game
