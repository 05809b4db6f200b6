#pragma once

// Rolling a roll text of the dice notation on a face source. A pure function of the tree and the faces:
// the result keeps every die (kept, dropped, rerolled, exploded) so that it can be shown or stored.

#include "dice/notation.h"
#include "dice/pools.h"

#include <variant>

namespace dice {

struct RolledDie {
    int Value = 0; // what the die counts: its face, less one after a penetration, or a compounded sum
    std::vector<int> Chain; // the faces a compounding die added up; empty for every other die
    bool Dropped = false; // by a keep or drop rule
    bool Rerolled = false; // replaced by the die after it
    bool Exploded = false; // rolled because the die before it exploded
    int Successes = 0;
};

// One dice term as rolled. Its dice in the order rolled; a reroll or an explosion follows its die.
struct DiceOutcome {
    int Term = -1; // index into RollText::Dice
    std::vector<RolledDie> Dice;
    double Total = 0; // the kept dice's sum, or their successes when the term counts them
};

struct NodeOutcome {
    double Value = 0;
    int Dice = -1; // a dice term's index into RollOutcome::Dice
    bool Dropped = false; // a group's member that its keep rule dropped
};

// One roll (one repeat of one RollPlan).
struct RollOutcome {
    int Plan = 0;
    double Total = 0;
    bool Counting = false; // the total is a number of successes
    std::vector<NodeOutcome> Nodes; // by node index less the plan's FirstNode
    std::vector<DiceOutcome> Dice;

    const NodeOutcome& NodeAt(const RollText& text, int node) const
    {
        return Nodes[static_cast<std::size_t>(node - text.Rolls[static_cast<std::size_t>(Plan)].FirstNode)];
    }
};

// Every roll of the text in order, repeats one after the other; or why the rolling stopped (a die that
// exploded or was rerolled too often, a division by zero, a total too large).
std::variant<std::vector<RollOutcome>, NotationError> RollNotation(const RollText& text, FaceSource& faces);

} // namespace dice
