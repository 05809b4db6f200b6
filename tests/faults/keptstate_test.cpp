// The store on a real ngircd: users talk, change nick, roll and draw; the bot is killed with SIGKILL once
// it has written them; a new bot on the same data folder answers seen, rolls, recall and draw as the
// first one would have.

#include "support/headlessbot.h"
#include "support/ircdaemon.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using testing_support::HeadlessBot;
using testing_support::IrcDaemon;
using testing_support::TempFiles;
using testing_support::TestIrcClient;
using testing_support::WaitFor;

QString Address(quint16 port)
{
    return "127.0.0.1:" + QString::number(port);
}

TEST(Faults, AKilledBotKeepsWhatItWroteAndANewOneCarriesOn)
{
    const auto server = IrcDaemon::Ngircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(200, 100));
    files.Write("tessarin.ini", "[store]\nkeep = yes\n");
    files.Write("PokerDeck.txt", "Ace\r\nKing\r\n");
    const QStringList arguments { "--files", files.Path(), "--server", Address(server->Port()), "--join",
        "#dice" };
    auto first = std::make_unique<HeadlessBot>();
    ASSERT_TRUE(first->Start(arguments));
    ASSERT_TRUE(first->WaitForLine("Joined #dice"));

    TestIrcClient kell;
    ASSERT_TRUE(kell.Register(server->Port(), "Kell"));
    kell.Send("JOIN #dice");
    ASSERT_TRUE(kell.WaitForLine(" 366 Kell #dice "));
    kell.Send("PRIVMSG #dice :hello all");
    kell.Send("NICK Kellan");
    kell.Send("PRIVMSG #dice :,roll 1d1 axe");
    ASSERT_TRUE(kell.WaitForLine("PRIVMSG #dice :Kellan, axe: 1"));
    kell.Send("PRIVMSG #dice :,draw");
    const std::optional<QByteArray> drawn = kell.WaitForLine("PRIVMSG #dice :Kellan, ");
    ASSERT_TRUE(drawn);

    // Whatever the bot has answered, the next write holds. Each line said marks a change, so the file
    // grows at the next write; the wait is bounded in lines as in time.
    const QString wal = files.PathOf("tessarin.db-wal");
    const qint64 before = QFileInfo(wal).size();
    const auto grown = [&] { return QFileInfo(wal).size() > before; };
    for (int tick = 0; tick < 30 && !grown(); ++tick) {
        kell.Send("PRIVMSG #dice :tick " + QByteArray::number(tick));
        WaitFor(grown, 500);
    }
    ASSERT_GT(QFileInfo(wal).size(), before);
    first->Finish(SIGKILL);
    first.reset();

    HeadlessBot second;
    ASSERT_TRUE(second.Start(arguments));
    ASSERT_TRUE(second.WaitForLine("Joined #dice"));
    kell.Send("PRIVMSG #dice :,rolls");
    const std::optional<QByteArray> listed = kell.WaitForLine("PRIVMSG Kellan :#1 ");
    ASSERT_TRUE(listed);
    EXPECT_TRUE(listed->endsWith(" ,roll 1d1 axe => Kellan, axe: 1")) << listed->toStdString();
    kell.Send("PRIVMSG #dice :,recall 1");
    EXPECT_TRUE(kell.WaitForLine("PRIVMSG #dice :#1 by Kellan at "));
    kell.Send("PRIVMSG #dice :,seen Kell #dice");
    EXPECT_TRUE(kell.WaitForLine("PRIVMSG Kellan :User Kell last connected to the channel #dice at "));
    kell.Send("PRIVMSG #dice :,draw");
    const std::optional<QByteArray> other = kell.WaitForLine("PRIVMSG #dice :Kellan, ");
    ASSERT_TRUE(other);
    EXPECT_NE(*other, *drawn);
    EXPECT_EQ(second.Finish(), 0);
}

} // namespace
