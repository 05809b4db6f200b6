#pragma once

// Reading a roll text in the dice notation into its tree (see dice/notation.h for the grammar). A pure
// function: no dice are rolled here, so the tree can be rolled again and again.

#include "dice/notation.h"

#include <variant>

namespace dice {

// The text as read, or why it cannot be. With allowComment, the words after the last roll (separated from
// it by a blank) are its comment; without it, anything after the rolls is an error.
std::variant<RollText, NotationError> ParseNotation(const QString& text, bool allowComment = true);

} // namespace dice
