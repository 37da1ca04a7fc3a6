// Random games played to the end, the way the window plays a move: take the
// group, optionally hand the board to a solver, then settle.
#include "game/Game.h"
#include "game/GameRandom.h"
#include "game/Solver.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

// The first removable cell from a random start, walking in storage order.
bool pickMove(const TGame& game, std::mt19937& random, int& x, int& y)
{
    const int cells = game.Width() * game.Height();
    const int start = static_cast<int>(random() % static_cast<unsigned>(cells));
    for (int i = 0; i < cells; ++i) {
        const int index = (start + i) % cells;
        x = index % game.Width();
        y = index / game.Width();
        if (game.CanRemove(x, y))
            return true;
    }
    return false;
}

void playGames(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const auto colors = static_cast<std::uint8_t>(state.range(2));
    const bool withSolver = state.range(3) != 0;

    kb::game::GameRandom::SetSeed(1998);
    std::mt19937 random(6);
    TGame game;
    game.SetWidth(width);
    game.SetHeight(height);
    game.SetColors(colors);
    std::unique_ptr<TSolver> solver;
    std::int64_t moves = 0;

    for (auto _ : state) {
        game.NewGame();
        int x = 0;
        int y = 0;
        while (pickMove(game, random, x, y)) {
            game.RemoveGroup(x, y);
            if (withSolver && game.TileCount() != 0)
                solver = std::make_unique<TSolver>(game);
            game.SettleAll();
            ++moves;
        }
        benchmark::DoNotOptimize(game.TileCount());
    }
    state.counters["moves/s"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
    state.counters["moves/game"] =
        benchmark::Counter(static_cast<double>(moves) / static_cast<double>(state.iterations()));
}

} // namespace

BENCHMARK(playGames)
    ->ArgNames({"w", "h", "colors", "solver"})
    ->Args({8, 8, 3, 0})
    ->Args({8, 8, 3, 1})
    ->Args({19, 9, 5, 0})
    ->Args({19, 9, 5, 1})
    ->Args({19, 16, 7, 0})
    ->Args({19, 16, 7, 1})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
