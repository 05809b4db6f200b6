#pragma once

// Where the game aids take their random numbers from. The bot's own source is the one generator of the
// dice library; tests hand in a scripted source to fix every draw of a command.

namespace games {

class Draws {
public:
    virtual ~Draws() = default;

    // Starts a fresh sequence (the bot reseeds from the clock at the start of each game-aid command).
    virtual void Reseed() = 0;

    // 0 .. n-1.
    virtual int Below(int n) = 0;

    // A die of the given number of faces: 1 .. sides.
    int Die(int sides) { return Below(sides) + 1; }
};

// The bot's generator.
Draws& GeneratorDraws();

} // namespace games
