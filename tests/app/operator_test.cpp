// The operator works the bot from its windows on a real ngircd, with a second client playing the user.

#include "app/mainwindow.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"
#include "windowsupport.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testing_support::ClickRow;
using testing_support::LogHas;
using testing_support::LogLinesStarting;
using testing_support::Ngircd;
using testing_support::TempFiles;
using testing_support::TestIrcClient;
using testing_support::TypeInto;
using testing_support::WaitFor;

class OperatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const quint16 port = testing_support::FreeWindowPort();
        ASSERT_NE(port, 0);
        server = std::make_unique<Ngircd>(false, port);
        ASSERT_TRUE(server->Start()) << server->Output().toStdString();
        ASSERT_TRUE(tester.Register(server->Port(), "Tester"));
        tester.Send("JOIN #dice");
        ASSERT_TRUE(tester.WaitForLine(" 366 Tester #dice "));
        window = std::make_unique<app::TForm1>(files.Path());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // Connects from the window and joins #dice through the Join box.
    void ConnectAndJoin()
    {
        ASSERT_TRUE(testing_support::ConnectFromWindow(*window, server->Port()));
        ASSERT_TRUE(testing_support::JoinFromWindow(*window, "#dice"));
        ASSERT_TRUE(tester.WaitForLine(":Tessarin!").has_value());
    }

    void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

    TempFiles files;
    std::unique_ptr<Ngircd> server;
    TestIrcClient tester;
    std::unique_ptr<app::TForm1> window;
};

TEST_F(OperatorTest, ConnectsJoinsLeavesAndDisconnectsFromTheWindow)
{
    app::TForm1& form = *window;
    ASSERT_TRUE(testing_support::ConnectFromWindow(form, server->Port()));
    EXPECT_EQ(LogLinesStarting(form, "Connect command issued on "), 1);
    EXPECT_TRUE(LogHas(form, "Connected to 127.0.0.1:" + QString::number(server->Port())));
    EXPECT_TRUE(form.JoinButton->isEnabled());
    EXPECT_TRUE(form.LeaveButton->isEnabled());
    EXPECT_TRUE(form.Messages->SendButton->isEnabled());
    EXPECT_FALSE(form.Settings->LogLinesBox->isEnabled()) << "the log size is fixed by the first connect";

    // The Join box and Enter.
    TypeInto(form.JoinBox, "#dice");
    EXPECT_EQ(form.DefaultButton(), form.JoinButton);
    QTest::keyClick(form.JoinBox, Qt::Key_Return);
    EXPECT_TRUE(tester.WaitForLine(":Tessarin!").value_or("").endsWith("JOIN :#dice"));
    ASSERT_TRUE(WaitFor([&] { return form.ChannelList->count() == 1; }));
    EXPECT_EQ(form.ChannelList->item(0)->text(), "#dice");
    EXPECT_TRUE(LogHas(form, "Joined #dice"));
    EXPECT_EQ(files.Read("favorite_channels.conf"), "#dice\r\n");

    // Leaving the nick box renames the bot on the server.
    ASSERT_TRUE(testing_support::WaitForActive(&form));
    TypeInto(form.NickEdit, "Dicebot");
    form.OwnerEdit->setFocus();
    EXPECT_TRUE(tester.WaitForLine("NICK :Dicebot").has_value());

    // A selected channel and Leave (Enter presses it once the list was clicked).
    ClickRow(form.ChannelList, 0);
    EXPECT_EQ(form.DefaultButton(), form.LeaveButton);
    QTest::keyClick(form.ChannelList, Qt::Key_Return);
    EXPECT_TRUE(tester.WaitForLine(":Dicebot!").value_or("").contains("PART #dice"));
    EXPECT_TRUE(WaitFor([&] { return form.ChannelList->count() == 0; }));

    Click(form.DisconnectButton);
    EXPECT_TRUE(LogHas(form, "Disconnect GUI button pressed."));
    EXPECT_TRUE(LogHas(form, "Disconnected from server."));
    EXPECT_FALSE(form.AutoReconnectBox->isChecked());
    EXPECT_TRUE(form.AutoReconnectBox->isEnabled());
    EXPECT_FALSE(form.JoinButton->isEnabled());
    EXPECT_FALSE(form.Messages->SendButton->isEnabled());
    EXPECT_EQ(form.DefaultButton(), form.ConnectButton);
    testing_support::RunEventsFor(200);
    EXPECT_FALSE(form.Link().ReconnectTimer.isActive());
}

TEST_F(OperatorTest, BansRepliesCommandCharacterAndCustomFilesTakeEffectAtOnce)
{
    app::TForm1& form = *window;
    TypeInto(form.OwnerEdit, "Tester");
    ConnectAndJoin();

    // A reply phrase edited in its window is the next reply.
    Click(form.RepliesButton);
    EXPECT_TRUE(form.Replies->isVisible());
    TypeInto(form.Replies->PhraseEdits[core::UnknownCommandReply], "Say what, Tester?");
    tester.Send("PRIVMSG #dice :,nosuchcommand");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG Tester :Say what, Tester?").has_value());

    // A banned nick is refused from its next command on, until it is deleted from the list.
    Click(form.SettingsButton);
    app::TForm4& settings = *form.Settings;
    EXPECT_TRUE(settings.isVisible());
    TypeInto(settings.BannedUsers->NickEdit, "Tester");
    Click(settings.BannedUsers->AddButton);
    tester.Send("PRIVMSG #dice :,who");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG Tester :Silence, you funny fool! Lol banned.").has_value());
    ClickRow(settings.BannedUsers->List, 0);
    Click(settings.BannedUsers->DeleteButton);
    EXPECT_EQ(settings.BannedUsers->List->count(), 0);
    tester.Send("PRIVMSG #dice :,who");
    EXPECT_TRUE(
        tester
            .WaitForLine("PRIVMSG #dice :I am a mere DH IRC bot. My version is 1.4.ALPHA. My owner is "
                         "Tester.")
            .has_value());

    // A file added to the custom folder is a command once the folder is scanned again.
    files.Write("custom/omen.txt", "The dragon sleeps.\r\n");
    Click(settings.CustomFilesButton);
    EXPECT_TRUE(LogHas(form, "Updated the list of custom random generation files."));
    tester.Send("PRIVMSG #dice :,omen");
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG #dice :").value_or("").contains("The dragon sleeps."));

    // The owner changes the command character by command; the settings window shows it.
    tester.Send("PRIVMSG #dice :,be commanded on !");
    EXPECT_TRUE(tester.WaitForLine("first character of the command line is \"!\"").has_value());
    EXPECT_EQ(settings.CommandCharEdit->text(), "!");
    TypeInto(settings.CommandCharEdit, "?");
    const qsizetype before = tester.Lines.size();
    tester.Send("PRIVMSG #dice :!hello");
    tester.Send("PRIVMSG #dice :?who");
    EXPECT_TRUE(tester.WaitForLine("My owner is Tester.").has_value());
    for (qsizetype i = before; i < tester.Lines.size(); ++i)
        EXPECT_FALSE(tester.Lines.at(i).contains("Hello")) << "\"!\" is no longer the command character";
}

TEST_F(OperatorTest, SendsHellothereFromTheMessageWindowToTheSelectedChannel)
{
    app::TForm1& form = *window;
    ConnectAndJoin();
    Click(form.MessageButton);
    app::TForm5& messages = *form.Messages;
    ASSERT_TRUE(testing_support::WaitForActive(&messages));
    EXPECT_EQ(messages.windowTitle(), "Messaging");
    EXPECT_TRUE(messages.TargetEdit->text().isEmpty());
    ASSERT_TRUE(form.ChannelList->selectedItems().isEmpty());

    // Entering the message box picks the last channel and fills the empty target with it.
    messages.MessageEdit->setFocus();
    EXPECT_EQ(messages.TargetEdit->text(), "#dice");
    ASSERT_EQ(form.ChannelList->selectedItems().size(), 1);
    QTest::keyClicks(messages.MessageEdit, "Hello");
    QTest::keyClick(messages.MessageEdit, Qt::Key_Return);
    QTest::keyClicks(messages.MessageEdit, "there");
    Click(messages.SendButton);
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG #dice :Hellothere").has_value());

    // A typed target is left alone; the message goes to the user.
    TypeInto(messages.TargetEdit, "Tester");
    messages.TargetEdit->setFocus();
    messages.MessageEdit->setFocus();
    EXPECT_EQ(messages.TargetEdit->text(), "Tester");
    Click(messages.SendButton);
    EXPECT_TRUE(tester.WaitForLine("PRIVMSG Tester :Hellothere").has_value());
    EXPECT_EQ(messages.MessageEdit->toPlainText(), "Hello\nthere");
}

TEST_F(OperatorTest, GivesUpAfterItsReconnectAttemptsAndGreysOutAutoreconnect)
{
    app::TForm1& form = *window;
    ConnectAndJoin();
    Click(form.SettingsButton);
    testing_support::EnterNumber(form.Settings->ReconnectTimeoutBox, 50);
    testing_support::EnterNumber(form.Settings->AttemptsBox, 1);
    EXPECT_EQ(form.Link().ReconnectTimer.interval(), 50);
    EXPECT_EQ(form.Link().AttemptsLeft(), 1);

    server->Stop();
    ASSERT_TRUE(WaitFor([&] {
        return LogHas(form, "Unable to reconnect to the server in the specified number of attempts.");
    }));
    EXPECT_EQ(LogLinesStarting(form, "Disconnected from server."), 1);
    EXPECT_EQ(LogLinesStarting(form, "Attempted to connect on "), 2);
    EXPECT_FALSE(form.AutoReconnectBox->isChecked());
    EXPECT_FALSE(form.AutoReconnectBox->isEnabled()) << "the option is gone for the rest of the run";
    EXPECT_EQ(form.ChannelList->count(), 0);
    EXPECT_FALSE(form.JoinButton->isEnabled());
    EXPECT_FALSE(form.LeaveButton->isEnabled());
    EXPECT_FALSE(form.Messages->SendButton->isEnabled());
    EXPECT_EQ(form.DefaultButton(), form.ConnectButton);
}

TEST_F(OperatorTest, DisconnectWhileWaitingToReconnectCallsTheReconnectOff)
{
    app::TForm1& form = *window;
    ConnectAndJoin();
    Click(form.SettingsButton);
    testing_support::EnterNumber(form.Settings->ReconnectTimeoutBox, 300);
    server->Stop();
    ASSERT_TRUE(WaitFor([&] { return form.Link().ReconnectTimer.isActive(); }));
    EXPECT_TRUE(form.JoinButton->isEnabled()) << "a reconnect is coming";

    // A message that cannot go out is reported in the log.
    form.Messages->TargetEdit->setText("#dice");
    form.Messages->MessageEdit->setPlainText("anyone?");
    Click(form.Messages->SendButton);
    EXPECT_TRUE(LogHas(form, "Error sending message to #dice."));

    Click(form.DisconnectButton);
    EXPECT_FALSE(form.Link().ReconnectTimer.isActive());
    EXPECT_EQ(form.ChannelList->count(), 0);
    EXPECT_FALSE(form.JoinButton->isEnabled());
    EXPECT_EQ(form.DefaultButton(), form.ConnectButton);
    testing_support::RunEventsFor(700);
    EXPECT_EQ(LogLinesStarting(form, "Attempted to connect on "), 0);
}

} // namespace
