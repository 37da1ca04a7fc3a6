#pragma once

#include <cstdint>

// The program's one random generator, shared by every board.
namespace kb::game::GameRandom {
// One draw: a value in 0..range-1 (0 when range is 0).
std::uint32_t Random(std::uint32_t range);
std::uint32_t Seed();
void SetSeed(std::uint32_t seed);
// Seeds from the UTC time of day in milliseconds; the window passes the clock.
void SeedFromTimeOfDay(std::uint32_t millisecondsOfDay);
} // namespace kb::game::GameRandom
