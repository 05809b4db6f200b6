// Room in the full table of channels' own settings: who gives way, and when a new channel is refused.

#include "core/channelsettings.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

TEST(ChannelSettings, AFullTableMakesRoomWithTheLeastRecentlySetOfTheChannelsThatMayGo)
{
    struct Case {
        const char* What;
        QStringList SetInOrder;
        QStringList Staying; // the channels the bot is on and its favourites
        qsizetype Bound;
        const char* Channel;
        std::optional<QStringList> Gone; // nothing: refused
        QStringList Left;
    };
    const Case cases[] = {
        { "room left", { "#a", "#b" }, {}, 3, "#c", QStringList(), { "#a", "#b" } },
        { "a channel with settings already", { "#a", "#b", "#c" }, {}, 3, "#B", QStringList(),
            { "#a", "#b", "#c" } },
        { "the oldest goes", { "#b", "#a", "#c" }, {}, 3, "#d", QStringList { "#b" }, { "#a", "#c" } },
        { "one that stays is passed over", { "#a", "#b", "#c" }, { "#A" }, 3, "#d", QStringList { "#b" },
            { "#a", "#c" } },
        { "setting again makes it new", { "#a", "#b", "#c", "#a" }, {}, 3, "#d", QStringList { "#b" },
            { "#a", "#c" } },
        { "none may go", { "#a", "#b" }, { "#b", "#a" }, 2, "#c", std::nullopt, { "#a", "#b" } },
        { "a lowered bound", { "#a", "#b", "#c", "#d" }, { "#c" }, 2, "#e", QStringList { "#a", "#b", "#d" },
            { "#c" } },
        { "a lowered bound, too few may go", { "#a", "#b", "#c" }, { "#c" }, 1, "#d", std::nullopt,
            { "#a", "#b", "#c" } },
    };
    for (const Case& c : cases) {
        core::ChannelSettings settings;
        for (const QString& channel : c.SetInOrder)
            settings.Set(channel, core::SilentKey, QStringLiteral("yes"));
        EXPECT_EQ(settings.MakeRoomFor(c.Channel, c.Bound, c.Staying), c.Gone) << c.What;
        EXPECT_EQ(settings.All().keys(), c.Left) << c.What;
    }
}

} // namespace
