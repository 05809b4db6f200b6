#pragma once

// The main window.

#include "app/generatortestwindow.h"
#include "app/messagewindow.h"
#include "app/replyphrasewindow.h"
#include "app/settingswindow.h"
#include "commands/bot.h"
#include "common/version.h"
#include "core/clock.h"
#include "core/connection.h"
#include "irc/ircclient.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QMenu;
QT_END_NAMESPACE

namespace app {

// The operator's console. It owns the whole bot (its state, the IRC client, the connection and the other
// windows), holds the server and owner settings in boxes that are the live settings, the connect and
// channel controls and the command log. Minimised it goes to the tray; closing it disconnects, writes the
// configuration files and then announces Finished.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 385;
    static constexpr int ClientHeight = 522;
    static inline const QString TrayToolTip = QStringLiteral("Tessarin DH IRC Bot v.") + common::VersionText;

    // Loads the bot from filesDir (settings files, custom files and aliases) and creates every window;
    // none is shown yet.
    explicit TForm1(const QString& filesDir, QWidget* parent = nullptr);
    ~TForm1() override;

    commands::Bot& Bot() { return m_bot; }
    irc::TIrcClient& Client() { return m_client; }
    core::Connection& Link() { return m_connection; }

    // Whether minimising goes to the tray; true where the desktop has a notification area.
    void SetTrayAvailable(bool available) { m_trayAvailable = available; }

    // The channel selected in the channel list; when none is, the last channel of the list is selected
    // first. Empty when the bot is on no channel.
    QString PickChannel();

    // The button that Enter presses.
    QPushButton* DefaultButton() const { return m_defaultButton; }

    QLineEdit* AddressEdit;
    QSpinBox* PortBox;
    QLineEdit* NickEdit;
    QCheckBox* AutoReconnectBox;
    QPushButton* ConnectButton;
    QPushButton* DisconnectButton;
    QComboBox* JoinBox;
    QPushButton* JoinButton;
    QListWidget* ChannelList;
    QPushButton* LeaveButton;
    QLineEdit* OwnerEdit;
    QPushButton* SettingsButton;
    QPushButton* RepliesButton;
    QPushButton* MessageButton;
    QPlainTextEdit* CommandLogView;
    QPushButton* GeneratorTestButton;
    QSystemTrayIcon* TrayIcon;
    QMenu* TrayMenu;
    QAction* ShowAction;
    QAction* ExitAction;

    TForm3* Replies;
    TForm4* Settings;
    TForm5* Messages;
    TForm6* GeneratorTest;

Q_SIGNALS:
    // The window was closed and the files were written: the program ends.
    void Finished();
    // "Exit" was chosen from the tray menu: the program ends at once, writing nothing.
    void ExitChosen();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeServerGroup();
    QWidget* MakeChannelGroup();
    QWidget* MakeOwnerGroup();
    QWidget* MakeSettingsGroup();
    void MakeTray();
    void MakeWindows();
    void WireBot();

    void Disconnect();
    void Join();
    void Leave();
    void SetDefaultButton(QPushButton* button);
    void SetConnectedControls(bool enabled);
    void AfterDisconnection();
    void ShowChannels();
    // Shows a tool window restored, raised and active.
    void ShowWindow(QWidget* window);
    QList<QWidget*> ToolWindows() const;
    void GoToTray();
    void RestoreFromTray();

    core::SystemClock m_clock;
    irc::TIrcClient m_client;
    commands::Bot m_bot;
    core::BotState& m_state;
    core::Connection m_connection;
    QPushButton* m_defaultButton = nullptr;
    bool m_trayAvailable;
};

} // namespace app
