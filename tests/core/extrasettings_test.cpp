// The settings of tessarin.ini: what each key takes, what it refuses, and the problems listed
// for the command log. (The lifecycle with them is shown against real and scripted servers by the fault
// suite in tests/faults.)

#include "core/extrasettings.h"
#include "core/placesettings.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectionSettings, AreReadFromTessarinIniWithDefaultsForWhatIsMissingOrWrong)
{
    testing_support::TempFiles files;
    EXPECT_TRUE(core::LoadExtraSettings(files.Path()).Problems.isEmpty()) << "no file, no problem";
    const irc::ClientSettings defaults;
    EXPECT_FALSE(defaults.Tls);
    EXPECT_EQ(defaults.IdleTimeoutMs, 240000);
    EXPECT_EQ(defaults.Pace.BurstLines, 5);
    EXPECT_EQ(defaults.Pace.BurstBytes, 2048);
    EXPECT_EQ(defaults.Pace.IntervalMs, 1000);

    files.Write("tessarin.ini",
        "[help]\nhome_page=https://example.org\n"
        "[connection]\ntls=yes\ntls_fingerprint=AB:CD\nsasl_account=dicebot\n"
        "sasl_password=\"comma, semicolon; and all\"\nnickserv_password=hunter2\nconnect_timeout=2.5\n"
        "register_timeout=0\ndead_after=90\nping_timeout=abc\nsasl_passwort=oops\n"
        "[flood]\nburst_lines=8\nburst_bytes=4096\nline_interval=0.5\nqueue_per_user=1.5\n"
        "lines_per_message=3\nctcp_per_minute=0\n");
    const core::ExtraSettings settings = core::LoadExtraSettings(files.Path());
    const irc::ClientSettings& c = settings.Connection;
    EXPECT_EQ(settings.HomePage, "https://example.org");
    EXPECT_TRUE(c.Tls);
    EXPECT_TRUE(c.TlsFingerprint.isEmpty());
    EXPECT_EQ(c.SaslAccount, "dicebot");
    EXPECT_EQ(c.SaslPassword, "comma, semicolon; and all");
    EXPECT_EQ(c.NickServPassword, "hunter2");
    EXPECT_EQ(c.ConnectTimeoutMs, 2500);
    EXPECT_EQ(c.RegisterTimeoutMs, 60000);
    EXPECT_EQ(c.IdleTimeoutMs, 90000);
    EXPECT_EQ(c.PingTimeoutMs, 60000);
    EXPECT_EQ(c.Pace.BurstLines, 8);
    EXPECT_EQ(c.Pace.BurstBytes, 4096);
    EXPECT_EQ(c.Pace.IntervalMs, 500);
    EXPECT_EQ(c.Pace.OwnerLimit, 40);
    EXPECT_EQ(c.MaxLinesPerMessage, 3);
    EXPECT_EQ(c.CtcpRepliesPerMinute, 0);
    // In the order of the keys, as QSettings gives them.
    EXPECT_EQ(settings.Problems,
        QStringList(
            { "tessarin.ini: connection/ping_timeout is not a number of seconds from 0.1 to 3600; it keeps "
              "its default.",
                "tessarin.ini: connection/register_timeout is not a number of seconds from 0.1 to 3600; it "
                "keeps its "
                "default.",
                "tessarin.ini: connection/sasl_passwort is not a setting; it keeps its default.",
                "tessarin.ini: connection/tls_fingerprint is not a SHA-256 fingerprint (64 hex digits); it "
                "keeps its "
                "default.",
                "tessarin.ini: flood/queue_per_user is not a whole number from 1 to 10000; it keeps its "
                "default." }));
    for (const QString& problem : settings.Problems)
        EXPECT_FALSE(problem.contains("oops")) << "values are never repeated, a password could be one";
}

TEST(ConnectionSettings, EachKeyTakesItsValueAndRefusesNonsense)
{
    irc::ClientSettings settings;
    for (const QString& key : core::ConnectionSettingKeys()) {
        if (key.contains("sasl") || key.contains("nickserv"))
            continue;
        EXPECT_FALSE(core::ApplyConnectionSetting(settings, key, QStringLiteral("nan")).isEmpty())
            << key.toStdString();
    }
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "connection/tls", "On"), QString());
    EXPECT_TRUE(settings.Tls);
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "flood/line_interval", "0"), QString());
    EXPECT_EQ(settings.Pace.IntervalMs, 0);
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "flood/burst_bytes", "100"),
        "is not a whole number from 512 to 65536");
    EXPECT_EQ(settings.Pace.BurstBytes, 2048);
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "connection/dead_after", "1e9"),
        "is not a number of seconds from 0.1 to 86400");
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "nope", "1"), "is not a setting");
    const QString fingerprint = QString(64, u'0');
    EXPECT_EQ(core::ApplyConnectionSetting(settings, "connection/tls_fingerprint", fingerprint), QString());
    EXPECT_EQ(settings.TlsFingerprint, fingerprint);
}

TEST(AccessSettings, TakeTheEvidenceAndTheOwnersAccountAndMask)
{
    const struct {
        const char* file;
        core::Evidence proof;
        const char* problem;
    } cases[] = {
        { "", core::Evidence::Automatic, "" },
        { "[access]\nevidence = Nick\n", core::Evidence::Nick, "" },
        { "[access]\nevidence=account\nowner_account = boss\nowner_hostmask = *!b@home\n",
            core::Evidence::Account, "" },
        { "[access]\nevidence = accounts\n", core::Evidence::Automatic,
            "tessarin.ini: access/evidence is not one of auto, nick, account; it keeps its default." },
        { "[connection]\nsasl_certificate = bot.pem\n", core::Evidence::Automatic,
            "tessarin.ini: connection/sasl_certificate is only presented over TLS; set tls = yes to log in "
            "with it." },
    };
    for (const auto& c : cases) {
        testing_support::TempFiles files;
        files.Write("tessarin.ini", c.file);
        const core::ExtraSettings settings = core::LoadExtraSettings(files.Path());
        EXPECT_EQ(settings.Access.Proof, c.proof) << c.file;
        EXPECT_EQ(settings.Problems.join(u'|'), QString::fromUtf8(c.problem)) << c.file;
        if (c.proof == core::Evidence::Account) {
            EXPECT_EQ(settings.Access.OwnerAccount, "boss");
            EXPECT_EQ(settings.Access.OwnerHostmask, "*!b@home");
        }
    }
}

TEST(DiceSettings, SwitchesAreOffUnlessSetAndTheGameMasterIsTheOwnerUntilOneIsNamed)
{
    testing_support::TempFiles files;
    core::BotState state;
    state.OwnerNick = "Kell";
    state.Extra = core::LoadExtraSettings(files.Path());
    EXPECT_FALSE(core::InlineRollsOn(state, "#dice"));
    EXPECT_FALSE(state.Extra.AddressWithColon);
    EXPECT_EQ(core::GameMasterOf(state, "#dice"), "Kell");

    files.Write("tessarin.ini",
        "[dice]\ninline_rolls=on\ngame_master= Vera \n[commands]\naddress_with_colon=perhaps\n");
    state.Extra = core::LoadExtraSettings(files.Path());
    EXPECT_TRUE(core::InlineRollsOn(state, "#dice"));
    EXPECT_FALSE(state.Extra.AddressWithColon);
    EXPECT_EQ(core::GameMasterOf(state, "#dice"), "Vera");
    EXPECT_EQ(state.Extra.Problems,
        QStringList { "tessarin.ini: commands/address_with_colon is not yes or no; it keeps its default." });
}

} // namespace
