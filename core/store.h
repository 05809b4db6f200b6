#pragma once

// The bot's database: one SQLite file, "tessarin.db" in the data folder, that keeps what the bot has
// learnt (the users seen, the channel logs, the poker deck, the roll history) across restarts. The classes
// that own that data decide what to keep as store parts; the store opens the file, brings its schema up to
// date and writes the parts' changes. Changes are written as they come, a few rows per turn of the event
// loop, into a transaction that is committed once a second: a command never waits for more than one small
// slice, the work of a busy second is spread over it instead of falling on one moment, and a crash loses
// at most about a second of changes.
//
// The file is in write-ahead mode with normal locking, so that the operator's tools (sqlite3, a backup) can
// read it while the bot runs; the data folder's lock keeps a second bot away. Each commit is synced, and
// the log is checkpointed into the file at open, each minute and at close, so that a copy of the file alone
// is never far behind.
//
// A file that another program holds, or that cannot be written (a full disk), is tried again each minute;
// meanwhile the parts keep their changes in memory and write them once the file takes them. A damaged file
// is set aside under a dated name and a new one made in its place, never written into. A file that cannot
// be opened otherwise, or that a newer Tessarin wrote, leaves the store in memory: an empty database of
// the same schema that never reaches the disk, so the parts work on as before.

#include "core/waittimer.h"
#include "irc/casemapping.h"

#include <QObject>
#include <QSqlDatabase>
#include <memory>
#include <optional>

namespace core {

inline const QString StoreFile = QStringLiteral("tessarin.db");

class StorePart {
public:
    virtual ~StorePart() = default;
    // Reads the part's data back; false when a query failed.
    virtual bool Load(QSqlDatabase& db) = 0;
    virtual bool HasChanges() const = 0;
    // Writes changes within the store's transaction: at most about maxRows rows, except for parts whose
    // changes are few by nature (the deck and the logs), which write them all. False when a statement
    // failed. What was written stays the part's until the store says how the transaction ended.
    virtual bool WriteChanges(QSqlDatabase& db, int maxRows) = 0;
    // The transaction was committed: what was written since the last commit is in the file.
    virtual void Committed() = 0;
    // The transaction was rolled back: what was written since the last commit is a change again, to be
    // written at the next attempt.
    virtual void RolledBack() = 0;
};

// The store's waits: the one until the next commit, the one until the next slice of writes, the one until
// the next checkpoint and the one until the next attempt at a file that was held or could not be written.
struct StoreTimers {
    std::unique_ptr<WaitTimer> Commit = std::make_unique<QtWaitTimer>();
    std::unique_ptr<WaitTimer> Slice = std::make_unique<QtWaitTimer>();
    std::unique_ptr<WaitTimer> Checkpoint = std::make_unique<QtWaitTimer>();
    std::unique_ptr<WaitTimer> Retry = std::make_unique<QtWaitTimer>();
};

class Store : public QObject {
    Q_OBJECT
public:
    // The newest schema; older files are brought up to it step by step at open.
    static int SchemaVersion();
    // A commit a second keeps a thousand writes a second to one commit (see bench/store_bench.cpp).
    static constexpr int FlushIntervalMs = 1000;
    // How long changes gather before they are written: long enough for a busy channel's lines to share
    // a slice (each slice prepares its statements anew), short enough to leave little for the commit.
    static constexpr int WriteDelayMs = 10;
    // Rows written per turn of the event loop: a roll costs about ten microseconds.
    static constexpr int RowsPerSlice = 8;
    // How long a statement waits for another program's lock: long enough for a reader's moment, short
    // enough not to stall the event loop noticeably.
    static constexpr int BusyTimeoutMs = 100;
    // How often the log is copied into the file, and how often a held or full file is tried again.
    static constexpr int CheckpointIntervalMs = 60 * 1000;
    static constexpr int RetryIntervalMs = 60 * 1000;

    explicit Store(QObject* parent = nullptr)
        : Store(StoreTimers(), parent)
    {
    }
    explicit Store(StoreTimers timers, QObject* parent = nullptr);
    ~Store() override;

    // Opens the file at path, or an in-memory database when path is empty. Returns why the file cannot be
    // used (the store is then in memory), or an empty text. Requires: called once.
    QString Open(const QString& path);
    bool OnDisk() const { return m_onDisk; }
    // The file could not be opened because another program held it: it is tried again each minute, and
    // Opened tells when it could be.
    bool WaitingToOpen() const { return !m_onDisk && m_timers.Retry->IsActive(); }
    // The file could not be written and is tried again each minute; the changes wait in the parts.
    bool WaitingToWrite() const { return m_waitingToWrite; }
    // False only when Qt has no SQLite driver at all; the parts then keep nothing.
    bool Usable() const { return m_usable; }

    // The parts flushed together, in the order first added.
    void AddPart(StorePart& part)
    {
        if (!m_parts.contains(&part))
            m_parts.append(&part);
    }
    // Reads every part back. Returns why that failed (the store is then in memory and the parts must start
    // empty), or an empty text.
    QString LoadParts();

    // Commits what has been written, and goes on writing the changes not written yet; the commit timer
    // calls it each second.
    void BeginFlush();
    // Starts writing the parts' changes in the coming turns of the event loop; a part's owner calls it
    // after changing it, so that a busy second's changes do not pile up for the next commit.
    void WriteSoon();
    // Writes every change now and commits (at close), even while the file is waiting to be written. When
    // the file fails, the store says why once (see the signals); so do BeginFlush and the slices.
    void Flush();

    QSqlDatabase Database() const;

    // The case mapping the keys made from names were made under (see namekeys.h): remembered in the file,
    // ascii for a new one.
    irc::CaseMapping KeyMapping() const { return m_keyMapping; }
    // Makes the keys again under mapping, after writing every change (made under the mapping before).
    void RekeyNames(irc::CaseMapping mapping);

Q_SIGNALS:
    // The file was damaged while the bot ran; the store is in memory from now on.
    void Failed(const QString& why);
    // The file was found damaged at open, and moved to damagedName; the store is a new file in its place.
    void SetAside(const QString& damagedName, const QString& why);
    // The file could not be written; it is tried again each minute.
    void WriteWaiting(const QString& why);
    // The file took the changes kept since WriteWaiting.
    void WriteResumed();
    // The file that was held at open could be opened: the store is on it, empty of the parts' data until
    // they are read again (LoadParts), and KeyMapping is the file's.
    void Opened();

private:
    struct Opening;
    Opening OpenAt(const QString& path);
    Opening OpenFile();
    static Opening CheckReadOnly(const QString& path);
    void UseConnection(const QString& name);
    void ReadKeyMapping();
    void FallBackToMemory();
    void RetryOpen();
    void Retry();
    void Checkpoint(const QString& mode);
    bool HasChanges() const;
    bool WriteParts(int maxRows);
    void WriteSlice();
    bool WriteAll();
    bool Commit();
    void Fail();

    QString m_path;
    QString m_connection;
    bool m_onDisk = false;
    bool m_usable = false;
    bool m_waitingToWrite = false;
    QList<StorePart*> m_parts;
    StoreTimers m_timers;
    // A transaction is open, into which the slices write.
    bool m_transactionOpen = false;
    irc::CaseMapping m_keyMapping = irc::CaseMapping::Ascii;
    // The mapping the file's keys were made under while a new one could not be written; they are keyed
    // again with the next write.
    std::optional<irc::CaseMapping> m_rekeyFrom;
};

} // namespace core
