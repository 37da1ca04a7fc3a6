#pragma once

#include "game/Game.h"

#include <QString>

#include <string>

namespace kb::game {

// What a listener who cannot see the board is told of it.

// A cell by its colour and place: "Red, row 2, column 5", "Empty, …".
QString cellName(const TGameMap& board, int x, int y);
// What is left of a colour: "Red: 12".
QString tileCountName(const TGameMap& board, int code);
// A move: "3 tiles, 4 points, score -167."
QString moveSaid(int removed, int points, const std::string& score);

} // namespace kb::game
