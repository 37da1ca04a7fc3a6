#include "Solver.h"

TSolver::TSolver(const TGame& game)
{
    // Assign starts a fresh random board of the game's size, which the copy
    // then overwrites; both boards consume draws of the shared generator.
    m_workGame.Assign(game);
    m_workGame.SetTilesOnly(true);
    m_workGame.CurrentMap().CopyFrom(game.CurrentMap());
    m_workGame.SettleAll();
    m_workGame.CurrentMap().ClearMarks();
}
