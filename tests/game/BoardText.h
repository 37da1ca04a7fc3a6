#pragma once

#include "game/Game.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Boards written as rows of text: '.' is an empty cell, a digit a tile.
using Rows = std::vector<std::string>;

inline Rows rowsOf(const TMap& map)
{
    Rows rows;
    for (int y = 0; y < map.Height(); ++y) {
        std::string row;
        for (int x = 0; x < map.Width(); ++x) {
            const auto color = map.GetColor(x, y);
            row += color == 0 ? '.' : static_cast<char>('0' + color);
        }
        rows.push_back(row);
    }
    return rows;
}

inline void writeRows(TMap& map, const Rows& rows)
{
    for (int y = 0; y < map.Height(); ++y) {
        for (int x = 0; x < map.Width(); ++x) {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            map.SetColor(x, y, c == '.' ? 0 : static_cast<std::uint8_t>(c - '0'));
        }
    }
}

// Gives the game a board of the rows' size holding the rows, with its counts.
inline void loadBoard(TGame& game, const Rows& rows)
{
    game.SetWidth(static_cast<int>(rows.front().size()));
    game.SetHeight(static_cast<int>(rows.size()));
    writeRows(game.CurrentMap(), rows);
    game.RemoveGroup(-1, -1); // takes nothing and recounts
}
