// What applies where: a channel's own value over the global setting, the global setting in channels
// without one and in private messages (an empty place).

#include "core/placesettings.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

struct Applied {
    QString Prefix;
    QString Char;
    bool Silent;
    bool Dicebot;
    bool Inline;
    core::GameSystem System;
    QString Master;
    bool operator==(const Applied&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Applied& a)
{
    return out << a.Prefix.toStdString() << ' ' << a.Char.toStdString() << ' ' << a.Silent << a.Dicebot
               << a.Inline << ' ' << static_cast<int>(a.System) << ' ' << a.Master.toStdString();
}

Applied AppliedAt(const core::BotState& state, const QString& place)
{
    return { core::CommandPrefixAt(state, place), core::CommandCharAt(state, place),
        core::SilentAt(state, place), core::DicebotAt(state, place), core::InlineRollsOn(state, place),
        core::GameSystemAt(state, place), core::GameMasterOf(state, place) };
}

TEST(PlaceSettings, AChannelsOwnValueComesBeforeTheGlobalOne)
{
    using core::GameSystem;
    core::BotState state;
    state.CommandChar = QStringLiteral("?x"); // only the first character is the prefix
    state.Silent = true;
    state.Extra.Dice.InlineRolls = true;
    state.Extra.Dice.System = GameSystem::Exalted;
    state.OwnerNick = QStringLiteral("Owner");
    state.PerChannel.Set("#sr", core::CharKey, "!");
    state.PerChannel.Set("#sr", core::SilentKey, "no");
    state.PerChannel.Set("#sr", core::DicebotKey, "yes");
    state.PerChannel.Set("#sr", core::InlineKey, "no");
    state.PerChannel.Set("#sr", core::SystemKey, "sr4");
    state.PerChannel.Set("#sr", core::GameMasterKey, "Kell");
    state.PerChannel.Set("#dh", core::SystemKey, "none");
    state.PerChannel.Set("#dh", core::CharKey, "\U0001F3B2");

    const Applied global { "?", "?x", true, false, true, GameSystem::Exalted, "Owner" };
    const struct {
        const char* Place;
        Applied Expected;
    } cases[] = {
        { "#sr", { "!", "!", false, true, false, GameSystem::Shadowrun4, "Kell" } },
        { "#SR", { "!", "!", false, true, false, GameSystem::Shadowrun4, "Kell" } },
        { "#dh", { "\U0001F3B2", "\U0001F3B2", true, false, true, GameSystem::None, "Owner" } },
        { "#other", global },
        { "", global },
        { "Kell", global },
    };
    for (const auto& c : cases)
        EXPECT_EQ(AppliedAt(state, c.Place), c.Expected) << c.Place;

    // Unsetting the last value forgets the channel.
    state.PerChannel.Unset("#DH", core::SystemKey);
    state.PerChannel.Unset("#dh", core::CharKey);
    EXPECT_EQ(AppliedAt(state, "#dh"), global);
    EXPECT_EQ(state.PerChannel.All().keys(), QStringList { "#sr" });
}

} // namespace
