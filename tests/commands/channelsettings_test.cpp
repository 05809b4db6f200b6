// The channels' own settings through the whole bot: ,channel shows, sets and unsets them and refuses those
// who may not; recognition, silent and dicebot mode follow them; ",r" rolls a channel's game system.

#include "dice/randomsource.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

struct Exchange {
    const char* Nick;
    const char* Channel; // empty for a private message
    const char* Line;
    std::initializer_list<const char*> Expected;
};

class ChannelSettingsTest : public testing_support::BotFixture {
protected:
    void SetUp() override
    {
        Start();
        bot->State().PrivilegedUsers = QStringList { "Vera" };
        roster.Operators.insert("#sr", { "Oscar" });
    }

    void Play(std::initializer_list<Exchange> exchanges)
    {
        for (const Exchange& e : exchanges) {
            QStringList expected;
            for (const char* line : e.Expected)
                expected.append(QString::fromUtf8(line));
            EXPECT_EQ(Say(e.Nick, e.Channel, e.Line), expected)
                << e.Nick << " in " << e.Channel << ": " << e.Line;
        }
    }
};

const char* const GlobalsOfSr
    = "PRIVMSG Pete :#sr: char , (global), dicebot no (global), silent no (global), "
      "inline no (global), system none (global), gm Nick (global).";

TEST_F(ChannelSettingsTest, ShowsSetsAndUnsetsForThoseWhoMay)
{
    Play({
        { "Pete", "#sr", ",channel", { GlobalsOfSr } },
        // Who may change: the owner and privileged users anywhere, an operator on his channel only.
        { "Pete", "#sr", ",channel set system sr4",
            { "PRIVMSG Pete :Pete, only the owner, the privileged users and the operators of #sr may change "
              "its "
              "settings." } },
        { "Oscar", "#sr", ",channel set system SR4", { "PRIVMSG Oscar :#sr: system is sr4 now." } },
        { "Oscar", "#dh", ",channel set system dh",
            { "PRIVMSG Oscar :Oscar, only the owner, the privileged users and the operators of #dh may "
              "change "
              "its settings." } },
        { "Vera", "", ",channel #DH set system dh", { "PRIVMSG Vera :#DH: system is dh now." } },
        { "Nick", "#sr", ",channel set gm Kell", { "PRIVMSG Nick :#sr: gm is Kell now." } },
        { "Nick", "#sr", ",channel set dicebot on", { "PRIVMSG Nick :#sr: dicebot is yes now." } },
        // Bad requests change nothing.
        { "Nick", "#sr", ",channel set dicebot maybe", { "PRIVMSG Nick :Nick, dicebot must be yes or no." } },
        { "Nick", "#sr", ",channel set char !!",
            { "PRIVMSG Nick :Nick, char must be one character, such as !." } },
        { "Nick", "#sr", ",channel set char \x01",
            { "PRIVMSG Nick :Nick, char must be a visible character, not a blank or a control character." } },
        { "Nick", "#sr", ",channel set char \xc2\xa0",
            { "PRIVMSG Nick :Nick, char must be a visible character, not a blank or a control character." } },
        { "Nick", "#sr", ",channel set system gurps",
            { "PRIVMSG Nick :Nick, system must be one of none, sr3, sr4, ex, ep, dh, dryh." } },
        { "Nick", "#sr", ",channel set colour red",
            { "PRIVMSG Nick :Nick, colour is not a channel setting; the keys are char, dicebot, silent, "
              "inline, "
              "system, gm." } },
        { "Nick", "#sr", ",channel set system",
            { "PRIVMSG Nick :Nick, say ,channel to see the settings, ,channel set KEY VALUE or ,channel "
              "unset "
              "KEY to change one." } },
        { "Nick", "", ",channel set system sr4",
            { "PRIVMSG Nick :Nick, name the channel first, as in ,channel #name set system sr4." } },
        { "Pete", "#SR", ",channel",
            { "PRIVMSG Pete :#SR: char , (global), dicebot yes (own), silent no (global), inline no "
              "(global), "
              "system sr4 (own), gm Kell (own)." } },
        { "Oscar", "#sr", ",channel unset DICEBOT",
            { "PRIVMSG Oscar :#sr: dicebot follows the global setting again (no)." } },
        { "Oscar", "#sr", ",channel unset gm",
            { "PRIVMSG Oscar :#sr: gm follows the global setting again (Nick)." } },
        { "Oscar", "#sr", ",channel unset system",
            { "PRIVMSG Oscar :#sr: system follows the global setting again (none)." } },
        { "Pete", "#sr", ",channel", { GlobalsOfSr } },
    });
    EXPECT_EQ(bot->State().PerChannel.All().keys(), QStringList { "#dh" });
}

// The bot is on every channel of the full table or favours it, so none gives way, until it leaves one and
// stops favouring another; a channel set meanwhile, neither, gives way in its turn.
TEST_F(ChannelSettingsTest, KeepsOwnSettingsForABoundedNumberOfChannels)
{
    core::BotState& state = bot->State();
    for (int i = 0; i < state.Extra.Store.SettingsChannels; ++i) {
        state.PerChannel.Set(QStringLiteral("#t%1").arg(i), "silent", "yes");
        (i % 2 ? state.CurrentChannels : state.FavoriteChannels).append(QStringLiteral("#T%1").arg(i));
    }
    Play({
        { "Vera", "", ",channel #one-more set silent yes",
            { "PRIVMSG Vera :Vera, 256 channels have their own settings already, the most the bot keeps; "
              "unset some first." } },
        { "Vera", "", ",channel #T7 set dicebot yes", { "PRIVMSG Vera :#T7: dicebot is yes now." } },
        { "Vera", "", ",channel #t7 unset silent",
            { "PRIVMSG Vera :#t7: silent follows the global setting "
              "again (no)." } },
        { "Vera", "", ",channel #t7 unset dicebot",
            { "PRIVMSG Vera :#t7: dicebot follows the global "
              "setting again (no)." } },
        { "Vera", "", ",channel #one-more set silent yes",
            { "PRIVMSG Vera :#one-more: silent is yes now." } },
    });
    state.CurrentChannels.removeAll("#T9");
    state.FavoriteChannels.removeAll("#T8");
    Play({
        { "Vera", "", ",channel #two-more set silent yes",
            { "PRIVMSG Vera :#two-more: silent is yes now." } },
        { "Vera", "", ",channel #three-more set silent yes",
            { "PRIVMSG Vera :#three-more: silent is yes now." } },
        { "Vera", "", ",channel #four-more set silent yes",
            { "PRIVMSG Vera :#four-more: silent is yes now." } },
    });
    for (const char* gone : { "#t8", "#t9", "#one-more" })
        EXPECT_FALSE(state.PerChannel.All().contains(gone)) << gone;
    EXPECT_EQ(state.PerChannel.All().size(), 256);
}

TEST_F(ChannelSettingsTest, RecognitionAndModesFollowTheChannel)
{
    Play({
        { "Nick", "#sr", ",channel set char !", { "PRIVMSG Nick :#sr: char is ! now." } },
        { "Nick", "#sr", "!channel set silent yes", { "PRIVMSG Nick :#sr: silent is yes now." } },
        { "Nick", "#dh", ",channel set dicebot yes", { "PRIVMSG Nick :#dh: dicebot is yes now." } },
        { "Kell", "#sr", ",who", {} },
        { "Kell", "#sr", "!who",
            { "PRIVMSG Kell :I am a mere DH IRC bot. My version is 1.4.ALPHA. My owner is Nick." } },
        { "Kell", "#sr", "Tessarin, who",
            { "PRIVMSG Kell :I am a mere DH IRC bot. My version is 1.4.ALPHA. My owner is Nick." } },
        { "Kell", "#sr", ",how do you recognize commands",
            { "PRIVMSG Kell :I recognize messages that start with a ! as commands." } },
        { "Kell", "#dh", ",who",
            { "PRIVMSG #dh :I am a mere DH IRC bot. My version is 1.4.ALPHA. My owner is Nick." } },
        { "Kell", "", "!who", {} },
        { "Kell", "#dh", "d1", { "PRIVMSG #dh :Kell: 1" } },
        { "Kell", "", "d1", {} },
    });
}

// Under a system ",gr" in the pool form is the system's roll, shown to the roller and the game master only;
// a refused one is the system's complaint, to the roller alone.
TEST_F(ChannelSettingsTest, SecretRollsFollowTheChannelsSystem)
{
    bot->State().PerChannel.Set("#t", "system", "sr4");
    bot->State().Extra.Dice.GameMaster = "Vera";
    roster.Nicks["#t"] = QStringList { "Kell", "Vera" };
    bot->State().CurrentChannels = QStringList { "#t" };
    const auto rolled = [this](const char* channel, const char* line) {
        const dice::ReseedPin pin(77);
        dice::SeedGenerator(77);
        return Say("Kell", channel, line);
    };
    const QString open = rolled("#plain", ",srtest 9").value(0).section(" :", 1);
    ASSERT_TRUE(open.startsWith("Kell")) << open.toStdString();
    EXPECT_EQ(rolled("#t", ",gr 9"),
        QStringList({ "PRIVMSG Kell :" + open, "PRIVMSG Vera :Kell in #t" + open.mid(4),
            "PRIVMSG #t :Kell rolled in secret." }));
    const std::optional<commands::RollRecord> kept = bot->Rolls().Find(bot->Rolls().LastNumber());
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->Kind, commands::RollKind::Secret);
    EXPECT_EQ(kept->Place, "#t");
    EXPECT_EQ(kept->Command, ",gr 9");
    const qint64 before = bot->Rolls().LastNumber();
    EXPECT_EQ(rolled("#t", ",gr 0"), rolled("#plain", ",srtest 0"));
    EXPECT_EQ(bot->Rolls().LastNumber(), before);
}

// Under a system ",r" in the pool form says what the system's command says, with the same dice; a dice
// expression, and every ",r" in other channels, stays the notation roll.
TEST_F(ChannelSettingsTest, RollsTheChannelsSystem)
{
    struct Case {
        const char* System;
        const char* Channel;
        const char* Line;
        const char* Same; // the line said in a channel without a system
    };
    const Case cases[] = {
        { "sr4", "#t", ",r 9", ",srtest 9" },
        { "sr4", "#t", ",r 0", ",srtest 0" },
        { "sr3", "#t", ",r 10 vs 4", ",sr3test 10 vs 4" },
        { "ex", "#t", ",r 7 vs 8", ",ex 7 vs 8" },
        { "ep", "#t", ",r 55", ",ep 55" },
        { "dh", "#t", ",r 45 shot", ",dr 45 shot" },
        { "dryh", "#t", ",r 3 2 1", ",dryh 3 2 1" },
        { "sr4", "#t", ",r 2d6", ",r 2d6" },
        { "sr4", "#t", ",r d20+3", ",r d20+3" },
        { "sr4", "#other", ",r 9", ",r 9" },
        { "none", "#t", ",r 9", ",r 9" },
    };
    for (const Case& c : cases) {
        bot->State().PerChannel.Set("#t", "system", c.System);
        const auto rolled = [this](const char* channel, const char* line) {
            const dice::ReseedPin pin(77);
            dice::SeedGenerator(77);
            return Say("Kell", channel, line).replaceInStrings(QString::fromUtf8(channel), "#here");
        };
        const QStringList asSystem = rolled(c.Channel, c.Line);
        EXPECT_FALSE(asSystem.isEmpty()) << c.Line;
        EXPECT_EQ(asSystem, rolled("#plain", c.Same)) << c.System << ": " << c.Line;
    }
    // A pool roll made through ",r" is kept once, under the line typed; a refused one is not kept.
    QStringList kept;
    for (const commands::RollRecord& record :
        bot->Rolls().Recent("#t", { "Kell", {} }, 20, [](const auto&) { return true; }))
        kept.append(record.Command);
    EXPECT_EQ(kept,
        QStringList({ ",r 9", ",r d20+3", ",r 2d6", ",r 3 2 1", ",r 45 shot", ",r 55", ",r 7 vs 8",
            ",r 10 vs 4", ",r 9" }));
}

} // namespace
