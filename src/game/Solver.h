#pragma once

#include "game/Game.h"

// The solution checker's solver: a private, tiles-only copy of a game's
// current board, settled. Construction is all its work; the game it is
// given is only read.
class TSolver {
public:
    explicit TSolver(const TGame& game);
    virtual ~TSolver() = default;
    TSolver(const TSolver&) = delete;
    TSolver& operator=(const TSolver&) = delete;

    const TGame& WorkGame() const { return m_workGame; }

private:
    TGame m_workGame;
};
