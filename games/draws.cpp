#include "games/draws.h"

#include "dice/randomsource.h"

namespace games {

namespace {

class GeneratorSource final : public Draws {
public:
    void Reseed() override { dice::RandomizeGenerator(); }
    int Below(int n) override { return dice::RandomBelow(n); }
};

} // namespace

Draws& GeneratorDraws()
{
    static GeneratorSource source;
    return source;
}

} // namespace games
