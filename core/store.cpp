#include "core/store.h"

#include "core/namekeys.h"
#include "core/ownerfile.h"
#include "core/storeschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <limits>

namespace core {

namespace {

int s_nextConnection = 0;

// Runs one statement; its error, or an empty text.
QString Run(const QSqlDatabase& db, const QString& statement)
{
    QSqlQuery query(db);
    if (query.exec(statement))
        return QString();
    return query.lastError().text();
}

QString Migrate(const QSqlDatabase& db)
{
    if (QString error
        = Run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER)"));
        !error.isEmpty())
        return error;
    QSqlQuery read(db);
    if (!read.exec(QStringLiteral("SELECT version FROM schema_version")))
        return read.lastError().text();
    const int version = read.next() ? read.value(0).toInt() : 0;
    // A statement still reading would lock the tables against a step that drops one.
    read.finish();
    const QList<QStringList>& steps = SchemaSteps();
    if (version > steps.size())
        return QStringLiteral("it was written by a newer Tessarin (schema %1)").arg(version);
    for (qsizetype step = version; step < steps.size(); ++step) {
        for (const QString& statement : steps.at(step)) {
            if (QString error = Run(db, statement); !error.isEmpty())
                return error;
        }
    }
    if (version < steps.size()) {
        Run(db, QStringLiteral("DELETE FROM schema_version"));
        if (QString error
            = Run(db, QStringLiteral("INSERT INTO schema_version VALUES (%1)").arg(steps.size()));
            !error.isEmpty())
            return error;
    }
    return QString();
}

} // namespace

int Store::SchemaVersion()
{
    return static_cast<int>(SchemaSteps().size());
}

Store::Store(StoreTimers timers, QObject* parent)
    : QObject(parent)
    , m_connection(QStringLiteral("tessarin-store-%1").arg(s_nextConnection++))
    , m_timers(std::move(timers))
{
    m_timers.Commit->Elapsed = [this] { BeginFlush(); };
    m_timers.Slice->Elapsed = [this] { WriteSlice(); };
}

Store::~Store()
{
    {
        QSqlDatabase db = Database();
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase Store::Database() const
{
    return QSqlDatabase::database(m_connection, false);
}

QString Store::Open(const QString& path)
{
    QString problem = path.isEmpty() ? QString() : OpenAt(path);
    if (path.isEmpty() || !problem.isEmpty())
        FallBackToMemory();
    else
        m_onDisk = m_usable = true;
    if (m_usable) {
        QSqlQuery mapping(Database());
        if (mapping.exec(QStringLiteral("SELECT casemapping FROM name_keys")) && mapping.next())
            m_keyMapping = irc::CaseMappingNamed(mapping.value(0).toString());
    }
    m_timers.Commit->Start(FlushIntervalMs);
    return problem;
}

// The file is locked for this process alone (exclusive locking mode, taken by the first write), so that
// a second bot on the same data folder is told so instead of interleaving its writes. It holds private
// conversations and secret rolls: only its owner may read it. SQLite gives the write-ahead log it makes
// the file's mode (in exclusive locking mode it keeps its index in memory, without a -shm file); the files
// an older run left are tightened as they are.
QString Store::OpenAt(const QString& path)
{
    CreateOwnerOnly(path);
    for (const QString& suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        KeepToOwner(path + suffix);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid())
        return QStringLiteral("Qt's SQLite driver is not installed");
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    if (!db.open())
        return db.lastError().text();
    for (const QString& pragma : { QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"),
             QStringLiteral("PRAGMA journal_mode = WAL"), QStringLiteral("PRAGMA synchronous = NORMAL") }) {
        if (QString error = Run(db, pragma); !error.isEmpty())
            return error;
    }
    if (QString error = Run(db, QStringLiteral("BEGIN IMMEDIATE")); !error.isEmpty())
        return error;
    if (QString error = Migrate(db); !error.isEmpty()) {
        Run(db, QStringLiteral("ROLLBACK"));
        return error;
    }
    return Run(db, QStringLiteral("COMMIT"));
}

void Store::FallBackToMemory()
{
    m_onDisk = false;
    if (QSqlDatabase::contains(m_connection)) {
        Database().close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(QStringLiteral(":memory:"));
    m_usable = db.isValid() && db.open() && Migrate(db).isEmpty();
}

QString Store::LoadParts()
{
    QSqlDatabase db = Database();
    for (StorePart* part : std::as_const(m_parts)) {
        if (!part->Load(db)) {
            const QString problem = db.lastError().text();
            FallBackToMemory();
            return problem.isEmpty() ? QStringLiteral("its data cannot be read") : problem;
        }
    }
    return QString();
}

bool Store::HasChanges() const
{
    return std::any_of(
        m_parts.cbegin(), m_parts.cend(), [](const StorePart* part) { return part->HasChanges(); });
}

bool Store::WriteParts(int maxRows)
{
    QSqlDatabase db = Database();
    for (StorePart* part : std::as_const(m_parts)) {
        if (part->HasChanges() && !part->WriteChanges(db, maxRows))
            return false;
    }
    return true;
}

bool Store::Commit()
{
    m_transactionOpen = false;
    return Database().commit();
}

void Store::BeginFlush()
{
    m_timers.Commit->Start(FlushIntervalMs);
    if (!m_usable)
        return;
    if (m_transactionOpen && !Commit())
        return Fail();
    WriteSoon();
}

void Store::WriteSoon()
{
    if (m_usable && !m_timers.Slice->IsActive() && HasChanges())
        m_timers.Slice->Start(WriteDelayMs);
}

void Store::WriteSlice()
{
    if (!m_usable || !HasChanges())
        return;
    if (!m_transactionOpen && !Database().transaction())
        return Fail();
    m_transactionOpen = true;
    if (!WriteParts(RowsPerSlice))
        return Fail();
    if (HasChanges())
        m_timers.Slice->Start(0);
}

void Store::Flush()
{
    if (!m_usable || (!m_transactionOpen && !HasChanges()))
        return;
    m_timers.Slice->Stop();
    if (!m_transactionOpen && !Database().transaction())
        return Fail();
    m_transactionOpen = true;
    if (!WriteParts(std::numeric_limits<int>::max()) || !Commit())
        Fail();
}

void Store::RekeyNames(irc::CaseMapping mapping)
{
    const irc::CaseMapping from = std::exchange(m_keyMapping, mapping);
    if (from == mapping || !m_usable)
        return;
    Flush();
    if (!m_usable)
        return;
    QSqlDatabase db = Database();
    if (!db.transaction())
        return Fail();
    for (const QString& statement : RekeyStatements(from, mapping)) {
        if (!Run(db, statement).isEmpty())
            return Fail();
    }
    if (!db.commit())
        Fail();
}

// What was written since the last commit is lost: the file is left as it was, and the store goes on in
// memory.
void Store::Fail()
{
    m_timers.Slice->Stop();
    m_transactionOpen = false;
    QSqlDatabase db = Database();
    const QString why = db.lastError().text();
    db.rollback();
    if (!m_onDisk)
        return;
    FallBackToMemory();
    Q_EMIT Failed(why);
}

} // namespace core
