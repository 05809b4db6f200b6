#include "core/extrasettings.h"
#include "core/store.h"
#include "support/manualtimer.h"
#include "support/qtprint.h"
#include "support/smallfilesystem.h"
#include "support/tempfiles.h"

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

using testing_support::ManualTimer;
using testing_support::TempFiles;

// Runs statements on the file at path with Debian's sqlite3, as an operator would; its output.
QByteArray Sqlite(const QString& path, const QString& statements)
{
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), { path, statements });
    sqlite.waitForFinished(10000);
    return sqlite.readAllStandardOutput();
}

int StoredVersion(const QSqlDatabase& db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("SELECT version FROM schema_version")) && query.next()
        ? query.value(0).toInt()
        : -1;
}

TEST(Store, ANewFileGetsTheNewestSchemaInWriteAheadMode)
{
    TempFiles files;
    core::Store store;
    ASSERT_EQ(store.Open(files.PathOf(core::StoreFile)), QString());
    EXPECT_TRUE(store.OnDisk());
    EXPECT_EQ(StoredVersion(store.Database()), core::Store::SchemaVersion());
    QSqlQuery mode(store.Database());
    ASSERT_TRUE(mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next());
    EXPECT_EQ(mode.value(0).toString(), QStringLiteral("wal"));
}

// Each way a file can be unusable: the store says why, runs in memory, and leaves the file as it was.
struct Unusable {
    const char* Name;
    // Prepares the folder and returns the database path.
    std::function<QString(const TempFiles&, std::unique_ptr<core::Store>& holder)> Prepare;
};

class UnusableFile : public ::testing::TestWithParam<Unusable> { };

TEST_P(UnusableFile, LeavesTheStoreInMemoryAndTheFileUntouched)
{
    TempFiles files;
    std::unique_ptr<core::Store> holder;
    const QString path = GetParam().Prepare(files, holder);
    const QByteArray before = files.Read(core::StoreFile);

    core::Store store;
    const QString problem = store.Open(path);
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_FALSE(store.OnDisk());
    ASSERT_TRUE(store.Usable());
    EXPECT_EQ(StoredVersion(store.Database()), core::Store::SchemaVersion()); // the in-memory schema
    EXPECT_EQ(files.Read(core::StoreFile), before);
    EXPECT_FALSE(QFileInfo::exists(files.PathOf(core::StoreFile) + "-wal"));
}

INSTANTIATE_TEST_SUITE_P(Store, UnusableFile,
    // A newer version's file, in the journal mode it chose: not even switched to write-ahead mode.
    ::testing::Values(Unusable { "WrittenByANewerVersion",
                          [](const TempFiles& files, auto&) {
                              Sqlite(files.PathOf(core::StoreFile),
                                  "CREATE TABLE schema_version (version INTEGER); "
                                  "INSERT INTO schema_version VALUES (99);");
                              return files.PathOf(core::StoreFile);
                          } },
        Unusable { "InAFolderThatIsMissing",
            [](const TempFiles& files, auto&) {
                return files.PathOf(QStringLiteral("gone/") + core::StoreFile);
            } },
        Unusable { "AFolderInItsPlace",
            [](const TempFiles& files, auto&) {
                QDir(files.Path()).mkdir(core::StoreFile);
                return files.PathOf(core::StoreFile);
            } }),
    [](const auto& info) { return std::string(info.param.Name); });

int ModeOf(const QString& path)
{
    struct stat status { };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777) : -1;
}

// The file holds private conversations and secret rolls: under the usual umask it is made readable by its
// owner alone, a file an older version left readable by others is tightened at open, and so are the
// write-ahead log and its index beside it, where they are.
TEST(Store, TheFileAndItsLogAreReadableByTheirOwnerAlone)
{
    const struct {
        const char* What;
        int LeftMode; // of the files there before the store opens them; 0: none
    } table[] = {
        { "a new file", 0 },
        { "files readable by everybody", 0644 },
        { "files writable by the group", 0660 },
    };
    struct UsualUmask {
        mode_t Before = ::umask(022);
        ~UsualUmask() { ::umask(Before); }
    } usual;
    for (const auto& row : table) {
        TempFiles files;
        const QString path = files.PathOf(core::StoreFile);
        if (row.LeftMode != 0) {
            core::Store().Open(path);
            files.Write(core::StoreFile + QStringLiteral("-wal"), {});
            files.Write(core::StoreFile + QStringLiteral("-shm"), {});
            for (const char* suffix : { "", "-wal", "-shm" })
                ASSERT_EQ(::chmod(QFile::encodeName(path + suffix).constData(), mode_t(row.LeftMode)), 0);
        }
        core::Store store;
        ASSERT_EQ(store.Open(path), QString()) << row.What;
        ASSERT_TRUE(
            QSqlQuery(store.Database()).exec(QStringLiteral("INSERT INTO deck (drawn) VALUES ('x')")));
        EXPECT_EQ(ModeOf(path), 0600) << row.What;
        EXPECT_EQ(ModeOf(path + "-wal"), 0600) << row.What;
        const int index = ModeOf(path + "-shm");
        EXPECT_TRUE(index == -1 || index == 0600) << row.What << ": " << index;
    }
}

// A part that counts what the store asks of it, and notes each write in a shared sequence.
struct CountingPart final : core::StorePart {
    int Pending = 0;
    int Writes = 0;
    // Rows written since the last commit: pending again when the transaction is rolled back.
    int Uncommitted = 0;
    QStringList* Sequence = nullptr;
    bool Load(QSqlDatabase&) override { return true; }
    bool HasChanges() const override { return Pending > 0; }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override
    {
        ++Writes;
        QSqlQuery query(db);
        int rows = 0;
        for (; Pending > 0 && rows < maxRows; --Pending, ++rows, ++Uncommitted) {
            if (!query.exec(QStringLiteral("INSERT INTO deck (drawn) VALUES ('x')")))
                return false;
        }
        if (Sequence)
            Sequence->append(QString::number(rows));
        return true;
    }
    void Committed() override { Uncommitted = 0; }
    void RolledBack() override { Pending += std::exchange(Uncommitted, 0); }
};

int StoredRows(const TempFiles& files)
{
    core::Store reopened;
    if (!reopened.Open(files.PathOf(core::StoreFile)).isEmpty())
        return -1;
    QSqlQuery count(reopened.Database());
    return count.exec(QStringLiteral("SELECT COUNT(*) FROM deck")) && count.next() ? count.value(0).toInt()
                                                                                   : -1;
}

TEST(Store, WritesEveryChangeSinceTheLastFlushInOneTransactionAndNothingWhenIdle)
{
    TempFiles files;
    CountingPart part;
    {
        core::Store store;
        store.Open(files.PathOf(core::StoreFile));
        store.AddPart(part);
        part.Pending = 3;
        store.Flush();
        store.Flush();
        EXPECT_EQ(part.Writes, 1);
    }
    EXPECT_EQ(StoredRows(files), 3);
}

// Changes are written a few rows per wait: the first after a short gathering, each further slice after
// a wait of its own, so that other work (a command) runs between the slices; changes made meanwhile are
// written in the same way, and the second's commit keeps them.
TEST(Store, ChangesAreWrittenInSlicesEachAfterAWaitOfItsOwn)
{
    TempFiles files;
    QStringList sequence;
    CountingPart part;
    part.Sequence = &sequence;
    {
        auto* commit = new ManualTimer;
        auto* slice = new ManualTimer;
        core::Store store(core::StoreTimers {
            std::unique_ptr<core::WaitTimer>(commit), std::unique_ptr<core::WaitTimer>(slice) });
        store.Open(files.PathOf(core::StoreFile));
        EXPECT_EQ(commit->Waits, QList<int> { core::Store::FlushIntervalMs });
        store.AddPart(part);
        part.Pending = 20;
        store.WriteSoon();
        store.WriteSoon(); // a second change while the first waits starts no second wait
        EXPECT_EQ(slice->Waits, QList<int> { core::Store::WriteDelayMs });
        EXPECT_TRUE(sequence.isEmpty()); // nothing is written before the wait ends
        for (int command = 1; slice->Active && command <= 10; ++command) {
            slice->End();
            sequence.append("command");
            if (command <= 3) {
                ++part.Pending;
                store.WriteSoon();
            }
        }
        EXPECT_FALSE(slice->Active);
        ASSERT_EQ(part.Pending, 0);
        int written = 0;
        for (const QString& rows : sequence.filter(QRegularExpression("^[0-9]+$"))) {
            EXPECT_LE(rows.toInt(), core::Store::RowsPerSlice) << sequence.join(' ').toStdString();
            written += rows.toInt();
        }
        EXPECT_EQ(written, 23);
        // While changes were left, the next slice waited for the next turn of the event loop; a change
        // after everything was written gathered again.
        EXPECT_EQ(slice->Waits, (QList<int> { core::Store::WriteDelayMs, 0, 0, core::Store::WriteDelayMs }));
        commit->End(); // the second's commit
        EXPECT_EQ(commit->Waits.size(), 2);
    }
    // Committed without a Flush at close.
    EXPECT_EQ(StoredRows(files), 23);
}

// A damaged file is never written into: it is set aside under a dated name, as it was, and a new file
// takes its place.
TEST(Store, ADamagedFileIsSetAsideWholeAndANewOneMade)
{
    const struct {
        const char* Name;
        std::function<void(const TempFiles&)> Damage;
    } cases[] = {
        { "no database at all",
            [](const TempFiles& files) {
                files.Write(core::StoreFile, QByteArray("This is no database, just text.\n").repeated(200));
            } },
        { "a page of the rolls overwritten",
            [](const TempFiles& files) {
                const QString path = files.PathOf(core::StoreFile);
                {
                    core::Store store;
                    store.Open(path);
                    QSqlQuery(store.Database())
                        .exec(
                            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                            "INSERT INTO rolls (number, time, place, nick, command, reply) SELECT i, i, "
                            "'#rpg', 'Ana', ',roll 1d20', 'Ana: ' || i FROM n");
                }
                const int page = Sqlite(path, "PRAGMA page_size").trimmed().toInt();
                const int root = Sqlite(path, "SELECT rootpage FROM sqlite_master WHERE name = 'rolls'")
                                     .trimmed()
                                     .toInt();
                ASSERT_GT(page, 0);
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                // A leaf a few pages past the table's root.
                file.seek(qint64(page) * (root + 3));
                file.write(QByteArray(page, '\x5a'));
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFiles files;
        c.Damage(files);
        const QByteArray damaged = files.Read(core::StoreFile);
        core::Store store;
        QString asideName;
        QObject::connect(
            &store, &core::Store::SetAside, [&](const QString& name, const QString&) { asideName = name; });
        EXPECT_EQ(store.Open(files.PathOf(core::StoreFile)), QString());
        EXPECT_TRUE(store.OnDisk());
        EXPECT_EQ(StoredVersion(store.Database()), core::Store::SchemaVersion());
        EXPECT_EQ(asideName,
            files.PathOf(core::StoreFile) + ".damaged-" + QDate::currentDate().toString(Qt::ISODate));
        QFile aside(asideName);
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), damaged);
    }
}

// Another program holding the file's write lock, or a full disk, does not send the store to memory: the
// changes wait in the parts, the file is tried again on the retry timer, and takes them once it can.
TEST(Store, AHeldFileOrAFullDiskIsTriedAgainAndTakesTheChangesKeptMeanwhile)
{
    const testing_support::SmallFilesystem disk(1024);
    for (const bool full : { false, true }) {
        SCOPED_TRACE(full ? "a full disk" : "held by another program");
        if (full && !disk.Mounted())
            GTEST_SKIP() << "mounting a small tmpfs needs root";
        TempFiles folder;
        const QString path = full ? disk.Path() + "/" + core::StoreFile : folder.PathOf(core::StoreFile);
        auto* retry = new ManualTimer;
        core::Store store(
            core::StoreTimers { std::make_unique<ManualTimer>(), std::make_unique<ManualTimer>(),
                std::make_unique<ManualTimer>(), std::unique_ptr<core::WaitTimer>(retry) });
        ASSERT_EQ(store.Open(path), QString());
        CountingPart part;
        store.AddPart(part);
        QStringList waiting;
        QObject::connect(
            &store, &core::Store::WriteWaiting, [&](const QString& why) { waiting.append(why); });

        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(path);
        if (full) {
            ASSERT_TRUE(disk.Fill());
        } else {
            ASSERT_TRUE(other.open());
            ASSERT_TRUE(QSqlQuery(other).exec("BEGIN IMMEDIATE"));
        }
        part.Pending = 500;
        store.Flush();
        EXPECT_TRUE(store.WaitingToWrite());
        ASSERT_EQ(waiting.size(), 1);
        EXPECT_FALSE(waiting.at(0).isEmpty());
        EXPECT_TRUE(retry->Active);
        EXPECT_EQ(retry->Waits.last(), core::Store::RetryIntervalMs);
        part.Pending += 1; // gathered meanwhile

        retry->End(); // still held or full: waits on, said once
        EXPECT_TRUE(store.WaitingToWrite());
        EXPECT_EQ(waiting.size(), 1);
        if (full)
            disk.Empty();
        else
            QSqlQuery(other).exec("ROLLBACK");
        retry->End();
        EXPECT_FALSE(store.WaitingToWrite());
        EXPECT_TRUE(store.OnDisk());
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other");
        EXPECT_EQ(Sqlite(path, "SELECT COUNT(*) FROM deck").trimmed(), "501");
    }
}

TEST(StoreSettings, AreReadFromTheStoreGroupAndBadValuesKeepTheirDefaults)
{
    const struct {
        QByteArray Ini;
        bool Keep;
        int RollDays;
        int SeenDays;
        qsizetype Problems;
    } table[] = {
        { "", true, 365, 0, 0 },
        { "[store]\nkeep = yes\nroll_days = 30\nseen_days = 90\n", true, 30, 90, 0 },
        { "[store]\nkeep = Off\n", false, 365, 0, 0 },
        { "[store]\nkeep = maybe\nroll_days = 0\nseen_days = -1\n", true, 365, 0, 3 },
        { "[store]\nroll_days = 2.5\nseen_days = many\n", true, 365, 0, 2 },
    };
    for (const auto& row : table) {
        TempFiles files;
        files.Write(core::ExtraSettingsFile, row.Ini);
        const core::ExtraSettings settings = core::LoadExtraSettings(files.Path());
        EXPECT_EQ(settings.Store.Keep, row.Keep) << row.Ini.constData();
        EXPECT_EQ(settings.Store.RollDays, row.RollDays) << row.Ini.constData();
        EXPECT_EQ(settings.Store.SeenDays, row.SeenDays) << row.Ini.constData();
        EXPECT_EQ(settings.Problems.size(), row.Problems) << row.Ini.constData();
    }
}

} // namespace
