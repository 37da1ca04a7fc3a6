#pragma once

#include <cstdint>

// A small seeded generator (splitmix64), so that every run of the tool draws
// the same pictures on every machine. At most one draw per call's arguments:
// the order in which a call evaluates its arguments is the compiler's, so two
// draws there give g++ and clang different pictures.
class Random {
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed)
    {
    }

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }

    // Uniform in [low, high).
    double uniform(double low, double high)
    {
        return low + (high - low) * double(next() >> 11) * (1.0 / 9007199254740992.0);
    }

    // Uniform in 0..count-1.
    int below(int count) { return int(next() % std::uint64_t(count)); }

private:
    std::uint64_t m_state;
};
