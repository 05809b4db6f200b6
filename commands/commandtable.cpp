#include "commands/commandtable.h"

#include "commands/botcommands.h"
#include "commands/cardcommands.h"
#include "commands/channelcommands.h"
#include "commands/channelsettingscommand.h"
#include "commands/commandline.h"
#include "commands/countdown.h"
#include "commands/darkheresycommands.h"
#include "commands/help.h"
#include "commands/lastcommand.h"
#include "commands/luckcommand.h"
#include "commands/notationcommands.h"
#include "commands/poolcommands.h"
#include "commands/quotetextfile.h"
#include "commands/rollcommand.h"
#include "commands/rollhistorycommands.h"
#include "commands/seencommand.h"
#include "commands/shadowruncommands.h"
#include "commands/systemroll.h"
#include "commands/warecommand.h"

namespace commands {

namespace {

using core::BotState;

CommandRow Row(QStringList words, CommandHandler run = nullptr)
{
    return { std::move(words), nullptr, run };
}

CommandRow Gated(QStringList words, bool BotState::*gate, CommandHandler run)
{
    return { std::move(words), gate, run };
}

// The built-in quote tables, each a fixed file in the data folder.
template <const char* File> void QuoteTable(const CommandCall& call, Services& services)
{
    QuoteTextFile(services, call, QString::fromUtf8(File));
}

constexpr char NoesFile[] = "RPGnoes.txt";
constexpr char CharFile[] = "Char.txt";
constexpr char SpaceFile[] = "Space.txt";
constexpr char AdventureFile[] = "Doc Brinewicks Random Adventure.txt";
constexpr char ArtifactsFile[] = "Artifacts.txt";
constexpr char DivFile[] = "div.txt";
constexpr char RevelationsFile[] = "revelations.txt";
constexpr char CritfailFile[] = "critfail.txt";

} // namespace

std::span<const CommandRow> CommandTable()
{
    static const CommandRow rows[] = {
        Gated({ QStringLiteral("join") }, &BotState::PrivilegedJoin, JoinCommand),
        Gated({ QStringLiteral("part") }, &BotState::PrivilegedPart, PartCommand),
        { { QStringLiteral("quit") }, &BotState::PrivilegedQuit, QuitCommand, nullptr, true },
        Row({ QStringLiteral("dhhit") }, DarkHeresyHitCommand),
        Row({ QStringLiteral("dhburst") }, DarkHeresyBurstCommand),
        Row({ QStringLiteral("dhdiv") }, DarkHeresyDivinationCommand),
        Row({ QStringLiteral("dhfall") }, DarkHeresyFallCommand),
        Row({ QStringLiteral("dhcrit") }, DarkHeresyCritCommand),
        Row({ QStringLiteral("dhhal") }, DarkHeresyHallucinogenCommand),
        Row({ QStringLiteral("dhroll"), QStringLiteral("dr") }, DarkHeresyRollCommand),
        Row({ QStringLiteral("ex"), QStringLiteral("exalted") }, ExaltedCommand),
        Row({ QStringLiteral("srtest") }, ShadowrunTestCommand),
        Row({ QStringLiteral("sredge") }, ShadowrunEdgeCommand),
        Row({ QStringLiteral("srext") }, ShadowrunExtendedCommand),
        Row({ QStringLiteral("srnpc") }, ShadowrunNpcCommand),
        Row({ QStringLiteral("srnade") }, ShadowrunGrenadeCommand),
        Row({ QStringLiteral("dryh") }, DryhCommand),
        Row({ QStringLiteral("do") }, DoCommand),
        Gated({ QStringLiteral("say") }, &BotState::PrivilegedSay, SayCommand),
        Row({ QStringLiteral("ware") }, WareCommand),
        Row({ QStringLiteral("who") }, WhoCommand),
        Row({ QStringLiteral("hello") }, HelloCommand),
        Row({ QStringLiteral("noes") }, QuoteTable<NoesFile>),
        Row({ QStringLiteral("char") }, QuoteTable<CharFile>),
        Row({ QStringLiteral("space") }, QuoteTable<SpaceFile>),
        Row({ QStringLiteral("daat") }, QuoteTable<AdventureFile>),
        Row({ QStringLiteral("art") }, QuoteTable<ArtifactsFile>),
        Row({ QStringLiteral("div") }, QuoteTable<DivFile>),
        Row({ QStringLiteral("rev") }, QuoteTable<RevelationsFile>),
        Row({ QStringLiteral("critfail") }, QuoteTable<CritfailFile>),
        Row({ QStringLiteral("ep") }, EclipsePhaseCommand),
        Row({ QStringLiteral("sr3test") }, Shadowrun3TestCommand),
        Row({ QStringLiteral("draw") }, DrawCommand),
        Row({ QStringLiteral("return") }, ReturnCommand),
        Row({ QStringLiteral("drawhand") }, DrawHandCommand),
        Row({ QStringLiteral("newdeck") }, NewDeckCommand),
        Row({ QStringLiteral("match") }, MatchCommand),
        Gated({ QStringLiteral("be") }, &BotState::PrivilegedBe, BeCommand),
        Gated({ QStringLiteral("how") }, &BotState::PrivilegedHow, HowCommand),
        Row({ QStringLiteral("roll") }, RollCommand),
        Row({ QStringLiteral("rolls") }, RollsCommand),
        Row({ QStringLiteral("recall") }, RecallCommand),
        Row({ QStringLiteral("reveal") }, RevealCommand),
        Row({ QStringLiteral("luck") }, LuckCommand),
        Row({ QStringLiteral("r") }, SystemRollCommand),
        Row({ QStringLiteral("gmroll"), QStringLiteral("gr") }, SecretRollCommand),
        { { QStringLiteral("tarot") }, nullptr, TarotCommand, IsBareTarotForm },
        Row({ QStringLiteral("lastlines"), QStringLiteral("last") }, LastCommand),
        Row({ QStringLiteral("list") }, ListCommand),
        Row({ QStringLiteral("aliases") }, AliasesCommand),
        Row({ QStringLiteral("seen") }, SeenCommand),
        Row({ QStringLiteral("count") }, CountCommand),
        Row({ QStringLiteral("help") }, HelpCommand),
        Row({ QStringLiteral("channel") }, ChannelSettingsCommand),
    };
    return rows;
}

} // namespace commands
