#pragma once

// The settings window.

#include "commands/bot.h"
#include "core/connection.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

namespace app {

// A list of nicks with a box for the nick to add and its Add and Delete buttons, bound to one of the
// bot's nick lists: Add appends the box's text as it is (empty and repeated entries too), Delete removes
// the selected entry.
class NickListEditor : public QGroupBox {
    Q_OBJECT
public:
    // Requires: nicks outlives the editor.
    NickListEditor(const QString& title, QStringList& nicks, QWidget* parent = nullptr);

    // Shows the list as it now is.
    void ShowList();

    QListWidget* List;
    QLineEdit* NickEdit;
    QPushButton* AddButton;
    QPushButton* DeleteButton;

private:
    QStringList& m_nicks;
};

// Every setting the operator may change while the bot runs, each control bound to its setting: a change is
// stored at once and takes effect at once (a timeout restarts its timer with the new interval, the attempt
// count resets the reconnect counter). Closing the window only hides it.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    // Requires: bot and connection outlive the window. The controls start with the bot's settings.
    TForm4(commands::Bot& bot, core::Connection& connection, QWidget* parent = nullptr);

    // Sets the three mode boxes from the bot's modes; the main window does this whenever it opens the
    // window, and only then.
    void ShowModes();
    // Shows the command character again after a command changed it.
    void ShowCommandChar();
    // The number of log lines is fixed by the first connection of a run.
    void LockLogLines();

    QCheckBox* JoinBox;
    QCheckBox* PartBox;
    QCheckBox* SayBox;
    QCheckBox* QuitBox;
    QCheckBox* BeBox;
    QCheckBox* HowBox;
    QSpinBox* HelpTimeoutBox;
    QSpinBox* SayTimeoutBox;
    QSpinBox* LastTimeoutBox;
    NickListEditor* PrivilegedUsers;
    NickListEditor* BannedUsers;
    QLineEdit* CommandCharEdit;
    QSpinBox* LineWidthBox;
    QSpinBox* LogLinesBox;
    QCheckBox* DicerollanBox;
    QCheckBox* SilentBox;
    QCheckBox* TeamrocketingBox;
    QSpinBox* ReconnectTimeoutBox;
    QSpinBox* AttemptsBox;
    QPushButton* CustomFilesButton;
    QPushButton* AliasesButton;

private:
    QGroupBox* MakePrivilegeGroup();
    QGroupBox* MakeTimeoutGroup();
    QGroupBox* MakeModeGroup();
    QGroupBox* MakeReconnectGroup();
    QGroupBox* MakeUpdateGroup();

    commands::Bot& m_bot;
    core::BotState& m_state;
    core::Connection& m_connection;
};

} // namespace app
