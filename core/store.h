#pragma once

// The bot's database: one SQLite file, "tessarin.db" in the data folder, that keeps what the bot has
// learnt (the users seen, the channel logs, the poker deck, the roll history) across restarts. The classes
// that own that data decide what to keep as store parts; the store opens the file, brings its schema up to
// date and writes the parts' changes. Changes are written as they come, a few rows per turn of the event
// loop, into a transaction that is committed once a second: a command never waits for more than one small
// slice, the work of a busy second is spread over it instead of falling on one moment, and a crash loses
// at most about a second of changes.
//
// A file that cannot be opened, is damaged or is held by another process leaves the store in memory: an
// empty database of the same schema that never reaches the disk, so the parts work on as before.

#include "core/waittimer.h"
#include "irc/casemapping.h"

#include <QObject>
#include <QSqlDatabase>
#include <memory>

namespace core {

inline const QString StoreFile = QStringLiteral("tessarin.db");

class StorePart {
public:
    virtual ~StorePart() = default;
    // Reads the part's data back; false when a query failed.
    virtual bool Load(QSqlDatabase& db) = 0;
    virtual bool HasChanges() const = 0;
    // Writes changes within the store's transaction and forgets them: at most about maxRows rows, except
    // for parts whose changes are few by nature (the deck and the logs), which write them all. False when a
    // statement failed.
    virtual bool WriteChanges(QSqlDatabase& db, int maxRows) = 0;
};

// The store's two waits: the one until the next commit and the one until the next slice of writes.
struct StoreTimers {
    std::unique_ptr<WaitTimer> Commit = std::make_unique<QtWaitTimer>();
    std::unique_ptr<WaitTimer> Slice = std::make_unique<QtWaitTimer>();
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
    // False only when Qt has no SQLite driver at all; the parts then keep nothing.
    bool Usable() const { return m_usable; }

    // The parts flushed together, in the order added.
    void AddPart(StorePart& part) { m_parts.append(&part); }
    // Reads every part back. Returns why that failed (the store is then in memory and the parts must start
    // empty), or an empty text.
    QString LoadParts();

    // Commits what has been written, and goes on writing the changes not written yet; the commit timer
    // calls it each second.
    void BeginFlush();
    // Starts writing the parts' changes in the coming turns of the event loop; a part's owner calls it
    // after changing it, so that a busy second's changes do not pile up for the next commit.
    void WriteSoon();
    // Writes every change now and commits (at close). When the file fails, the store goes on in memory and
    // says why once; so do BeginFlush and the slices.
    void Flush();

    QSqlDatabase Database() const;

    // The case mapping the keys made from names were made under (see namekeys.h): remembered in the file,
    // ascii for a new one.
    irc::CaseMapping KeyMapping() const { return m_keyMapping; }
    // Makes the keys again under mapping, after writing every change (made under the mapping before).
    void RekeyNames(irc::CaseMapping mapping);

Q_SIGNALS:
    // The file failed while the bot ran; the store is in memory from now on.
    void Failed(const QString& why);

private:
    QString OpenAt(const QString& path);
    void FallBackToMemory();
    bool HasChanges() const;
    bool WriteParts(int maxRows);
    void WriteSlice();
    bool Commit();
    void Fail();

    QString m_connection;
    bool m_onDisk = false;
    bool m_usable = false;
    QList<StorePart*> m_parts;
    StoreTimers m_timers;
    // A transaction is open, into which the slices write.
    bool m_transactionOpen = false;
    irc::CaseMapping m_keyMapping = irc::CaseMapping::Ascii;
};

} // namespace core
