#pragma once

// The message window.

#include "core/commandlog.h"
#include "irc/sender.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

namespace app {

// Sends a message in the bot's name to a channel or a user. The message's lines are joined without
// anything between them; a failure is written to the command log. Closing the window only hides it.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    // pickChannel names the channel selected in the main window's channel list (selecting the last one
    // when none is), or an empty text when the bot is on none; it fills an empty target when the operator
    // enters the message box. Requires: out and log outlive the window.
    TForm5(irc::Sender& out, core::CommandLog& log, std::function<QString()> pickChannel,
        QWidget* parent = nullptr);

    QLineEdit* TargetEdit;
    QPlainTextEdit* MessageEdit;
    // Enabled while the bot is connected (or about to reconnect).
    QPushButton* SendButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Send();

    irc::Sender& m_out;
    core::CommandLog& m_log;
    std::function<QString()> m_pickChannel;
};

} // namespace app
