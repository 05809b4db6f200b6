// The cost of one channel message through the whole pipeline (log, seen tracker, recognition, dispatch,
// reply formatting), with 100, 10,000 and 100,000 tracked users: it should not grow with the users. The
// "Written" runs add the message's share of writing the store: its changes are written and committed after
// every thousand messages, a busy second's worth.

#include "bench/figures.h"
#include "commands/bot.h"
#include "core/seentracker.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

class DiscardingSender final : public irc::Sender {
public:
    bool Say(const QString&, const QString& text) override { return Consume(text); }
    bool Notice(const QString&, const QString& text) override { return Consume(text); }
    bool Action(const QString&, const QString& text) override { return Consume(text); }
    bool Join(const QString&) override { return true; }
    bool Part(const QString&) override { return true; }
    void SetNick(const QString&) override { }
    void Disconnect() override { }

private:
    bool Consume(const QString& text)
    {
        benchmark::DoNotOptimize(text.size());
        return true;
    }
};

class EmptyRoster final : public irc::ChannelRoster {
public:
    QStringList NicksOn(const QString&) const override { return {}; }
};

// The same channels whatever the number of users, so that only the tracker grows.
constexpr int Channels = 100;

void Message(benchmark::State& run, const char* line, bool written = false)
{
    const int users = static_cast<int>(run.range(0));
    QTemporaryDir files;
    DiscardingSender out;
    EmptyRoster roster;
    core::SystemClock clock;
    commands::Bot bot(files.path(), out, roster, clock);
    bot.Start();
    for (int i = 0; i < users; ++i) {
        bot.OnChannelUpdate(QStringLiteral("#c%1").arg(i % Channels), core::ChannelEvent::Joined,
            QStringLiteral("user%1").arg(i));
    }
    const QString text = QString::fromLatin1(line);
    // Senders picked across the whole list, prepared ahead so that only the bot's work is measured.
    QList<std::pair<QString, QString>> senders;
    for (int k = 0; k < 4096; ++k) {
        const int user = static_cast<int>((k * 7919LL) % users);
        senders.append({ QStringLiteral("user%1").arg(user), QStringLiteral("#c%1").arg(user % Channels) });
    }
    qsizetype next = 0;
    for (auto _ : run) {
        const auto& [nick, channel] = senders[next];
        next = (next + 1) % senders.size();
        bot.OnMessage(nick, channel, text);
        if (written && next % 1000 == 0)
            bot.Kept().Flush();
    }
    run.SetItemsProcessed(run.iterations());
}

void PlainLine(benchmark::State& run)
{
    Message(run, "I open the door and step into the dark hall.");
}

void RollCommand(benchmark::State& run)
{
    Message(run, ",roll 3d6");
}

void PlainLineWritten(benchmark::State& run)
{
    Message(run, "I open the door and step into the dark hall.", true);
}

void RollCommandWritten(benchmark::State& run)
{
    Message(run, ",roll 3d6", true);
}

BENCHMARK(PlainLine)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RollCommand)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainLineWritten)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RollCommandWritten)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return bench::RunWithFigures(argc, argv);
}
