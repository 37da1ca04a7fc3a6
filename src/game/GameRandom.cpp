#include "GameRandom.h"

namespace {

std::uint32_t g_seed = 0;

} // namespace

namespace kb::game::GameRandom {

std::uint32_t Random(std::uint32_t range)
{
    g_seed = g_seed * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(g_seed) * range) >> 32);
}

std::uint32_t Seed()
{
    return g_seed;
}

void SetSeed(std::uint32_t seed)
{
    g_seed = seed;
}

void SeedFromTimeOfDay(std::uint32_t millisecondsOfDay)
{
    SetSeed(millisecondsOfDay);
}

} // namespace kb::game::GameRandom
