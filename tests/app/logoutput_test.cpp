// How the console and the headless bot print command-log lines: plain, stamped, or marked for the journal.

#include "app/logoutput.h"
#include "app/settingsreport.h"
#include "support/qtprint.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using app::LineStyle;
using core::LogLevel;
using core::LogStamps;

TEST(LogOutput, TheStyleFollowsTheStreamUnlessTheSettingSaysOtherwise)
{
    const struct {
        LogStamps Stamps;
        bool Terminal;
        bool Journal;
        LineStyle Expected;
    } cases[] = {
        { LogStamps::Auto, false, false, LineStyle::Plain },
        { LogStamps::Auto, true, false, LineStyle::Stamped },
        { LogStamps::Auto, false, true, LineStyle::Journal },
        { LogStamps::Yes, false, false, LineStyle::Stamped },
        { LogStamps::No, true, false, LineStyle::Plain },
        // The journal stamps lines itself; its priority marks are what it needs.
        { LogStamps::Yes, false, true, LineStyle::Journal },
        { LogStamps::No, false, true, LineStyle::Journal },
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::ChooseLineStyle(c.Stamps, c.Terminal, c.Journal), c.Expected)
            << int(c.Stamps) << c.Terminal << c.Journal;
}

TEST(LogOutput, EachStyleMarksTheLevelItsOwnWay)
{
    const QDateTime now(QDate(2024, 3, 9), QTime(7, 5, 4));
    const struct {
        LineStyle Style;
        LogLevel Level;
        const char* Expected;
    } cases[] = {
        { LineStyle::Plain, LogLevel::Error, "Socket error!" },
        { LineStyle::Stamped, LogLevel::Error, "2024-03-09 07:05:04 error: Socket error!" },
        { LineStyle::Stamped, LogLevel::Warning, "2024-03-09 07:05:04 warning: Socket error!" },
        { LineStyle::Stamped, LogLevel::Info, "2024-03-09 07:05:04 info: Socket error!" },
        { LineStyle::Journal, LogLevel::Error, "<3>Socket error!" },
        { LineStyle::Journal, LogLevel::Warning, "<4>Socket error!" },
        { LineStyle::Journal, LogLevel::Info, "<6>Socket error!" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::StyledLine(c.Style, c.Level, "Socket error!", now), c.Expected);
}

TEST(LogOutput, OnlyTheStreamJournalStreamNamesIsTheJournal)
{
    EXPECT_TRUE(app::IsJournalStream("8:12345", 8, 12345));
    for (const QByteArray& value : { QByteArray("8:12346"), QByteArray("9:12345"), QByteArray(),
             QByteArray("8:"), QByteArray("8:12345:1"), QByteArray("x:12345") })
        EXPECT_FALSE(app::IsJournalStream(value, 8, 12345)) << value.constData();
}

TEST(SettingsReport, EverySettingHasItsSourceAndNoPasswordShows)
{
    core::BotState state;
    core::SettingsLinesTaken taken {};
    taken[0] = true;
    state.ServerAddress = "irc.example.org";
    state.ServerPort = 6697;
    state.Extra.Connection.SaslPassword = "hunter2";
    state.Extra.Connection.Tls = true;
    state.Extra.FromFile = { "connection/sasl_password", "connection/tls" };
    state.Extra.Problems
        = { "tessarin.ini: log/level is not one of error, warning, info; it keeps its default." };
    const QStringList report
        = app::SettingsReport(state, taken, { "ServerPort", "connection/tls" }, "/srv/bot");
    const auto line = [&](const QString& name) {
        const QStringList found
            = report.filter(QRegularExpression("^" + QRegularExpression::escape(name) + " "));
        return found.size() == 1 ? found.first().simplified() : QString("missing or twice: ") + name;
    };
    EXPECT_EQ(line("ServerAddress"), "ServerAddress file irc.example.org");
    EXPECT_EQ(line("ServerPort"), "ServerPort option 6697");
    EXPECT_EQ(line("BotNick"), "BotNick default Tessarin");
    EXPECT_EQ(line("connection/tls"), "connection/tls option yes");
    EXPECT_EQ(line("connection/sasl_password"), "connection/sasl_password file ********");
    EXPECT_EQ(line("connection/nickserv_password"), "connection/nickserv_password default");
    EXPECT_EQ(line("flood/burst_lines"), "flood/burst_lines default 5");
    for (const QString& name : core::SettingsLineNames())
        EXPECT_FALSE(line(name).startsWith("missing")) << name.toStdString();
    for (const core::SettingKey& key : core::SettingKeys())
        EXPECT_FALSE(line(key.Name).startsWith("missing")) << key.Name.toStdString();
    EXPECT_FALSE(report.join('\n').contains("hunter2"));
    EXPECT_EQ(report.last(), "# " + state.Extra.Problems.first());
}

} // namespace
