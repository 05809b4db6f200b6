// The settings and reply-phrase windows without a server: each control changes its setting at once, with
// what the change sets off (timers, the reconnect counter), and the settings are saved at close.

#include "app/mainwindow.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "windowsupport.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testing_support::ClickCheckBox;
using testing_support::ClickRow;
using testing_support::EnterNumber;
using testing_support::LogHas;
using testing_support::TempFiles;
using testing_support::TypeInto;
using testing_support::TypeNumber;
using testing_support::WaitFor;

class SettingsWindowTest : public ::testing::Test {
protected:
    TempFiles files;
    std::unique_ptr<app::TForm1> window;

    // Opens the main window and, from it, the settings window.
    app::TForm4& OpenSettings()
    {
        window = std::make_unique<app::TForm1>(files.Path());
        window->show();
        Click(window->SettingsButton);
        EXPECT_TRUE(window->Settings->isVisible());
        return *window->Settings;
    }

    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    core::BotState& State() { return window->Bot().State(); }
};

TEST_F(SettingsWindowTest, TimeoutsAndReconnectSettingsTakeEffectAtOnceAndAreSaved)
{
    app::TForm4& settings = OpenSettings();
    EXPECT_EQ(settings.windowTitle(), "Settings");
    // A number box takes what was typed when Enter is pressed, not each digit on its way.
    TypeNumber(settings.HelpTimeoutBox, 2500);
    EXPECT_EQ(State().HelpTimeout, 10000);
    QTest::keyClick(settings.HelpTimeoutBox, Qt::Key_Return);
    EXPECT_EQ(State().HelpTimeout, 2500);
    EXPECT_EQ(window->Bot().Locks().Timer1.interval(), 2500);

    // A running relay lock-out ends one new interval after the change, not at its old end.
    core::Lockouts& locks = window->Bot().Locks();
    locks.StartSay();
    ASSERT_EQ(locks.SayTimer.interval(), 60000);
    EnterNumber(settings.SayTimeoutBox, 200);
    EXPECT_LT(locks.SayTimer.remainingTime(), 1000);
    EXPECT_TRUE(WaitFor([&] { return !State().SayLocked; }, 5000));

    // Changing one timeout leaves the other lock-outs running as they were.
    locks.StartLast();
    EnterNumber(settings.HelpTimeoutBox, 3000);
    EXPECT_GT(locks.LastTimer.remainingTime(), 100000);

    EnterNumber(settings.ReconnectTimeoutBox, 1234);
    EXPECT_EQ(window->Link().ReconnectTimer.interval(), 1234);
    EnterNumber(settings.AttemptsBox, 3);
    EXPECT_EQ(State().ReconnectAttempts, 3);
    EXPECT_EQ(window->Link().AttemptsLeft(), 3);
    EnterNumber(settings.LineWidthBox, 120);
    EXPECT_EQ(State().LineWidth, 120);
    EnterNumber(settings.LogLinesBox, 40);
    EXPECT_EQ(State().LogLines, 40);
    TypeInto(settings.CommandCharEdit, "!");
    EXPECT_EQ(State().CommandChar, "!");
    for (const QString& unusable : { QStringLiteral(" "), QStringLiteral("\u00a0") }) {
        TypeInto(settings.CommandCharEdit, unusable);
        EXPECT_EQ(State().CommandChar, "!") << "a blank is refused";
    }

    // Number boxes keep within their ranges.
    EnterNumber(settings.AttemptsBox, 5000);
    EXPECT_LE(State().ReconnectAttempts, 1000);

    ASSERT_TRUE(window->close());
    const QStringList lines = QString::fromUtf8(files.Read("settings.conf")).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 22);
    EXPECT_EQ(lines[11], "3000");
    EXPECT_EQ(lines[12], "200");
    EXPECT_EQ(lines[17], "40");
    EXPECT_EQ(lines[18], "120");
    EXPECT_EQ(lines[19], "!");
    EXPECT_EQ(lines[20], "1234");
    EXPECT_EQ(lines[21], QString::number(State().ReconnectAttempts));
}

TEST_F(SettingsWindowTest, TheModeBoxesShowTheModesAsOfTheLastOpening)
{
    files.Write("settings.conf",
        "\r\n6667\r\nTessarin\r\n#name\r\nNick\r\n0\r\n0\r\n0\r\n1\r\n1\r\n0\r\n10000\r\n60000\r\n120000\r\n"
        "0\r\n1\r\n1\r\n");
    window = std::make_unique<app::TForm1>(files.Path());
    window->show();
    State().MeowthActive = true;
    Click(window->SettingsButton);
    app::TForm4& settings = *window->Settings;
    EXPECT_TRUE(settings.DicerollanBox->isChecked());
    EXPECT_FALSE(settings.SilentBox->isChecked());
    EXPECT_TRUE(settings.TeamrocketingBox->isChecked()) << "the box is the Meowth role";

    // A mode changed by a command shows at the next opening only.
    State().Silent = true;
    EXPECT_FALSE(settings.SilentBox->isChecked());
    Click(window->SettingsButton);
    EXPECT_TRUE(settings.SilentBox->isChecked());

    // Clearing "teamrocketing" ends the Meowth role and leaves the mode alone.
    ClickCheckBox(settings.TeamrocketingBox);
    EXPECT_FALSE(State().MeowthActive);
    EXPECT_TRUE(State().Teamrocketing);
    ClickCheckBox(settings.DicerollanBox);
    EXPECT_FALSE(State().Dicerollan);
}

TEST_F(SettingsWindowTest, PrivilegeBoxesAndNickListsChangeTheirSettings)
{
    files.Write("previleged.conf", "Ally\r\n");
    app::TForm4& settings = OpenSettings();
    EXPECT_TRUE(settings.QuitBox->isChecked());
    EXPECT_TRUE(settings.BeBox->isChecked());
    EXPECT_FALSE(settings.HowBox->isChecked());
    ClickCheckBox(settings.HowBox);
    EXPECT_TRUE(State().PrivilegedHow);
    ClickCheckBox(settings.QuitBox);
    EXPECT_FALSE(State().PrivilegedQuit);

    app::NickListEditor& privileged = *settings.PrivilegedUsers;
    ASSERT_EQ(privileged.List->count(), 1);
    EXPECT_EQ(privileged.List->item(0)->text(), "Ally");
    // Add takes the text as it is, a repeated or empty one too.
    TypeInto(privileged.NickEdit, "Bard");
    Click(privileged.AddButton);
    Click(privileged.AddButton);
    TypeInto(privileged.NickEdit, "");
    Click(privileged.AddButton);
    EXPECT_EQ(State().PrivilegedUsers, QStringList({ "Ally", "Bard", "Bard", "" }));
    // Delete without a selection does nothing.
    Click(privileged.DeleteButton);
    EXPECT_EQ(State().PrivilegedUsers.size(), 4);
    ClickRow(privileged.List, 1);
    Click(privileged.DeleteButton);
    EXPECT_EQ(State().PrivilegedUsers, QStringList({ "Ally", "Bard", "" }));
    EXPECT_EQ(privileged.List->count(), 3);

    ASSERT_TRUE(window->close());
    EXPECT_EQ(files.Read("previleged.conf"), "Ally\r\nBard\r\n\r\n");
    EXPECT_EQ(files.Read("banned.conf"), "");
}

// Each update button reads its folder again and says in the command log whether it could.
struct UpdateButtonCase {
    const char* folder;
    QPushButton* app::TForm4::*button;
    const char* updated;
    const char* failed;
};

const UpdateButtonCase UpdateButtons[] = {
    { "custom", &app::TForm4::CustomFilesButton, "Updated the list of custom random generation files.",
        "Error updating the list of custom random generation files." },
    { "aliases", &app::TForm4::AliasesButton, "Updated the list of alias files.",
        "Error updating the list of alias files." },
};

TEST_F(SettingsWindowTest, TheUpdateButtonsLogWhetherTheirFolderCouldBeRead)
{
    app::TForm4& settings = OpenSettings();
    const auto lastLogLine = [this] { return window->CommandLogView->toPlainText().split(u'\n').last(); };
    for (const UpdateButtonCase& row : UpdateButtons) {
        SCOPED_TRACE(row.folder);
        QPushButton* button = settings.*row.button;
        // No folder at all is nothing to read, not a failure.
        Click(button);
        EXPECT_EQ(lastLogLine(), row.updated);

        files.Write(row.folder, "a file where the folder belongs");
        Click(button);
        EXPECT_EQ(lastLogLine(), row.failed);

        QFile::remove(files.PathOf(row.folder));
        files.Write(QString::fromUtf8(row.folder) + "/omen.txt", ",roll 1d6\r\n");
        Click(button);
        EXPECT_EQ(lastLogLine(), row.updated);
    }

    // An alias file that cannot be read fails the aliases too.
    ASSERT_TRUE(QFile::link(files.PathOf("aliases/nowhere"), files.PathOf("aliases/broken.txt")));
    Click(settings.AliasesButton);
    EXPECT_EQ(lastLogLine(), "Error updating the list of alias files.");
}

TEST_F(SettingsWindowTest, ReplyPhraseBoxesAreThePhrasesFromTheFileOnward)
{
    files.Write("messages.conf", "What?\r\nBanned!\r\n");
    window = std::make_unique<app::TForm1>(files.Path());
    window->show();
    QTest::mouseClick(window->RepliesButton, Qt::LeftButton);
    app::TForm3& replies = *window->Replies;
    EXPECT_EQ(replies.windowTitle(), "Command reply setup");
    EXPECT_EQ(replies.PhraseEdits[0]->text(), "What?");
    EXPECT_EQ(replies.PhraseEdits[1]->text(), "Banned!");
    EXPECT_EQ(replies.PhraseEdits[9]->text(), "Come on, I just told you everything.");

    TypeInto(replies.PhraseEdits[core::HelpTimeoutReply], "Patience.");
    EXPECT_EQ(State().Phrase(core::HelpTimeoutReply), "Patience.");
    ASSERT_TRUE(window->close());
    const QStringList lines = QString::fromUtf8(files.Read("messages.conf")).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], "What?");
    EXPECT_EQ(lines[9], "Patience.");
    EXPECT_EQ(lines[10], "Hello, daddy. I'm here and ready to accept your commands!");
}

} // namespace
