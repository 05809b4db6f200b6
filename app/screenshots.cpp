// Takes a picture of each of the operator's windows for the documentation. tools/screenshots.sh runs it on
// a virtual X display with a local IRC server, so that the main window shows a real session.
//
//   tessarin_screenshots OUTDIR [HOST:PORT]

#include "app/mainwindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

template <typename Condition> bool WaitFor(Condition done, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

int Fail(const char* message)
{
    std::fprintf(stderr, "tessarin_screenshots: %s\n", message);
    return 1;
}

bool JoinFromWindow(app::TForm1& window, const QString& channel)
{
    window.JoinBox->setEditText(channel);
    window.JoinButton->click();
    return WaitFor([&] { return window.Bot().State().CurrentChannels.contains(channel); });
}

bool Save(QWidget* window, const QDir& out, const QString& name)
{
    window->show();
    WaitFor([] { return false; }, 300);
    return window->grab().save(out.filePath(name));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return Fail("usage: tessarin_screenshots OUTDIR [HOST:PORT]");
    const QDir out(arguments.at(1));
    if (!QDir().mkpath(out.path()))
        return Fail("cannot create the output folder");

    QTemporaryDir files;
    app::TForm1 window(files.path());
    window.move(40, 40);
    window.show();
    window.OwnerEdit->setText(QStringLiteral("GameMaster"));

    if (arguments.size() >= 3) {
        const QString server = arguments.at(2);
        window.AddressEdit->setText(server.section(u':', 0, 0));
        window.PortBox->setValue(server.section(u':', 1).toInt());
        bool registered = false;
        QObject::connect(&window.Client(), &irc::TIrcClient::OnRegistered, [&] { registered = true; });
        window.ConnectButton->click();
        if (!WaitFor([&] { return registered; }))
            return Fail("the bot did not get onto the server");
        if (!JoinFromWindow(window, QStringLiteral("#tavern"))
            || !JoinFromWindow(window, QStringLiteral("#dice")))
            return Fail("the bot could not join its channels");
        window.ChannelList->setCurrentRow(1);
    }

    window.Settings->ShowModes();
    window.GeneratorTest->RunTest();
    window.Messages->TargetEdit->setText(QStringLiteral("#dice"));
    window.Messages->MessageEdit->setPlainText(QStringLiteral("The session starts at eight tonight."));

    const bool saved = Save(&window, out, QStringLiteral("main-window.png"))
        && Save(window.Settings, out, QStringLiteral("settings-window.png"))
        && Save(window.Replies, out, QStringLiteral("reply-phrase-window.png"))
        && Save(window.Messages, out, QStringLiteral("message-window.png"))
        && Save(window.GeneratorTest, out, QStringLiteral("generator-test-window.png"));
    if (!saved)
        return Fail("a picture could not be saved");
    // Leaves the server the way the program does when its window is closed.
    window.close();
    return 0;
}
