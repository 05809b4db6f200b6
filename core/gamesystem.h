#pragma once

// The game a channel plays, as far as the dice are concerned: under a system, ",r 9" is that system's pool
// roll (commands/systemroll.h). The words are those users type and tessarin.ini holds.

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace core {

enum class GameSystem { None, Shadowrun3, Shadowrun4, Exalted, EclipsePhase, DarkHeresy, Dryh };

// Every system with its word, "none" first.
const std::vector<std::pair<QString, GameSystem>>& GameSystemWords();

// The system a word names (ignoring letter case), or nothing.
std::optional<GameSystem> GameSystemNamed(const QString& word);

QString GameSystemWord(GameSystem system);

} // namespace core
