#pragma once

// Finding a generator seed whose first draws are the ones a test wants, so that a whole command run
// under dice::ReseedPin rolls exactly those values.

#include "dice/randomsource.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

namespace testing_support {

// The first seed after which RandomBelow(range) gives each value in turn; pairs are (range, value).
inline std::optional<std::uint32_t> SeedGiving(std::initializer_list<std::pair<int, int>> draws)
{
    for (std::uint32_t seed = 1; seed < (1u << 24); ++seed) {
        dice::SeedGenerator(seed);
        bool all = true;
        for (const auto& [range, value] : draws) {
            if (dice::RandomBelow(range) != value) {
                all = false;
                break;
            }
        }
        if (all)
            return seed;
    }
    return std::nullopt;
}

} // namespace testing_support
