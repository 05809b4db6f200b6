#include "commands/commandtable.h"

#include "commands/commandline.h"
#include "commands/darkheresycommands.h"
#include "commands/quotetextfile.h"
#include "commands/rollcommand.h"
#include "commands/shadowruncommands.h"

namespace commands {

namespace {

using core::BotState;

CommandRow Row(QStringList words)
{
    return { std::move(words) };
}

CommandRow Gated(QStringList words, bool BotState::*gate)
{
    return { std::move(words), gate };
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

CommandRow Table(QStringList words, CommandHandler quote)
{
    return { std::move(words), nullptr, quote };
}

} // namespace

std::span<const CommandRow> CommandTable()
{
    static const CommandRow rows[] = {
        Gated({ QStringLiteral("join") }, &BotState::PrivilegedJoin),
        Gated({ QStringLiteral("part") }, &BotState::PrivilegedPart),
        { { QStringLiteral("quit") }, &BotState::PrivilegedQuit, nullptr, nullptr, true },
        { { QStringLiteral("dhhit") }, nullptr, DarkHeresyHitCommand },
        { { QStringLiteral("dhburst") }, nullptr, DarkHeresyBurstCommand },
        { { QStringLiteral("dhdiv") }, nullptr, DarkHeresyDivinationCommand },
        { { QStringLiteral("dhfall") }, nullptr, DarkHeresyFallCommand },
        { { QStringLiteral("dhcrit") }, nullptr, DarkHeresyCritCommand },
        { { QStringLiteral("dhhal") }, nullptr, DarkHeresyHallucinogenCommand },
        { { QStringLiteral("dhroll"), QStringLiteral("dr") }, nullptr, DarkHeresyRollCommand },
        Row({ QStringLiteral("ex"), QStringLiteral("exalted") }),
        Row({ QStringLiteral("srtest") }),
        Row({ QStringLiteral("sredge") }),
        Row({ QStringLiteral("srext") }),
        { { QStringLiteral("srnpc") }, nullptr, ShadowrunNpcCommand },
        { { QStringLiteral("srnade") }, nullptr, ShadowrunGrenadeCommand },
        Row({ QStringLiteral("dryh") }),
        Row({ QStringLiteral("do") }),
        Gated({ QStringLiteral("say") }, &BotState::PrivilegedSay),
        Row({ QStringLiteral("ware") }),
        Row({ QStringLiteral("who") }),
        Row({ QStringLiteral("hello") }),
        Table({ QStringLiteral("noes") }, QuoteTable<NoesFile>),
        Table({ QStringLiteral("char") }, QuoteTable<CharFile>),
        Table({ QStringLiteral("space") }, QuoteTable<SpaceFile>),
        Table({ QStringLiteral("daat") }, QuoteTable<AdventureFile>),
        Table({ QStringLiteral("art") }, QuoteTable<ArtifactsFile>),
        Table({ QStringLiteral("div") }, QuoteTable<DivFile>),
        Table({ QStringLiteral("rev") }, QuoteTable<RevelationsFile>),
        Table({ QStringLiteral("critfail") }, QuoteTable<CritfailFile>),
        Row({ QStringLiteral("ep") }),
        Row({ QStringLiteral("sr3test") }),
        Row({ QStringLiteral("draw") }),
        Row({ QStringLiteral("return") }),
        Row({ QStringLiteral("drawhand") }),
        Row({ QStringLiteral("newdeck") }),
        Row({ QStringLiteral("match") }),
        Gated({ QStringLiteral("be") }, &BotState::PrivilegedBe),
        Gated({ QStringLiteral("how") }, &BotState::PrivilegedHow),
        { { QStringLiteral("roll") }, nullptr, RollCommand },
        { { QStringLiteral("tarot") }, nullptr, nullptr, IsBareTarotForm },
        Row({ QStringLiteral("lastlines"), QStringLiteral("last") }),
        Row({ QStringLiteral("list") }),
        Row({ QStringLiteral("aliases") }),
        Row({ QStringLiteral("seen") }),
        Row({ QStringLiteral("count") }),
        Row({ QStringLiteral("help") }),
    };
    return rows;
}

} // namespace commands
