// What keeping data costs. Writing rolls with a commit after each (a transaction per event-loop turn when
// each turn handles one command) against one commit per thousand (a flush a second at a thousand commands
// a second) decides the store's flush interval; the start-up benchmark reads back 100,000 users and
// opens a history of 1,000,000 rolls.

#include "bench/figures.h"
#include "commands/carddeck.h"
#include "commands/rollhistory.h"
#include "core/channellog.h"
#include "core/seentracker.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

const std::vector<dice::RolledFace> ThreeD6 { { 6, 3 }, { 6, 5 }, { 6, 1 } };

void WriteRolls(benchmark::State& run)
{
    const int perCommit = static_cast<int>(run.range(0));
    QTemporaryDir folder;
    core::SystemClock clock;
    core::Store store;
    store.Open(folder.filePath(core::StoreFile));
    commands::RollHistory rolls(store, clock);
    store.AddPart(rolls);
    store.LoadParts();
    int pending = 0;
    for (auto _ : run) {
        rolls.Record(commands::RollKind::Public, QStringLiteral("#rpg"), { QStringLiteral("Kell") },
            QStringLiteral(",roll 3d6"), QStringLiteral("Kell: 3d6=3+5+1=9"), ThreeD6);
        if (++pending == perCommit) {
            store.Flush();
            pending = 0;
        }
    }
    run.SetItemsProcessed(run.iterations());
}

// The kept users and rolls, written once for every run of the start-up benchmark.
QString FilledStore(QTemporaryDir& folder, int users, int rollCount)
{
    const QString path = folder.filePath(core::StoreFile);
    core::Store store;
    store.Open(path);
    QSqlDatabase db = store.Database();
    db.transaction();
    QSqlQuery user(db);
    user.prepare(QStringLiteral("INSERT INTO users VALUES (?, ?, '', ?)"));
    QSqlQuery entry(db);
    entry.prepare(QStringLiteral("INSERT INTO user_channels VALUES (?, 0, ?, '10:00:00 07.12.2026', "
                                 "'connected', NULL, NULL, 'never')"));
    for (int i = 0; i < users; ++i) {
        user.addBindValue(i);
        user.addBindValue(QStringLiteral("user%1").arg(i));
        user.addBindValue(QDateTime::currentSecsSinceEpoch());
        user.exec();
        entry.addBindValue(i);
        entry.addBindValue(QStringLiteral("#c%1").arg(i % 100));
        entry.exec();
    }
    QSqlQuery roll(db);
    roll.prepare(QStringLiteral(
        "INSERT INTO rolls (number, time, place, place_key, nick, nick_key, command, reply, faces) "
        "VALUES (?, ?, '#rpg', '#rpg', 'Kell', 'kell', ',roll 3d6', 'Kell: 3d6=3+5+1=9', "
        "'6:3 6:5 6:1')"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int i = 1; i <= rollCount; ++i) {
        roll.addBindValue(i);
        roll.addBindValue(now);
        roll.exec();
    }
    db.commit();
    return path;
}

void StartUp(benchmark::State& run)
{
    QTemporaryDir folder;
    const QString path = FilledStore(folder, 100000, 1000000);
    core::SystemClock clock;
    for (auto _ : run) {
        core::Store store;
        store.Open(path);
        core::SeenTracker seen(clock);
        seen.Keep(0);
        core::ChannelLogs logs;
        commands::CardDeck deck;
        commands::RollHistory rolls(store, clock);
        for (core::StorePart* part : std::initializer_list<core::StorePart*> { &seen, &logs, &deck, &rolls })
            store.AddPart(*part);
        if (!store.LoadParts().isEmpty() || seen.Users().size() != 100000)
            run.SkipWithError("the store was not read back");
    }
}

BENCHMARK(WriteRolls)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return bench::RunWithFigures(argc, argv);
}
