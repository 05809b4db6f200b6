#pragma once

// What the window tests share: an ngircd on a port the main window's port box can take, and the operator's
// gestures (typing into a box, clicking a list row) as QTest events.

#include "app/mainwindow.h"
#include "support/ngircd.h"
#include "support/waitfor.h"

#include <QRandomGenerator>
#include <QStyleOptionButton>
#include <QTcpServer>
#include <QTest>
#include <QWindow>

namespace testing_support {

// A free loopback port from 20000 up to the highest port the port box accepts (the system's own picks lie
// above it).
inline quint16 FreeWindowPort()
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port = static_cast<quint16>(QRandomGenerator::global()->bounded(20000, 32001));
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, port))
            return port;
    }
    return 0;
}

// Replaces a box's text as the operator does: select everything, type the new text.
inline void TypeInto(QWidget* box, const QString& text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

// Replaces a number box's value by typing it.
inline void TypeNumber(QWidget* box, int value)
{
    TypeInto(box, QString::number(value));
}

// Types a number box's value and presses Enter, which is when a settings box takes it.
inline void EnterNumber(QWidget* box, int value)
{
    TypeNumber(box, value);
    QTest::keyClick(box, Qt::Key_Return);
}

// Clicks a check box on its indicator (a box may be wider than its caption, and a click beside the
// caption does nothing).
inline void ClickCheckBox(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

inline void ClickRow(QListWidget* list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// Waits until window is the active window (QTest's own wait also accepts a window whose parent is).
inline bool WaitForActive(QWidget* window)
{
    window->activateWindow();
    return WaitFor([window] { return QApplication::activeWindow() == window; });
}

// Minimises a window the way its title-bar button does: through the window system, which then tells the
// widget.
inline bool MinimiseWithTitleBar(QWidget* window)
{
    window->windowHandle()->showMinimized();
    return WaitFor([window] { return window->isMinimized(); });
}

inline bool LogHas(const app::TForm1& window, const QString& text)
{
    return window.CommandLogView->toPlainText().contains(text);
}

// Lines of the command log that start with text.
inline qsizetype LogLinesStarting(const app::TForm1& window, const QString& text)
{
    qsizetype count = 0;
    for (const QString& line : window.CommandLogView->toPlainText().split(u'\n'))
        count += line.startsWith(text) ? 1 : 0;
    return count;
}

// Types the server's address and port into the main window, clicks Connect and waits until the server
// has accepted the bot.
inline bool ConnectFromWindow(app::TForm1& window, quint16 port)
{
    TypeInto(window.AddressEdit, QStringLiteral("127.0.0.1"));
    TypeNumber(window.PortBox, port);
    QTest::mouseClick(window.ConnectButton, Qt::LeftButton);
    return WaitFor([&] { return window.Client().CurrentState() == irc::TIrcClient::State::Connected; });
}

// Joins a channel through the Join box and Enter, and waits until the bot is on it.
inline bool JoinFromWindow(app::TForm1& window, const QString& channel)
{
    TypeInto(window.JoinBox, channel);
    QTest::keyClick(window.JoinBox, Qt::Key_Return);
    return WaitFor([&] { return window.Bot().State().CurrentChannels.contains(channel); });
}

} // namespace testing_support
