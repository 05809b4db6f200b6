#include "core/gamesystem.h"

#include "common/asciicase.h"

namespace core {

const std::vector<std::pair<QString, GameSystem>>& GameSystemWords()
{
    static const std::vector<std::pair<QString, GameSystem>> words {
        { QStringLiteral("none"), GameSystem::None },
        { QStringLiteral("sr3"), GameSystem::Shadowrun3 },
        { QStringLiteral("sr4"), GameSystem::Shadowrun4 },
        { QStringLiteral("ex"), GameSystem::Exalted },
        { QStringLiteral("ep"), GameSystem::EclipsePhase },
        { QStringLiteral("dh"), GameSystem::DarkHeresy },
        { QStringLiteral("dryh"), GameSystem::Dryh },
    };
    return words;
}

std::optional<GameSystem> GameSystemNamed(const QString& word)
{
    const QString lower = common::AsciiLower(word);
    for (const auto& [name, system] : GameSystemWords()) {
        if (name == lower)
            return system;
    }
    return std::nullopt;
}

QString GameSystemWord(GameSystem system)
{
    for (const auto& [name, value] : GameSystemWords()) {
        if (value == system)
            return name;
    }
    return QString();
}

} // namespace core
