#pragma once

// The bot's one pseudo-random generator: MT19937 with the 1998 reference seeding. Every die, card and
// table pick goes through RandomBelow so that a single seed reproduces a whole command in tests. The
// generator is process-wide and used from the event-loop thread only.

#include <cstdint>
#include <vector>

namespace dice {

// Fills the state from a seed (the 1998 seeding with the 69069 step) and forces a regeneration.
void SeedGenerator(std::uint32_t seed);

// The next tempered output word; a generator that was never seeded first seeds itself with 4357.
std::uint32_t NextRandom32();

// Reseeds from the low 32 bits of a high-resolution monotonic counter.
void RandomizeGenerator();

// 0 .. n-1 by multiply-and-shift (0 for n = 0); always draws one word.
std::int32_t RandomBelow(std::int32_t n);

// While a pin is alive, RandomizeGenerator seeds with the pinned value instead of the clock, so a test can
// fix every die of a command that reseeds before each term.
class ReseedPin {
public:
    explicit ReseedPin(std::uint32_t seed);
    ~ReseedPin();
    ReseedPin(const ReseedPin&) = delete;
    ReseedPin& operator=(const ReseedPin&) = delete;

private:
    bool m_hadPin;
    std::uint32_t m_previous;
};

// One draw of RandomBelow as a die: Sides is n, Face the value drawn plus one.
struct RolledFace {
    int Sides;
    int Face;
    bool operator==(const RolledFace&) const = default;
};

// While a recording is alive, every RandomBelow draw is kept, so the bot can tell which faces a dice
// command rolled without any roller having to report them. Recordings do not nest: the newest one takes
// the draws until it ends.
class FaceRecording {
public:
    FaceRecording();
    ~FaceRecording();
    FaceRecording(const FaceRecording&) = delete;
    FaceRecording& operator=(const FaceRecording&) = delete;

    const std::vector<RolledFace>& Faces() const { return m_faces; }

private:
    friend std::int32_t RandomBelow(std::int32_t n);
    std::vector<RolledFace> m_faces;
    FaceRecording* m_previous;
};

// The faces of the recording alive now, or none.
std::vector<RolledFace> RecordedFaces();

// Returns the generator to its start-of-program state (never seeded).
void ResetGeneratorForTests();

} // namespace dice
