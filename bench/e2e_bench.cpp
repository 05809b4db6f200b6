// End-to-end figures through a real ngircd on the loopback address: a load client sends ",roll 3d6" to
// the headless bot at fixed rates and measures replies per second, lost replies and round-trip latency;
// the same round trip without the bot (a client messaging itself) is the floor. Then the bot's memory:
// resident when idle, and what tracking 100,000 users across 1,000 channels costs.

#include "commands/bot.h"
#include "core/seentracker.h"
#include "support/ircdaemon.h"
#include "support/ngircd.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

using testing_support::TestIrcClient;
using testing_support::WaitFor;

struct RunFigures {
    int Sent = 0;
    int Received = 0;
    double RepliesPerSecond = 0;
    double P50Ms = 0;
    double P95Ms = 0;
    double P99Ms = 0;
    double BotCpuMsPerReply = -1;
};

double Percentile(std::vector<qint64> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return static_cast<double>(values[index]) / 1e6;
}

// CPU time a process has used, in milliseconds.
double CpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
    // After the command name: state is field 3, utime 14 and stime 15 (1-based over the whole line).
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double StatusKb(qint64 pid, const char* key)
{
    QFile status(pid > 0 ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble();
    }
    return -1;
}

// Sends total lines made by line(k) at rate per second, and waits for the answers that echo(k) would
// find, up to three seconds after the last line went out.
RunFigures Measure(TestIrcClient& client, const QElapsedTimer& clock, int rate, int total,
    const std::function<QByteArray(int)>& line, const QByteArray& marker, qint64 botPid)
{
    std::vector<qint64> sentAt(static_cast<std::size_t>(total), -1);
    std::vector<qint64> latencies;
    qint64 firstSend = -1;
    qint64 lastReply = -1;
    client.OnLine = [&](const QByteArray& text) {
        const qint64 at = clock.nsecsElapsed();
        const qsizetype found = text.indexOf(marker);
        if (found < 0)
            return;
        const qsizetype from = found + marker.size();
        qsizetype to = from;
        while (to < text.size() && text.at(to) >= '0' && text.at(to) <= '9')
            ++to;
        bool ok = false;
        const int k = text.mid(from, to - from).toInt(&ok);
        if (!ok || k < 0 || k >= total || sentAt[static_cast<std::size_t>(k)] < 0)
            return;
        latencies.push_back(at - sentAt[static_cast<std::size_t>(k)]);
        sentAt[static_cast<std::size_t>(k)] = -1;
        lastReply = at;
    };

    const double cpuBefore = botPid > 0 ? CpuMs(botPid) : -1;
    int sent = 0;
    QTimer pacer;
    pacer.setTimerType(Qt::PreciseTimer);
    pacer.setInterval(1);
    QObject::connect(&pacer, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (firstSend < 0)
            firstSend = now;
        const auto due = static_cast<int>(
            std::min<double>(total, static_cast<double>(now - firstSend) * rate / 1e9 + 1));
        QByteArray batch;
        for (; sent < due; ++sent) {
            sentAt[static_cast<std::size_t>(sent)] = now;
            batch += line(sent) + "\r\n";
        }
        if (!batch.isEmpty())
            client.Send(batch.chopped(2));
        if (sent == total)
            pacer.stop();
    });
    pacer.start();
    WaitFor([&] { return sent == total; }, total * 1000 / rate + 10000);
    WaitFor([&] { return static_cast<int>(latencies.size()) == total; }, 3000);
    client.OnLine = nullptr;

    RunFigures figures;
    figures.Sent = sent;
    figures.Received = static_cast<int>(latencies.size());
    if (lastReply > firstSend)
        figures.RepliesPerSecond = figures.Received * 1e9 / static_cast<double>(lastReply - firstSend);
    figures.P50Ms = Percentile(latencies, 0.50);
    figures.P95Ms = Percentile(latencies, 0.95);
    figures.P99Ms = Percentile(latencies, 0.99);
    if (botPid > 0 && figures.Received > 0)
        figures.BotCpuMsPerReply = (CpuMs(botPid) - cpuBefore) / figures.Received;
    return figures;
}

class DiscardingSender final : public irc::Sender {
public:
    bool Say(const QString&, const QString&) override { return true; }
    bool Notice(const QString&, const QString&) override { return true; }
    bool Action(const QString&, const QString&) override { return true; }
    bool Join(const QString&) override { return true; }
    bool Part(const QString&) override { return true; }
    void SetNick(const QString&) override { }
    void Disconnect() override { }
};

class EmptyRoster final : public irc::ChannelRoster {
public:
    QStringList NicksOn(const QString&) const override { return {}; }
};

// Resident memory this process gains by tracking 100,000 users across 1,000 channels, in MB.
double TrackingMemoryMb()
{
    testing_support::TempFiles files;
    DiscardingSender out;
    EmptyRoster roster;
    core::SystemClock clock;
    commands::Bot bot(files.Path(), out, roster, clock);
    bot.Start();
    const double before = StatusKb(0, "VmRSS:");
    for (int i = 0; i < 100000; ++i) {
        const QString channel = QStringLiteral("#c%1").arg(i % 1000);
        const QString nick = QStringLiteral("user%1").arg(i);
        bot.OnChannelUpdate(channel, core::ChannelEvent::Joined, nick);
        bot.OnMessage(nick, channel, QStringLiteral("hello there, I just arrived"));
    }
    return (StatusKb(0, "VmRSS:") - before) / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QElapsedTimer clock;
    clock.start();

    testing_support::Ngircd server(false, 0, QStringLiteral("bench"));
    if (!server.Start()) {
        std::fprintf(stderr, "ngircd did not start: %s\n", qPrintable(server.Output()));
        return 1;
    }
    // The bot as an operator would run it, keeping its store, or not for the comparison; flood control off,
    // as the measurement is of the bot, not of its pace.
    const auto startBot = [](QProcess& bot, quint16 port, const QString& folder, const QString& nick,
                              const QString& channel, bool keep) {
        bot.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        bot.start(QStringLiteral(TESSARIN_BINARY),
            { "--headless", "--files", folder, "--server", "127.0.0.1:" + QString::number(port), "--nick",
                nick, "--join", channel, "--set", keep ? "store/keep=yes" : "store/keep=no", "--set",
                "flood/line_interval=0", "--set", "flood/burst_lines=100", "--set", "flood/burst_bytes=65536",
                "--set", "flood/queue_per_user=10000" });
        return bot.waitForStarted(10000)
            && WaitFor([&] { return bot.peek(1 << 20).contains("Joined " + channel.toUtf8()); }, 15000);
    };
    testing_support::TempFiles files;
    QProcess bot;
    if (!startBot(bot, server.Port(), files.Path(), "Benchbot", "#bench", true)) {
        std::fprintf(stderr, "the bot did not join\n");
        return 1;
    }

    TestIrcClient loader;
    if (!loader.Register(server.Port(), "Loader")) {
        std::fprintf(stderr, "the load client could not register\n");
        return 1;
    }
    // An operator lifts the server's flood limits for the load client. ngircd lets nobody lift them for
    // another user, so the bot's replies still pass its flood control.
    loader.Send("OPER bench bench");
    loader.WaitForLine(" 381 ");
    loader.Send("MODE Loader +F");
    loader.Send("JOIN #bench");
    loader.WaitForLine(" 366 ");
    WaitFor([] { return false; }, 500); // let the bot's idle state settle
    const double idleMb = StatusKb(bot.processId(), "VmRSS:") / 1024.0;

    const auto roll = [](int k) { return "PRIVMSG #bench :,roll 3d6 id" + QByteArray::number(k); };
    const auto self = [](int k) { return "PRIVMSG Loader :id" + QByteArray::number(k); };
    struct Row {
        const char* Name;
        RunFigures Figures;
    };
    std::vector<Row> rows;
    const qint64 botPid = bot.processId();
    for (const int rate : { 10, 100, 1000 }) {
        const int total = rate == 10 ? 50 : (rate == 100 ? 500 : 3000);
        rows.push_back({ rate == 10 ? "floor_10" : (rate == 100 ? "floor_100" : "floor_1000"),
            Measure(loader, clock, rate, total, self, "PRIVMSG Loader :id", 0) });
        rows.push_back({ rate == 10 ? "bot_10" : (rate == 100 ? "bot_100" : "bot_1000"),
            Measure(loader, clock, rate, total, roll, ":Loader, id", botPid) });
    }
    rows.push_back({ "bot_saturation", Measure(loader, clock, 20000, 20000, roll, ":Loader, id", botPid) });

    // What the store costs in latency: the same thousand commands a second to a bot that keeps its store
    // and to one that keeps nothing, each on a channel of its own, in rounds that alternate so that both
    // see the same load from the rest of the machine. ngircd's flood control holds the bot back now and
    // then for tens of milliseconds, which would decide the p99 by chance, so these rounds run on an
    // InspIRCd that holds nobody back.
    const std::unique_ptr<testing_support::IrcDaemon> open
        = testing_support::IrcDaemon::UnthrottledInspircd();
    if (!open->Start()) {
        std::fprintf(stderr, "inspircd did not start: %s\n", qPrintable(open->Output()));
        return 1;
    }
    testing_support::TempFiles keptFiles;
    testing_support::TempFiles otherFiles;
    QProcess kept;
    QProcess other;
    if (!startBot(kept, open->Port(), keptFiles.Path(), "Keeper", "#kept", true)
        || !startBot(other, open->Port(), otherFiles.Path(), "Nostore", "#nostore", false)) {
        std::fprintf(stderr, "the bots did not join the second server\n");
        return 1;
    }
    TestIrcClient comparer;
    if (!comparer.Register(open->Port(), "Loader")) {
        std::fprintf(stderr, "the load client could not register on the second server\n");
        return 1;
    }
    comparer.Send("JOIN #kept,#nostore");
    comparer.WaitForLine(" 366 Loader #nostore ");
    const auto keptRoll = [](int k) { return "PRIVMSG #kept :,roll 3d6 id" + QByteArray::number(k); };
    const auto otherRoll = [](int k) { return "PRIVMSG #nostore :,roll 3d6 id" + QByteArray::number(k); };
    const auto measureWithStore
        = [&] { return Measure(comparer, clock, 1000, 3000, keptRoll, ":Loader, id", kept.processId()); };
    const auto measureWithout
        = [&] { return Measure(comparer, clock, 1000, 3000, otherRoll, ":Loader, id", other.processId()); };
    rows.push_back({ "store_1000_a", measureWithStore() });
    rows.push_back({ "nostore_1000_a", measureWithout() });
    rows.push_back({ "store_1000_b", measureWithStore() });
    rows.push_back({ "nostore_1000_b", measureWithout() });
    for (QProcess* process : { &bot, &kept, &other }) {
        process->terminate();
        process->waitForFinished(10000);
    }
    const double trackingMb = TrackingMemoryMb();

    std::printf("%-16s %8s %8s %10s %8s %8s %8s %12s\n", "run", "sent", "replies", "replies/s", "p50 ms",
        "p95 ms", "p99 ms", "bot cpu ms");
    std::string json;
    for (const Row& row : rows) {
        const RunFigures& f = row.Figures;
        std::printf("%-16s %8d %8d %10.0f %8.3f %8.3f %8.3f %12.4f\n", row.Name, f.Sent, f.Received,
            f.RepliesPerSecond, f.P50Ms, f.P95Ms, f.P99Ms, f.BotCpuMsPerReply);
        char buffer[400];
        std::snprintf(buffer, sizeof buffer,
            "%s\"%s_replies_per_second\": %.0f, \"%s_lost\": %d, \"%s_p50_ms\": %.3f, \"%s_p95_ms\": %.3f, "
            "\"%s_p99_ms\": %.3f",
            json.empty() ? "" : ", ", row.Name, f.RepliesPerSecond, row.Name, f.Sent - f.Received, row.Name,
            f.P50Ms, row.Name, f.P95Ms, row.Name, f.P99Ms);
        json += buffer;
        if (f.BotCpuMsPerReply >= 0) {
            std::snprintf(
                buffer, sizeof buffer, ", \"%s_bot_cpu_ms_per_reply\": %.4f", row.Name, f.BotCpuMsPerReply);
            json += buffer;
        }
    }
    std::printf(
        "headless bot idle: %.1f MB resident; tracking 100,000 users across 1,000 channels: +%.1f MB\n",
        idleMb, trackingMb);
    std::printf("figures: {%s, \"idle_resident_mb\": %.1f, \"tracking_100k_users_mb\": %.1f}\n", json.c_str(),
        idleMb, trackingMb);
    return 0;
}
