#include "core/settingsfiles.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

using core::BotState;
using testing_support::TempFiles;

namespace {

QByteArray Crlf(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

BotState Loaded(const TempFiles& files)
{
    BotState state;
    core::LoadAtStart(state, files.Path());
    return state;
}

// A settings file in which every value differs from its default.
QStringList NonDefaultSettings()
{
    return { "irc.example.org", "6697", "Dicer", "#rpg", "Kell", "1", "1", "1", "0", "0", "1", "2500",
        "30000", "45000", "1", "1", "1", "40", "320", "!", "15000", "3" };
}

void ExpectDefaults(const BotState& s)
{
    const BotState d;
    EXPECT_EQ(s.ServerAddress, QString());
    EXPECT_EQ(s.ServerPort, 6667);
    EXPECT_EQ(s.BotNick, "Tessarin");
    EXPECT_EQ(s.ChannelToJoin, "#name");
    EXPECT_EQ(s.OwnerNick, "Nick");
    EXPECT_FALSE(s.Silent || s.Teamrocketing || s.Dicerollan);
    EXPECT_EQ(s.HelpTimeout, 10000);
    EXPECT_EQ(s.SayTimeout, 60000);
    EXPECT_EQ(s.LastTimeout, 120000);
    EXPECT_EQ(s.LogLines, 100);
    EXPECT_EQ(s.LineWidth, 500);
    EXPECT_EQ(s.CommandChar, ",");
    EXPECT_EQ(s.ReconnectInterval, 10000);
    EXPECT_EQ(s.ReconnectAttempts, 10);
    EXPECT_EQ(s.PrivilegedQuit, true);
    EXPECT_EQ(s.PrivilegedBe, true);
    EXPECT_FALSE(s.PrivilegedJoin || s.PrivilegedPart || s.PrivilegedSay || s.PrivilegedHow);
    EXPECT_EQ(s.ReplyPhrases, d.ReplyPhrases);
}

} // namespace

TEST(SettingsFiles, MissingFolderGivesEveryDefault)
{
    BotState state;
    core::LoadAtStart(state, QStringLiteral("/nonexistent/tessarin/files"));
    ExpectDefaults(state);
    EXPECT_TRUE(state.PrivilegedUsers.isEmpty());
    EXPECT_TRUE(state.BannedUsers.isEmpty());
    EXPECT_TRUE(state.FavoriteChannels.isEmpty());
}

TEST(SettingsFiles, SaveThenLoadGivesBackEverything)
{
    TempFiles files;
    BotState saved;
    const QStringList values = NonDefaultSettings();
    saved.ServerAddress = values[0];
    saved.ServerPort = 6697;
    saved.BotNick = values[2];
    saved.ChannelToJoin = values[3];
    saved.OwnerNick = values[4];
    saved.PrivilegedJoin = saved.PrivilegedPart = saved.PrivilegedSay = saved.PrivilegedHow = true;
    saved.PrivilegedQuit = saved.PrivilegedBe = false;
    saved.HelpTimeout = 2500;
    saved.SayTimeout = 30000;
    saved.LastTimeout = 45000;
    saved.Silent = saved.Teamrocketing = saved.Dicerollan = true;
    saved.LogLines = 40;
    saved.LineWidth = 320;
    saved.CommandChar = "!";
    saved.ReconnectInterval = 15000;
    saved.ReconnectAttempts = 3;
    saved.PrivilegedUsers = { "Kell", "Mira" };
    saved.BannedUsers = { "Troll", "", "Spammer" };
    for (int i = 0; i < core::ReplyPhraseCount; ++i)
        saved.ReplyPhrases[static_cast<std::size_t>(i)] = QStringLiteral("phrase %1 é").arg(i);

    ASSERT_EQ(core::SaveAtClose(saved, files.Path()), QString());
    EXPECT_EQ(files.Read("settings.conf"), Crlf(values));

    const BotState loaded = Loaded(files);
    EXPECT_EQ(core::SettingsFileLines(loaded), values);
    EXPECT_EQ(loaded.PrivilegedUsers, saved.PrivilegedUsers);
    EXPECT_EQ(loaded.BannedUsers, QStringList({ "Troll", "Spammer" })) << "an empty entry names nobody";
    EXPECT_EQ(loaded.ReplyPhrases, saved.ReplyPhrases);
    EXPECT_EQ(files.Read("banned.conf"), QByteArray("Troll\r\n\r\nSpammer\r\n"));
}

TEST(SettingsFiles, ReadingAcceptsEveryLineEnd)
{
    TempFiles files;
    files.Write("settings.conf", "host\n7000\rBot\r\n#c\nOwner");
    files.Write("favorite_channels.conf", "#a\r#b\n#c\r\n");
    const BotState s = Loaded(files);
    EXPECT_EQ(s.ServerAddress, "host");
    EXPECT_EQ(s.ServerPort, 7000);
    EXPECT_EQ(s.BotNick, "Bot");
    EXPECT_EQ(s.ChannelToJoin, "#c");
    EXPECT_EQ(s.OwnerNick, "Owner");
    EXPECT_EQ(s.FavoriteChannels, QStringList({ "#a", "#b", "#c" }));
}

TEST(SettingsFiles, FiveLinesSetTheConnectionAndLeaveTheRestAtDefaults)
{
    TempFiles files;
    files.Write("settings.conf", Crlf({ "irc.example.org", "6697", "Dicer", "#rpg", "Kell" }));
    const BotState s = Loaded(files);
    EXPECT_EQ(s.ServerAddress, "irc.example.org");
    EXPECT_EQ(s.ServerPort, 6697);
    EXPECT_EQ(s.BotNick, "Dicer");
    EXPECT_EQ(s.ChannelToJoin, "#rpg");
    EXPECT_EQ(s.OwnerNick, "Kell");
    EXPECT_FALSE(s.Silent || s.Teamrocketing || s.Dicerollan);
    EXPECT_EQ(s.HelpTimeout, 10000);
    EXPECT_EQ(s.ReconnectAttempts, 10);
    EXPECT_TRUE(s.PrivilegedQuit);
}

TEST(SettingsFiles, ABreakInTheModeLinesSwitchesAllThreeModesOff)
{
    TempFiles files;
    QStringList lines = NonDefaultSettings().mid(0, 16); // line 15 is "1", line 16 is missing
    files.Write("settings.conf", Crlf(lines));
    const BotState s = Loaded(files);
    EXPECT_FALSE(s.Silent);
    EXPECT_FALSE(s.Teamrocketing);
    EXPECT_FALSE(s.Dicerollan);
    // The other group reads on until its own first missing line, 17.
    EXPECT_EQ(s.HelpTimeout, 2500);
    EXPECT_EQ(s.LastTimeout, 45000);
    EXPECT_EQ(s.LogLines, 100);
}

TEST(SettingsFiles, AnUnreadablePortStopsTheFirstStepThere)
{
    TempFiles files;
    QStringList lines = NonDefaultSettings();
    lines[1] = "sixty";
    files.Write("settings.conf", Crlf(lines));
    const BotState s = Loaded(files);
    EXPECT_EQ(s.ServerAddress, "irc.example.org");
    EXPECT_EQ(s.ServerPort, 6667);
    EXPECT_EQ(s.BotNick, "Tessarin");
    EXPECT_EQ(s.OwnerNick, "Nick");
    EXPECT_FALSE(s.Silent || s.Teamrocketing || s.Dicerollan);
    EXPECT_EQ(s.CommandChar, "!"); // the second step is independent of the first
}

TEST(SettingsFiles, AnUnreadableNumberStopsTheSecondStepThere)
{
    TempFiles files;
    QStringList lines = NonDefaultSettings();
    lines[17] = "12a";
    files.Write("settings.conf", Crlf(lines));
    const BotState s = Loaded(files);
    EXPECT_EQ(s.LastTimeout, 45000);
    EXPECT_TRUE(s.Silent); // first step unaffected
    EXPECT_EQ(s.LogLines, 100);
    EXPECT_EQ(s.LineWidth, 500);
    EXPECT_EQ(s.CommandChar, ",");
    EXPECT_EQ(s.ReconnectAttempts, 10);
}

TEST(SettingsFiles, OnlyExactlyOneIsTrue)
{
    TempFiles files;
    QStringList lines = NonDefaultSettings();
    lines[14] = "yes";
    lines[15] = " 1";
    lines[16] = "true";
    lines[5] = "1 ";
    files.Write("settings.conf", Crlf(lines));
    const BotState s = Loaded(files);
    EXPECT_FALSE(s.Silent);
    EXPECT_FALSE(s.Teamrocketing);
    EXPECT_FALSE(s.Dicerollan);
    EXPECT_FALSE(s.PrivilegedJoin);
    EXPECT_TRUE(s.PrivilegedPart);
}

TEST(SettingsFiles, NumbersOutsideTheirRangesAreClampedAndSignsAccepted)
{
    TempFiles files;
    QStringList lines = NonDefaultSettings();
    lines[1] = "99999";
    lines[11] = "0";
    lines[12] = "+400000";
    lines[17] = "-7";
    lines[18] = "-5";
    lines[20] = "99999999999"; // beyond 32 bits: not a number, so reading stops
    lines[21] = "5000";
    files.Write("settings.conf", Crlf(lines));
    const BotState s = Loaded(files);
    EXPECT_EQ(s.ServerPort, 65535);
    EXPECT_EQ(s.HelpTimeout, 1);
    EXPECT_EQ(s.SayTimeout, 360000);
    EXPECT_EQ(s.LogLines, 0);
    EXPECT_EQ(s.LineWidth, 1);
    EXPECT_EQ(s.ReconnectInterval, 10000);
    EXPECT_EQ(s.ReconnectAttempts, 10);
}

TEST(SettingsFiles, APartialPhraseFileReplacesOnlyWhatItHas)
{
    TempFiles files;
    files.Write("messages.conf", Crlf({ "Huh?", "Go away.", "No." }));
    const BotState s = Loaded(files);
    const BotState d;
    EXPECT_EQ(s.Phrase(core::UnknownCommandReply), "Huh?");
    EXPECT_EQ(s.Phrase(core::BannedReply), "Go away.");
    EXPECT_EQ(s.Phrase(core::AccessDeniedReply), "No.");
    for (int i = 3; i < core::ReplyPhraseCount; ++i)
        EXPECT_EQ(s.ReplyPhrases[static_cast<std::size_t>(i)], d.ReplyPhrases[static_cast<std::size_t>(i)]);
}

TEST(SettingsFiles, EachUserListLoadsOnItsOwn)
{
    TempFiles files;
    files.Write("previleged.conf", Crlf({ "Kell", "Mira" }));
    EXPECT_EQ(Loaded(files).PrivilegedUsers, QStringList({ "Kell", "Mira" }));
    EXPECT_TRUE(Loaded(files).BannedUsers.isEmpty());
}

// An entry with blanks around it means the entry without them; a blank one is no entry.
TEST(SettingsFiles, UserListEntriesAreTrimmed)
{
    const std::pair<QByteArray, QStringList> cases[] = {
        { " Kell \r\n\t$a:mira\r\n*!*@host.example \r\n", { "Kell", "$a:mira", "*!*@host.example" } },
        { "Kell\r\n \t\r\n\r\nMira\r\n", { "Kell", "Mira" } },
    };
    for (const auto& [file, entries] : cases) {
        TempFiles files;
        files.Write("previleged.conf", file);
        files.Write("banned.conf", file);
        const BotState s = Loaded(files);
        EXPECT_EQ(s.PrivilegedUsers, entries);
        EXPECT_EQ(s.BannedUsers, entries);
    }
}

// A command character nobody could type or see keeps the default; the lines after it are read all the same.
TEST(SettingsFiles, ACommandCharacterThatCannotBeTypedKeepsTheDefault)
{
    const std::pair<const char*, const char*> cases[] = {
        { "!", "!" },
        { "?x", "?x" },
        { "\xf0\x9f\x8e\xb2", "\xf0\x9f\x8e\xb2" },
        { "", "" },
        { "\x01", "," },
        { " ", "," },
        { "\t!", "," },
        { "!\x7f", "," },
    };
    for (const auto& [line, expected] : cases) {
        TempFiles files;
        QStringList lines = NonDefaultSettings();
        lines[19] = QString::fromUtf8(line);
        files.Write("settings.conf", Crlf(lines));
        core::BotState s;
        const core::SettingsLinesTaken taken = core::LoadAtStart(s, files.Path());
        EXPECT_EQ(s.CommandChar, QString::fromUtf8(expected)) << line;
        EXPECT_EQ(taken[19], s.CommandChar != ",") << line;
        EXPECT_EQ(s.ReconnectAttempts, 3) << line;
    }
}

TEST(SettingsFiles, GarbageAndHugeFilesNeverCrashAndKeepDefaultsWhereTheyMust)
{
    TempFiles files;
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) % 256));
    files.Write("settings.conf", garbage);
    files.Write("messages.conf", garbage);
    files.Write("banned.conf", garbage);
    BotState s = Loaded(files);
    EXPECT_EQ(s.ServerPort, 6667);
    EXPECT_FALSE(s.Silent || s.Dicerollan);

    // A one-megabyte line is too long to be a setting: reading stops there.
    files.Write("settings.conf", QByteArray(1024 * 1024, 'x') + "\r\n6697\r\n");
    s = Loaded(files);
    EXPECT_EQ(s.ServerAddress, QString());
    EXPECT_EQ(s.ServerPort, 6667);

    // Ten thousand lines: the first 22 count, the rest are ignored.
    QStringList many = NonDefaultSettings();
    for (int i = 0; i < 10000; ++i)
        many.append(QStringLiteral("extra %1").arg(i));
    files.Write("settings.conf", Crlf(many));
    s = Loaded(files);
    EXPECT_EQ(core::SettingsFileLines(s), NonDefaultSettings());
}

TEST(SettingsFiles, InvalidUtf8IsReadAsLatin1)
{
    TempFiles files;
    files.Write("settings.conf", "caf\xe9.example\r\n6667\r\nB\xc3\xa9la\r\n");
    const BotState s = Loaded(files);
    EXPECT_EQ(s.ServerAddress, QString::fromUtf8("caf\xc3\xa9.example"));
    EXPECT_EQ(s.BotNick, QString::fromUtf8("B\xc3\xa9la"));
}

TEST(SettingsFiles, AFailedWriteStopsTheSaveAndReportsIt)
{
    TempFiles files;
    files.Write("banned.conf", "Troll\r\n");
    files.Write("messages.conf", "Old\r\n");
    QDir(files.Path()).mkdir("previleged.conf"); // a folder where the file should go

    BotState s;
    s.BannedUsers = { "Someone" };
    const QString error = core::SaveAtClose(s, files.Path());
    EXPECT_TRUE(error.contains("previleged.conf")) << error.toStdString();
    EXPECT_EQ(files.Read("settings.conf").count("\r\n"), 22); // written before the failure
    EXPECT_EQ(files.Read("banned.conf"), QByteArray("Troll\r\n"));
    EXPECT_EQ(files.Read("messages.conf"), QByteArray("Old\r\n"));
}

TEST(SettingsFiles, LineBreaksInsideAValueCannotShiftTheFile)
{
    TempFiles files;
    BotState s;
    s.ReplyPhrases[core::UnknownCommandReply] = "two\r\nlines";
    ASSERT_EQ(core::SaveAtClose(s, files.Path()), QString());
    const BotState loaded = Loaded(files);
    EXPECT_EQ(loaded.Phrase(core::UnknownCommandReply), "two  lines");
    EXPECT_EQ(loaded.Phrase(core::BannedReply), s.Phrase(core::BannedReply));
}

TEST(SettingsFiles, AnEmptyCommandCharacterStillCommands)
{
    TempFiles files;
    QStringList lines = NonDefaultSettings();
    lines[19] = "";
    files.Write("settings.conf", Crlf(lines));
    const BotState s = Loaded(files);
    EXPECT_EQ(s.CommandChar, QString());
    EXPECT_EQ(core::CommandPrefix(s), ",");

    BotState wide;
    wide.CommandChar = QString::fromUtf8("\xf0\x9f\x8e\xb2x"); // a die emoji, then x
    EXPECT_EQ(core::CommandPrefix(wide), QString::fromUtf8("\xf0\x9f\x8e\xb2"));
}

namespace {

core::ConfigLines Lines(const QStringList& lines)
{
    core::ConfigLines file;
    for (const QString& line : lines)
        file.Lines.emplace_back(line);
    return file;
}

struct MergeCase {
    const char* Name;
    core::FileShape Shape;
    QStringList Known;
    QStringList OursThen;
    std::optional<QStringList> Disk;
    QStringList Ours;
    bool Write;
    QStringList Written;
    QList<int> NotWritten;
};

} // namespace

// The operator's edits on disk and the bot's own changes since it last read or wrote the file.
TEST(SettingsFiles, EditsOnDiskAreKeptAndOnlyTheBotsOwnChangesWrittenIntoThem)
{
    using core::FileShape;
    const QStringList abc { "a", "b", "c" };
    const MergeCase cases[] = {
        { "unchanged on disk: written whole", FileShape::Positional, abc, abc, abc, { "a", "b", "C" }, true,
            { "a", "b", "C" }, {} },
        { "gone from disk: written whole", FileShape::Positional, abc, abc, std::nullopt, abc, true, abc,
            {} },
        { "the operator's line and the bot's line", FileShape::Positional, abc, abc,
            QStringList { "A", "b", "c" }, { "a", "b", "C" }, true, { "A", "b", "C" }, {} },
        { "both changed one line: the file's stays", FileShape::Positional, abc, abc,
            QStringList { "a", "b", "edited" }, { "a", "B", "C" }, true, { "a", "B", "edited" }, { 2 } },
        { "edited, the bot changed nothing: left as it is", FileShape::Positional, abc, abc,
            QStringList { "x" }, abc, false, { "x" }, {} },
        { "shortened by the operator: the bot's change to a cut line is not written", FileShape::Positional,
            abc, abc, QStringList { "a" }, { "a", "b", "C" }, false, { "a" }, { 2 } },
        { "a line neither had keeps its place", FileShape::Positional, { "a" }, { "a" }, QStringList { "A" },
            { "a", "", "c" }, true, { "A", "", "c" }, {} },
        { "a list: the bot's additions and removals on the operator's", FileShape::List, { "Ana", "Bo" },
            { "Ana", "Bo" }, QStringList { "Ana", "Bo", "Cy" }, { "Ana", "Dee" }, true,
            { "Ana", "Cy", "Dee" }, {} },
        { "a list: removed on both sides", FileShape::List, { "Ana", "Bo" }, { "Ana", "Bo" },
            QStringList { "Ana" }, { "Ana" }, false, { "Ana" }, {} },
    };
    for (const MergeCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const core::FileBaseline known { Lines(c.Known), c.OursThen };
        const std::optional<core::ConfigLines> disk
            = c.Disk ? std::optional<core::ConfigLines>(Lines(*c.Disk)) : std::nullopt;
        const core::MergedFile merged = core::MergeWithDisk(known, disk, c.Ours, c.Shape);
        EXPECT_EQ(merged.Write, c.Write);
        EXPECT_EQ(merged.Lines, c.Written);
        EXPECT_EQ(merged.NotWritten, c.NotWritten);
    }
}

// At a reload the lines the operator edited are taken; the bot's own values stay on the others, and a
// file that cannot be read whole changes nothing.
TEST(SettingsFiles, AReloadTakesTheEditedLinesAndKeepsTheBotsOwnChanges)
{
    TempFiles files;
    files.Write("settings.conf", Crlf(NonDefaultSettings()));
    BotState s = Loaded(files);
    s.Silent = false; // the bot's own change, line 15

    QStringList edited = NonDefaultSettings();
    edited[0] = "irc.elsewhere.org";
    edited[19] = "?";
    files.Write("settings.conf", Crlf(edited));
    const core::SettingsReload reload = core::ReloadSettings(s, files.Path());
    EXPECT_EQ(reload.Edited, QStringList({ "ServerAddress", "CommandChar" }));
    EXPECT_EQ(reload.Problem, QString());
    EXPECT_EQ(s.ServerAddress, "irc.elsewhere.org");
    EXPECT_EQ(s.CommandChar, "?");
    EXPECT_FALSE(s.Silent);
    EXPECT_EQ(s.BotNick, "Dicer");

    // Saved after the reload, the file keeps the edits and gets the bot's change.
    ASSERT_EQ(core::SaveAtClose(s, files.Path()), QString());
    QStringList saved = edited;
    saved[14] = "0";
    EXPECT_EQ(files.Read("settings.conf"), Crlf(saved));

    QStringList broken = saved;
    broken[1] = "six";
    files.Write("settings.conf", Crlf(broken));
    const core::SettingsReload refused = core::ReloadSettings(s, files.Path());
    EXPECT_TRUE(refused.Problem.contains("line 2 (ServerPort)")) << refused.Problem.toStdString();
    EXPECT_EQ(s.ServerPort, 6697);
}
