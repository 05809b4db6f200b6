#pragma once

// A draw source that plays back a script: each draw must ask for the range the script expects, and gets
// the scripted value. A draw beyond the script, or of another range, fails the test.

#include "games/draws.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

namespace testing_support {

struct ScriptedDraw {
    int Range;
    int Value;
};

// A die of `sides` faces showing `face`.
inline ScriptedDraw Face(int sides, int face)
{
    return { sides, face - 1 };
}

class ScriptedDraws final : public games::Draws {
public:
    ScriptedDraws(std::initializer_list<ScriptedDraw> script)
        : m_script(script)
    {
    }
    explicit ScriptedDraws(std::vector<ScriptedDraw> script)
        : m_script(std::move(script))
    {
    }

    void Reseed() override { ++Reseeds; }

    int Below(int n) override
    {
        if (m_next >= m_script.size()) {
            ADD_FAILURE() << "an unscripted draw below " << n;
            return 0;
        }
        const ScriptedDraw draw = m_script[m_next++];
        EXPECT_EQ(n, draw.Range) << "draw " << m_next;
        return draw.Value;
    }

    bool AllDrawn() const { return m_next == m_script.size(); }

    int Reseeds = 0;

private:
    std::vector<ScriptedDraw> m_script;
    std::size_t m_next = 0;
};

} // namespace testing_support
