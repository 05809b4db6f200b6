// The main window as the operator meets it without a server: its start, the default button, the hidden
// generator test button, the tray and the closing of the program.

#include "app/mainwindow.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/waitfor.h"
#include "windowsupport.h"

#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testing_support::MinimiseWithTitleBar;
using testing_support::TempFiles;
using testing_support::TypeInto;
using testing_support::WaitFor;
using testing_support::WaitForActive;

class MainWindowTest : public ::testing::Test {
protected:
    TempFiles files;
    std::unique_ptr<app::TForm1> window;

    app::TForm1& Open()
    {
        window = std::make_unique<app::TForm1>(files.Path());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    QStringList SettingsLines() const
    {
        return QString::fromUtf8(files.Read("settings.conf")).split(QStringLiteral("\r\n"));
    }
};

TEST_F(MainWindowTest, StartsWithTheDefaultsAndConnectAsTheDefaultButton)
{
    app::TForm1& form = Open();
    EXPECT_EQ(form.windowTitle(), "Tessarin Bot");
    EXPECT_EQ(form.size(), QSize(385, 522));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.AddressEdit->text(), "");
    EXPECT_EQ(form.PortBox->value(), 6667);
    EXPECT_EQ(form.NickEdit->text(), "Tessarin");
    EXPECT_EQ(form.JoinBox->currentText(), "#name");
    EXPECT_EQ(form.OwnerEdit->text(), "Nick");
    EXPECT_TRUE(form.AutoReconnectBox->isChecked());
    EXPECT_FALSE(form.JoinButton->isEnabled());
    EXPECT_FALSE(form.LeaveButton->isEnabled());
    EXPECT_FALSE(form.Messages->SendButton->isEnabled());
    EXPECT_TRUE(form.GeneratorTestButton->isHidden());
    EXPECT_EQ(form.DefaultButton(), form.ConnectButton);
    EXPECT_TRUE(form.ConnectButton->isDefault());
    for (QWidget* other :
        std::initializer_list<QWidget*> { form.Settings, form.Replies, form.Messages, form.GeneratorTest })
        EXPECT_FALSE(other->isVisible());
}

TEST_F(MainWindowTest, ItsBoxesAreTheLoadedSettingsAndEditsAreSavedAtClose)
{
    files.Write("settings.conf", "irc.example.net\r\n7000\r\nDicebot\r\n#tavern\r\nGameMaster\r\n");
    files.Write("favorite_channels.conf", "#dice\r\n#tavern\r\n");
    app::TForm1& form = Open();
    EXPECT_EQ(form.AddressEdit->text(), "irc.example.net");
    EXPECT_EQ(form.PortBox->value(), 7000);
    EXPECT_EQ(form.NickEdit->text(), "Dicebot");
    EXPECT_EQ(form.OwnerEdit->text(), "GameMaster");
    ASSERT_EQ(form.JoinBox->count(), 2);
    EXPECT_EQ(form.JoinBox->itemText(0), "#dice");
    EXPECT_EQ(form.JoinBox->currentText(), "#tavern") << "the favourites do not replace the Join box's text";

    TypeInto(form.AddressEdit, "irc.libera.chat");
    testing_support::TypeNumber(form.PortBox, 6697);
    TypeInto(form.OwnerEdit, "Keeper");
    TypeInto(form.JoinBox, "#crypt");
    EXPECT_EQ(form.Bot().State().ServerAddress, "irc.libera.chat");
    EXPECT_EQ(form.Bot().State().OwnerNick, "Keeper");

    QSignalSpy finished(&form, &app::TForm1::Finished);
    EXPECT_TRUE(form.close());
    EXPECT_EQ(finished.count(), 1);
    const QStringList lines = SettingsLines();
    ASSERT_GE(lines.size(), 22);
    EXPECT_EQ(lines.mid(0, 5), QStringList({ "irc.libera.chat", "6697", "Dicebot", "#crypt", "Keeper" }));
}

TEST_F(MainWindowTest, TypingInTheJoinBoxAndClickingTheListMoveTheDefaultButton)
{
    app::TForm1& form = Open();
    QTest::keyClicks(form.JoinBox, "d");
    EXPECT_EQ(form.DefaultButton(), form.JoinButton);
    EXPECT_TRUE(form.JoinButton->isDefault());
    EXPECT_FALSE(form.ConnectButton->isDefault());
    EXPECT_EQ(form.Bot().State().ChannelToJoin, "#named");

    QTest::mouseClick(form.ChannelList->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(form.DefaultButton(), form.LeaveButton);
    EXPECT_FALSE(form.JoinButton->isDefault());

    // Enter presses a default button only while it is enabled: unconnected, Leave does nothing.
    QTest::keyClick(form.ChannelList, Qt::Key_Return);
    EXPECT_FALSE(testing_support::LogHas(form, "Unable"));
}

TEST_F(MainWindowTest, TheJoinBoxTakesTheChannelColumnsWidthAndShowsANameWhole)
{
    app::TForm1& form = Open();
    EXPECT_EQ(form.JoinBox->geometry().left(), form.JoinButton->geometry().left());
    EXPECT_EQ(form.JoinBox->width(), form.JoinButton->width());
    EXPECT_EQ(form.JoinBox->width(), form.ChannelList->width());

    // Typed whole, the name is not scrolled: the cursor at its end lies past all of its letters.
    const QString name = QStringLiteral("#shadowrun-rpg");
    TypeInto(form.JoinBox, name);
    QLineEdit* edit = form.JoinBox->lineEdit();
    edit->repaint(); // a line edit scrolls its text when it paints
    const QRect cursor = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_GE(cursor.center().x(), edit->fontMetrics().horizontalAdvance(name));

    // The room is not taken from the captions of the buttons beside it.
    for (QPushButton* button : form.findChildren<QPushButton*>()) {
        if (!button->isVisible())
            continue;
        SCOPED_TRACE(button->text().toStdString());
        EXPECT_GT(button->width(), button->fontMetrics().horizontalAdvance(button->text()));
    }
}

TEST_F(MainWindowTest, DoubleClickingTheBackgroundTogglesTheGeneratorTestButton)
{
    app::TForm1& form = Open();
    const QPoint background(2, 2);
    ASSERT_EQ(form.childAt(background), nullptr);
    QTest::mouseDClick(&form, Qt::LeftButton, Qt::NoModifier, background);
    ASSERT_TRUE(form.GeneratorTestButton->isVisible());
    EXPECT_EQ(form.GeneratorTestButton->text(), "Random generator test");
    QTest::mouseClick(form.GeneratorTestButton, Qt::LeftButton);
    EXPECT_TRUE(form.GeneratorTest->isVisible());

    // A double-click on a control's group is not one on the background.
    QWidget* group = form.OwnerEdit->parentWidget();
    QTest::mouseDClick(group, Qt::LeftButton, Qt::NoModifier, QPoint(2, group->height() - 2));
    EXPECT_TRUE(form.GeneratorTestButton->isVisible());

    QTest::mouseDClick(&form, Qt::LeftButton, Qt::NoModifier, background);
    EXPECT_FALSE(form.GeneratorTestButton->isVisible());
}

TEST_F(MainWindowTest, MinimisingGoesToTheTrayAndTheIconBringsTheWindowBack)
{
    app::TForm1& form = Open();
    form.SetTrayAvailable(true);
    EXPECT_EQ(form.TrayIcon->toolTip(), "Tessarin DH IRC Bot v.1.4.ALPHA");
    EXPECT_FALSE(form.TrayIcon->isVisible());

    form.showMinimized();
    ASSERT_TRUE(WaitFor([&] { return !form.isVisible(); }, 5000));
    EXPECT_TRUE(form.TrayIcon->isVisible());
    Q_EMIT form.TrayIcon->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isMinimized());
    EXPECT_FALSE(form.TrayIcon->isVisible());

    form.showMinimized();
    ASSERT_TRUE(WaitFor([&] { return !form.isVisible(); }, 5000));
    ASSERT_EQ(form.TrayMenu->actions().size(), 2);
    EXPECT_EQ(form.TrayMenu->actions().at(0)->text(), "Show");
    EXPECT_EQ(form.TrayMenu->actions().at(1)->text(), "Exit");
    form.ShowAction->trigger();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.TrayIcon->isVisible());
}

// Each tool window with the main window's button that shows it; the generator test's button is shown
// first by a double-click on the background.
std::vector<std::pair<QPushButton*, QWidget*>> ToolWindows(app::TForm1& form)
{
    if (form.GeneratorTestButton->isHidden())
        QTest::mouseDClick(&form, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    return { { form.SettingsButton, form.Settings }, { form.RepliesButton, form.Replies },
        { form.MessageButton, form.Messages }, { form.GeneratorTestButton, form.GeneratorTest } };
}

TEST_F(MainWindowTest, AToolWindowMinimisedOnItsOwnComesBackWithItsButton)
{
    app::TForm1& form = Open();
    for (const auto& [button, tool] : ToolWindows(form)) {
        SCOPED_TRACE(tool->windowTitle().toStdString());
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tool));
        ASSERT_TRUE(MinimiseWithTitleBar(tool));

        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(tool->windowState() & Qt::WindowMinimized);
        EXPECT_TRUE(tool->isVisible());
        EXPECT_TRUE(WaitForActive(tool));
    }
}

TEST_F(MainWindowTest, BackFromTheTrayTheMinimisedToolWindowsComeBackAndClosedOnesStayClosed)
{
    app::TForm1& form = Open();
    form.SetTrayAvailable(true);
    for (const auto& [button, tool] : ToolWindows(form))
        QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(MinimiseWithTitleBar(form.Settings));
    ASSERT_TRUE(MinimiseWithTitleBar(form.GeneratorTest));
    form.Messages->close();

    form.showMinimized();
    ASSERT_TRUE(WaitFor([&] { return !form.isVisible(); }, 5000));
    Q_EMIT form.TrayIcon->activated(QSystemTrayIcon::Trigger);
    for (QWidget* tool :
        std::initializer_list<QWidget*> { form.Settings, form.Replies, form.GeneratorTest }) {
        SCOPED_TRACE(tool->windowTitle().toStdString());
        EXPECT_TRUE(tool->isVisible());
        EXPECT_FALSE(tool->windowState() & Qt::WindowMinimized);
    }
    EXPECT_FALSE(form.Messages->isVisible());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isMinimized());
    // As before the main window went to the tray, a tool window the operator was working in is in front.
    EXPECT_TRUE(WaitFor([&] {
        const QWidget* active = QApplication::activeWindow();
        return active == form.Settings || active == form.GeneratorTest;
    }));
}

TEST_F(MainWindowTest, WithoutANotificationAreaMinimisingIsOrdinary)
{
    app::TForm1& form = Open();
    form.SetTrayAvailable(false);
    form.showMinimized();
    testing_support::RunEventsFor(100);
    EXPECT_TRUE(form.isVisible()) << "the window must stay reachable";
    EXPECT_TRUE(form.isMinimized());
    EXPECT_FALSE(form.TrayIcon->isVisible());
}

TEST_F(MainWindowTest, ExitFromTheTrayWritesNothingAndClosingWritesTheFiles)
{
    files.Write("settings.conf", "irc.example.net\r\n");
    app::TForm1& form = Open();
    TypeInto(form.OwnerEdit, "Keeper");
    QSignalSpy exited(&form, &app::TForm1::ExitChosen);
    QSignalSpy finished(&form, &app::TForm1::Finished);
    form.ExitAction->trigger();
    EXPECT_EQ(exited.count(), 1);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(files.Read("settings.conf"), "irc.example.net\r\n");
    EXPECT_TRUE(files.Read("messages.conf").isEmpty());

    form.Replies->show();
    EXPECT_TRUE(form.close());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(form.Replies->isVisible()) << "the program's other windows close with it";
    EXPECT_EQ(SettingsLines().value(4), "Keeper");
    EXPECT_FALSE(files.Read("messages.conf").isEmpty());
}

TEST_F(MainWindowTest, AFailedWriteAtCloseIsShownAndTheProgramGoesOn)
{
    QDir(files.Path()).mkdir("settings.conf");
    app::TForm1& form = Open();
    QSignalSpy finished(&form, &app::TForm1::Finished);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(finished.count(), 0);
    auto* box = form.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->text().contains("settings.conf")) << box->text().toStdString();
    EXPECT_FALSE(form.Bot().State().AutoReconnect);

    // Once there is room, closing again writes the files.
    box->accept();
    QDir(files.Path()).rmdir("settings.conf");
    EXPECT_TRUE(form.close());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(SettingsLines().size(), 23);
}

} // namespace
