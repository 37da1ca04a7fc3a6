#pragma once

#include "game/Map.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

// A board of the game's history with its counts as of its last recount.
class TGameMap : public TMap {
public:
    TGameMap() = default;

    int TileCount() const { return m_tileCount; }
    // Groups of every size, single tiles included; 0 in a tiles-only game.
    int GroupCount() const { return m_groupCount; }

private:
    friend class TGame;
    int m_tileCount = 0;
    int m_groupCount = 0;
};

class EGameException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One game: its settings, its history of boards with undo and redo, and the
// rules for taking a group and letting the tiles settle. Scoring and levels
// belong to the window.
class TGame {
public:
    static constexpr std::uint8_t minColors = 2;
    static constexpr std::uint8_t maxColors = 7;

    TGame();
    virtual ~TGame() = default;
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::uint8_t Colors() const { return m_colors; }
    bool TilesOnly() const { return m_tilesOnly; }
    void SetTilesOnly(bool value) { m_tilesOnly = value; }

    // Clamped; a changed value starts a new game at once.
    void SetWidth(int value);
    void SetHeight(int value);
    void SetColors(std::uint8_t value);
    void Restart();
    void NewGame();
    // Takes Source's settings and starts a fresh board of that size.
    void Assign(const TGame& source);

    TGameMap& CurrentMap();
    const TGameMap& CurrentMap() const;
    bool HasHistory() const { return m_maps.size() > 1; }
    // The board before the current one; null while the first board is current.
    const TGameMap* PreviousMap() const;
    int MapIndex() const { return m_mapIndex; }
    int MapCount() const { return static_cast<int>(m_maps.size()); }
    const TGameMap& MapAt(int index) const { return m_maps.at(static_cast<std::size_t>(index)); }

    int TileCount() const { return CurrentMap().TileCount(); }
    int GroupCount() const { return CurrentMap().GroupCount(); }
    int RemovedCount() const { return m_removed; }

    // True for a tile that belongs to a group of two or more.
    bool CanRemove(int x, int y) const;
    // The move: appends a board without the group at (x, y).
    void RemoveGroup(int x, int y);
    // One row of falling or one closed column; true when nothing was left to do.
    bool SettleStep();
    void SettleAll();

    bool CanUndo() const { return m_mapIndex > 0; }
    bool CanRedo() const { return m_mapIndex < MapCount() - 1; }
    void Undo();
    void Redo();

private:
    void ClearHistory();
    void DiscardRedo();
    void MarkGroup(int x, int y, std::uint8_t mark);
    void Recount();
    int RemoveFlood(TGameMap& map, int x, int y, std::uint8_t color);
    bool ColumnIsEmpty(const TGameMap& map, int x) const;

    int m_width = 8;
    int m_height = 8;
    std::uint8_t m_colors = 3;
    int m_mapIndex = 0;
    std::vector<TGameMap> m_maps;
    int m_removed = 0;
    bool m_tilesOnly = false;
};
