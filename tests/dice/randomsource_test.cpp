#include "dice/randomsource.h"

#include <array>
#include <gtest/gtest.h>

namespace {

// The reference MT19937 of 1998 seeded with 4357: the first outputs, the last of the first state, the
// first after a regeneration and the thousandth.
TEST(RandomSource, NeverSeededGivesTheReferenceSequenceForSeed4357)
{
    dice::ResetGeneratorForTests();
    const std::array<std::uint32_t, 6> first { 2867219139u, 1585203162u, 3113124129u, 2953900839u,
        2463794868u, 3482265796u };
    std::array<std::uint32_t, 1000> drawn {};
    for (auto& value : drawn)
        value = dice::NextRandom32();
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(drawn[i], first[i]) << "draw " << i;
    EXPECT_EQ(drawn[623], 589403970u);
    EXPECT_EQ(drawn[624], 1044672925u);
    EXPECT_EQ(drawn[999], 1030650439u);
}

TEST(RandomSource, SeedingRestartsTheSequence)
{
    dice::SeedGenerator(1);
    EXPECT_EQ(dice::NextRandom32(), 3556162021u);
    EXPECT_EQ(dice::NextRandom32(), 4012392791u);
    dice::SeedGenerator(1);
    EXPECT_EQ(dice::NextRandom32(), 3556162021u);
}

TEST(RandomSource, RandomBelowMapsByMultiplyAndShift)
{
    dice::SeedGenerator(4357);
    // 2867219139 * 6 / 2^32 = 4.005...
    EXPECT_EQ(dice::RandomBelow(6), 4);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(dice::RandomBelow(0), 0);
        EXPECT_EQ(dice::RandomBelow(1), 0);
    }
    std::array<int, 6> faces {};
    for (int i = 0; i < 60000; ++i) {
        const int face = dice::RandomBelow(6) + 1;
        ASSERT_GE(face, 1);
        ASSERT_LE(face, 6);
        ++faces[static_cast<std::size_t>(face - 1)];
    }
    for (int count : faces)
        EXPECT_GT(count, 9000); // every face comes up
}

TEST(RandomSource, APinnedReseedFixesEveryCommandAndLeavesTheClockAfterwards)
{
    std::uint32_t pinned = 0;
    {
        dice::ReseedPin pin(77);
        dice::RandomizeGenerator();
        pinned = dice::NextRandom32();
        dice::RandomizeGenerator();
        EXPECT_EQ(dice::NextRandom32(), pinned);
    }
    dice::SeedGenerator(77);
    EXPECT_EQ(dice::NextRandom32(), pinned);
    dice::RandomizeGenerator();
    dice::RandomizeGenerator();
    const std::uint32_t clockSeeded = dice::NextRandom32();
    dice::SeedGenerator(77);
    EXPECT_NE(clockSeeded, dice::NextRandom32());
}

} // namespace
