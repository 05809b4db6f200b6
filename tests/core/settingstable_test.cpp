// The one table of tessarin.ini's settings and what is made from it: the file --init writes, loading, and
// the lines of settings.conf that --settings reports as read from the file.

#include "core/extrasettings.h"
#include "core/settingsfiles.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using testing_support::TempFiles;

TEST(SettingsTable, TheFileInitWritesHasEveryKeyAndLoadsBackAsTheDefaults)
{
    TempFiles files;
    const QString text = core::DefaultExtraSettingsText();
    files.Write(core::ExtraSettingsFile, text.toUtf8());
    const core::ExtraSettings loaded = core::LoadExtraSettings(files.Path());
    const core::ExtraSettings defaults;
    EXPECT_TRUE(loaded.Problems.isEmpty()) << loaded.Problems.join('\n').toStdString();
    for (const core::SettingKey& key : core::SettingKeys()) {
        EXPECT_TRUE(loaded.FromFile.contains(key.Name)) << key.Name.toStdString() << " is not in the file";
        EXPECT_EQ(key.Show(loaded), key.Show(defaults)) << key.Name.toStdString();
        // Each key has a comment above it, or shares the one of the key before it.
        const QString name = key.Name.section('/', 1);
        EXPECT_TRUE(QRegularExpression("\n" + name + " =( |\n)").match(text).hasMatch())
            << name.toStdString();
    }
}

TEST(SettingsTable, EveryKeyTakesBackWhatItShowsAndRefusesWhatItCannotShow)
{
    core::ExtraSettings settings;
    for (const core::SettingKey& key : core::SettingKeys()) {
        const QString shown = key.Show(settings);
        EXPECT_EQ(key.Apply(settings, shown), QString()) << key.Name.toStdString();
        EXPECT_EQ(key.Show(settings), shown) << key.Name.toStdString();
    }
    // Rows of each kind: what they take, what they show for it, and what they refuse (text takes anything).
    const struct {
        const char* Key;
        const char* Given;
        const char* Shown;
        const char* Refused;
    } cases[] = {
        { "connection/tls", "On", "yes", "maybe" },
        { "connection/connect_timeout", "2.5", "2.5", "0" },
        { "flood/burst_bytes", "4096", "4096", "100" },
        { "log/level", "Warning", "warning", "loud" },
        { "log/stamps", "no", "no", "sometimes" },
        { "connection/tls_fingerprint", " ABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABAB ",
            "ABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABAB", "12:34" },
        { "help/home_page", "  https://example.org  ", "https://example.org", nullptr },
        { "connection/sasl_password", " spaced, and; \"quoted\" ", " spaced, and; \"quoted\" ", nullptr },
    };
    for (const auto& c : cases) {
        const core::SettingKey* key = core::FindSettingKey(c.Key);
        ASSERT_NE(key, nullptr) << c.Key;
        EXPECT_EQ(key->Apply(settings, c.Given), QString()) << c.Key;
        EXPECT_EQ(key->Show(settings), c.Shown) << c.Key;
        if (!c.Refused)
            continue;
        EXPECT_FALSE(key->Apply(settings, c.Refused).isEmpty()) << c.Key;
        EXPECT_EQ(key->Show(settings), c.Shown) << c.Key << ": a refused value changes nothing";
    }
    EXPECT_EQ(core::FindSettingKey("connection/nope"), nullptr);
}

TEST(SettingsTable, PasswordsAndOnlyPasswordsAreSecret)
{
    QStringList secret;
    for (const core::SettingKey& key : core::SettingKeys()) {
        if (key.Secret)
            secret.append(key.Name);
    }
    EXPECT_EQ(secret, QStringList({ "connection/sasl_password", "connection/nickserv_password" }));
}

TEST(SettingsTable, UnknownKeysAreProblemsExceptInTheGroupsThatNeverCheckedThem)
{
    TempFiles files;
    files.Write(core::ExtraSettingsFile,
        "[help]\nmystery=1\n[ware]\nshelf=2\n[log]\nlevel=loud\ncolour=red\n[elsewhere]\nanything=3\n");
    const core::ExtraSettings loaded = core::LoadExtraSettings(files.Path());
    EXPECT_EQ(loaded.Problems,
        QStringList({ "tessarin.ini: log/colour is not a setting; it keeps its default.",
            "tessarin.ini: log/level is not one of error, warning, info; it keeps its default." }));
    EXPECT_TRUE(loaded.FromFile.isEmpty());
}

TEST(SettingsFileSources, TheLinesTakenAreTheOnesTheReadingKept)
{
    const QStringList full = { "irc.example.org", "6697", "Dicer", "#rpg", "Kell", "1", "1", "1", "0", "0",
        "1", "2500", "30000", "45000", "1", "1", "1", "40", "320", "!", "15000", "3" };
    const auto firstLines = [](std::size_t count) {
        core::SettingsLinesTaken taken {};
        for (std::size_t i = 0; i < count; ++i)
            taken[i] = true;
        return taken;
    };
    core::SettingsLinesTaken connectionOnly = firstLines(5);
    core::SettingsLinesTaken badHelpTimeout = firstLines(11);
    for (const std::size_t mode : { 14, 15, 16 })
        badHelpTimeout[mode] = true;
    const struct {
        const char* Name;
        std::optional<QStringList> Lines;
        core::SettingsLinesTaken Taken;
    } cases[] = {
        { "no file", std::nullopt, {} },
        { "the whole file", full, firstLines(22) },
        // The modes are read in the first step; when it breaks off they are the defaults, not the file's.
        { "five lines", full.mid(0, 5), connectionOnly },
        // Lines 6 to 14 are read in a later step, which stops only at the missing line 18.
        { "a flag of line 15 without line 16", full.mid(0, 15), firstLines(14) },
        { "a help lock-out that is no number", full.mid(0, 11) + QStringList { "soon" } + full.mid(12),
            badHelpTimeout },
    };
    for (const auto& c : cases) {
        TempFiles files;
        if (c.Lines)
            files.Write(core::files::Settings, (c.Lines->join("\r\n") + "\r\n").toUtf8());
        core::BotState state;
        EXPECT_EQ(core::LoadAtStart(state, files.Path()), c.Taken) << c.Name;
    }
    EXPECT_EQ(core::SettingsLineNames().size(), static_cast<std::size_t>(core::SettingsFileLines({}).size()));
}

TEST(SettingsFileSources, ReloadingTakesThePhrasesAndUsersAsTheFilesHoldThemNow)
{
    TempFiles files;
    core::BotState state;
    state.ReplyPhrases[core::HelpTimeoutReply] = "edited in the Replies window";
    state.PrivilegedUsers = { "Old" };
    state.ServerPort = 7000;
    files.Write(core::files::Messages, "Huh?\r\nGo away.\r\n");
    files.Write(core::files::Privileged, "Kell\r\nMira\r\n");
    files.Write(core::files::Settings, "elsewhere\r\n6667\r\n");
    EXPECT_EQ(core::ReloadPhrasesAndUsers(state, files.Path()), 2);
    EXPECT_EQ(state.ReplyPhrases[core::UnknownCommandReply], "Huh?");
    EXPECT_EQ(state.ReplyPhrases[core::BannedReply], "Go away.");
    EXPECT_EQ(
        state.ReplyPhrases[core::HelpTimeoutReply], core::DefaultReplyPhrases()[core::HelpTimeoutReply]);
    EXPECT_EQ(state.PrivilegedUsers, QStringList({ "Kell", "Mira" }));
    EXPECT_TRUE(state.BannedUsers.isEmpty());
    EXPECT_EQ(state.ServerPort, 7000) << "settings.conf is not read again";
}

} // namespace
