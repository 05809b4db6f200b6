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
constexpr std::uint32_t SeedMultiplier = 69069u;

struct Generator {
    std::array<std::uint32_t, StateSize> State {};
    int Position = NeverSeeded;
    std::optional<std::uint32_t> PinnedSeed;
};

FaceRecording* s_recording = nullptr;

Generator& TheGenerator()
{
    static Generator generator;
    return generator;
}

// The seeding walks the congruential sequence x(n+1) = 69069 x(n) + 1 for 1248 steps. Step n is
// x(n) = Multipliers[n] x(0) + Increments[n], so every word of the state can be filled on its own instead
// of waiting for the previous one; bots reseed before every dice term, so this is the hot path.
struct SeedSteps {
    std::array<std::uint32_t, 2 * StateSize> Multipliers {};
    std::array<std::uint32_t, 2 * StateSize> Increments {};
};

constexpr SeedSteps MakeSeedSteps()
{
    SeedSteps steps;
    std::uint32_t multiplier = 1;
    std::uint32_t increment = 0;
    for (std::size_t n = 0; n < steps.Multipliers.size(); ++n) {
        steps.Multipliers[n] = multiplier;
        steps.Increments[n] = increment;
        multiplier *= SeedMultiplier;
        increment = SeedMultiplier * increment + 1u;
    }
    return steps;
}

constexpr SeedSteps Steps = MakeSeedSteps();

// Twists word k of the state in place. Drawing words in order and twisting each just before it is read
// gives exactly the state a whole-block regeneration would: every word a twist reads is either not yet
// twisted (later in the block) or already twisted (earlier), as in the block algorithm.
void Twist(std::array<std::uint32_t, StateSize>& mt, int k)
{
    constexpr std::uint32_t UpperMask = 0x80000000u;
    constexpr std::uint32_t LowerMask = 0x7fffffffu;
    constexpr std::uint32_t MatrixA = 0x9908b0dfu;
    const int next = k + 1 < StateSize ? k + 1 : 0;
    const int far = k + Shift < StateSize ? k + Shift : k + Shift - StateSize;
    const std::uint32_t y = (mt[k] & UpperMask) | (mt[next] & LowerMask);
    mt[k] = mt[far] ^ (y >> 1) ^ ((y & 1u) ? MatrixA : 0u);
}

} // namespace

void SeedGenerator(std::uint32_t seed)
{
    Generator& g = TheGenerator();
    for (std::size_t k = 0; k < StateSize; ++k) {
        const std::uint32_t high = Steps.Multipliers[2 * k] * seed + Steps.Increments[2 * k];
        const std::uint32_t low = Steps.Multipliers[2 * k + 1] * seed + Steps.Increments[2 * k + 1];
        g.State[k] = (high & 0xffff0000u) | (low >> 16);
    }
    g.Position = StateSize;
}

std::uint32_t NextRandom32()
{
    Generator& g = TheGenerator();
    if (g.Position >= StateSize) {
        if (g.Position == NeverSeeded)
            SeedGenerator(DefaultSeed);
        g.Position = 0;
    }
    Twist(g.State, g.Position);
    std::uint32_t y = g.State[static_cast<std::size_t>(g.Position++)];
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
    const auto value = static_cast<std::int32_t>(product >> 32);
    if (s_recording && n > 0)
        s_recording->m_faces.push_back({ n, value + 1 });
    return value;
}

FaceRecording::FaceRecording()
    : m_previous(s_recording)
{
    s_recording = this;
}

FaceRecording::~FaceRecording()
{
    s_recording = m_previous;
}

std::vector<RolledFace> RecordedFaces()
{
    return s_recording ? s_recording->Faces() : std::vector<RolledFace>();
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
