#include "dice/randomsource.h"

#include <array>
#include <chrono>
#include <optional>

namespace dice {

namespace {

constexpr int StateSize = 624;
constexpr int Shift = 397;
constexpr int NeverSeeded = StateSize + 1;
constexpr std::uint32_t DefaultSeed = 4357;

struct Generator {
    std::array<std::uint32_t, StateSize> State {};
    int Position = NeverSeeded;
    std::optional<std::uint32_t> PinnedSeed;
};

Generator& TheGenerator()
{
    static Generator generator;
    return generator;
}

void Regenerate(Generator& g)
{
    constexpr std::uint32_t UpperMask = 0x80000000u;
    constexpr std::uint32_t LowerMask = 0x7fffffffu;
    constexpr std::uint32_t MatrixA = 0x9908b0dfu;
    auto& mt = g.State;
    for (int k = 0; k < StateSize; ++k) {
        const std::uint32_t y = (mt[k] & UpperMask) | (mt[(k + 1) % StateSize] & LowerMask);
        mt[k] = mt[(k + Shift) % StateSize] ^ (y >> 1) ^ ((y & 1u) ? MatrixA : 0u);
    }
    g.Position = 0;
}

} // namespace

void SeedGenerator(std::uint32_t seed)
{
    Generator& g = TheGenerator();
    for (auto& word : g.State) {
        word = seed & 0xffff0000u;
        seed = 69069u * seed + 1u;
        word |= (seed & 0xffff0000u) >> 16;
        seed = 69069u * seed + 1u;
    }
    g.Position = StateSize;
}

std::uint32_t NextRandom32()
{
    Generator& g = TheGenerator();
    if (g.Position >= StateSize) {
        if (g.Position == NeverSeeded)
            SeedGenerator(DefaultSeed);
        Regenerate(g);
    }
    std::uint32_t y = g.State[g.Position++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

void RandomizeGenerator()
{
    const Generator& g = TheGenerator();
    if (g.PinnedSeed) {
        SeedGenerator(*g.PinnedSeed);
        return;
    }
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    SeedGenerator(static_cast<std::uint32_t>(ticks));
}

std::int32_t RandomBelow(std::int32_t n)
{
    const std::uint64_t product = std::uint64_t { NextRandom32() } * static_cast<std::uint32_t>(n);
    return static_cast<std::int32_t>(product >> 32);
}

ReseedPin::ReseedPin(std::uint32_t seed)
    : m_hadPin(TheGenerator().PinnedSeed.has_value())
    , m_previous(TheGenerator().PinnedSeed.value_or(0))
{
    TheGenerator().PinnedSeed = seed;
}

ReseedPin::~ReseedPin()
{
    if (m_hadPin)
        TheGenerator().PinnedSeed = m_previous;
    else
        TheGenerator().PinnedSeed.reset();
}

void ResetGeneratorForTests()
{
    TheGenerator().Position = NeverSeeded;
}

} // namespace dice
