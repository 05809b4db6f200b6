#include "core/store.h"

#include "core/namekeys.h"
#include "core/ownerfile.h"
#include "core/storefile.h"
#include "core/storeschema.h"

#include <QDate>
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

// Runs one statement on the file at path; why it failed, or no trouble.
FileFailure Exec(const QSqlDatabase& db, const QString& statement, const QString& path)
{
    QSqlQuery query(db);
    return query.exec(statement) ? FileFailure() : FailureOf(query.lastError(), path);
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

// How far along the opening of the file came: the connection opened on it, or why it failed.
struct Store::Opening {
    QString Connection;
    FileFailure Failure;
};

int Store::SchemaVersion()
{
    return static_cast<int>(SchemaSteps().size());
}

Store::Store(StoreTimers timers, QObject* parent)
    : QObject(parent)
    , m_timers(std::move(timers))
{
    m_timers.Commit->Elapsed = [this] { BeginFlush(); };
    m_timers.Slice->Elapsed = [this] { WriteSlice(); };
    m_timers.Checkpoint->Elapsed = [this] {
        m_timers.Checkpoint->Start(CheckpointIntervalMs);
        Checkpoint(QStringLiteral("PASSIVE"));
    };
    m_timers.Retry->Elapsed = [this] { Retry(); };
}

// The log is emptied into the file, so that the file alone is the whole store once the bot has stopped.
Store::~Store()
{
    if (m_onDisk && !m_transactionOpen && !m_waitingToWrite)
        Checkpoint(QStringLiteral("TRUNCATE"));
    UseConnection(QString());
}

QSqlDatabase Store::Database() const
{
    return QSqlDatabase::database(m_connection, false);
}

// Each opening gets a connection of its own, so that a failed attempt leaves the one in use as it is.
void Store::UseConnection(const QString& name)
{
    if (!m_connection.isEmpty()) {
        {
            QSqlDatabase db = Database();
            if (db.isValid())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
    m_connection = name;
}

QString Store::Open(const QString& path)
{
    m_path = path;
    QString problem;
    if (!path.isEmpty()) {
        const Opening opening = OpenFile();
        problem = opening.Failure.Why;
        if (opening.Failure.Trouble == FileTrouble::None) {
            UseConnection(opening.Connection);
            m_onDisk = m_usable = true;
            m_timers.Checkpoint->Start(CheckpointIntervalMs);
        }
    }
    if (!m_onDisk)
        FallBackToMemory();
    ReadKeyMapping();
    m_timers.Commit->Start(FlushIntervalMs);
    return problem;
}

// A file another program holds is tried again each minute. The parts meanwhile start from memory, and
// what they gather then is not written into the file once it opens: they read the file instead. Their
// data from memory could not be merged into it (roll numbers would collide; the deck, the logs and the
// settings would overwrite the file's), and the bot stays at its work meanwhile rather than wait unseen.
Store::Opening Store::OpenFile()
{
    Opening opening = OpenAt(m_path);
    if (opening.Failure.Trouble == FileTrouble::Damaged) {
        const QString aside = SetAsideDamaged(m_path, QDate::currentDate());
        if (aside.isEmpty()) {
            opening.Failure.Why += QStringLiteral("; it could not be moved aside");
            return opening;
        }
        Q_EMIT SetAside(aside, opening.Failure.Why);
        opening = OpenAt(m_path);
    }
    if (opening.Failure.Trouble == FileTrouble::Held)
        m_timers.Retry->Start(RetryIntervalMs);
    return opening;
}

void Store::ReadKeyMapping()
{
    m_keyMapping = irc::CaseMapping::Ascii;
    if (!m_usable)
        return;
    QSqlQuery mapping(Database());
    if (mapping.exec(QStringLiteral("SELECT casemapping FROM name_keys")) && mapping.next())
        m_keyMapping = irc::CaseMappingNamed(mapping.value(0).toString());
}

// Before anything is written, the file is read without the right to write: a file a newer Tessarin wrote
// is left byte for byte as it was, and a damaged one is never written into.
Store::Opening Store::CheckReadOnly(const QString& path)
{
    const QString name = QStringLiteral("tessarin-store-check-%1").arg(s_nextConnection++);
    Opening opening;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        QSqlQuery query(db);
        if (!db.open()) {
            opening.Failure = FailureOf(db.lastError(), path);
        } else if (!query.exec(
                       QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'schema_version'"))
            || !query.next()) {
            opening.Failure = FailureOf(query.lastError(), path);
        } else if (query.value(0).toInt() > 0
            && (!query.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")) || !query.next())) {
            opening.Failure = FailureOf(query.lastError(), path);
        } else if (const int version = query.value(0).toInt(); version > SchemaVersion()) {
            opening.Failure = { FileTrouble::Other,
                QStringLiteral("it was written by a newer Tessarin (schema %1)").arg(version) };
        } else if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next()) {
            opening.Failure = FailureOf(query.lastError(), path);
        } else if (const QString verdict = query.value(0).toString(); verdict != QStringLiteral("ok")) {
            opening.Failure = { FileTrouble::Damaged, QStringLiteral("it is damaged: ") + verdict };
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (opening.Failure.Trouble == FileTrouble::None && !opening.Failure.Why.isEmpty())
        opening.Failure.Trouble = FileTrouble::Other;
    return opening;
}

// The file holds private conversations and secret rolls: only its owner may read it. SQLite gives the
// write-ahead log and its index the file's mode; the files an older run left are tightened as they are.
Store::Opening Store::OpenAt(const QString& path)
{
    CreateOwnerOnly(path);
    for (const QString& suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        KeepToOwner(path + suffix);
    Opening opening = CheckReadOnly(path);
    if (opening.Failure.Trouble != FileTrouble::None)
        return opening;
    opening.Connection = QStringLiteral("tessarin-store-%1").arg(s_nextConnection++);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), opening.Connection);
    const auto failed = [&](const FileFailure& failure) {
        opening.Failure = failure;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(opening.Connection);
        opening.Connection.clear();
        return opening;
    };
    if (!db.isValid())
        return failed({ FileTrouble::Other, QStringLiteral("Qt's SQLite driver is not installed") });
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        return failed(FailureOf(db.lastError(), path));
    // Every commit is synced: a commit a second costs one sync a second, and a power cut loses at most
    // the second under way.
    for (const QString& statement : { QStringLiteral("PRAGMA journal_mode = WAL"),
             QStringLiteral("PRAGMA synchronous = FULL"), QStringLiteral("BEGIN IMMEDIATE") }) {
        if (const FileFailure failure = Exec(db, statement, path); failure.Trouble != FileTrouble::None)
            return failed(failure);
    }
    if (QString error = Migrate(db); !error.isEmpty()) {
        const FileFailure failure = LastFailure(db, path);
        Run(db, QStringLiteral("ROLLBACK"));
        return failed({ failure.Trouble == FileTrouble::None ? FileTrouble::Other : failure.Trouble, error });
    }
    if (const FileFailure failure = Exec(db, QStringLiteral("COMMIT"), path);
        failure.Trouble != FileTrouble::None) {
        Run(db, QStringLiteral("ROLLBACK"));
        return failed(failure);
    }
    // A copy of the file alone holds the schema from here on.
    Run(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return opening;
}

void Store::FallBackToMemory()
{
    m_onDisk = false;
    m_timers.Checkpoint->Stop();
    UseConnection(QStringLiteral("tessarin-store-%1").arg(s_nextConnection++));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(QStringLiteral(":memory:"));
    m_usable = db.isValid() && db.open() && Migrate(db).isEmpty();
}

void Store::RetryOpen()
{
    // What the parts gathered in memory is settled there first: they read the file afresh once it opens.
    Flush();
    const Opening opening = OpenFile();
    if (opening.Failure.Trouble == FileTrouble::Held)
        return;
    if (opening.Failure.Trouble != FileTrouble::None)
        return Q_EMIT Failed(opening.Failure.Why);
    UseConnection(opening.Connection);
    m_onDisk = m_usable = true;
    m_transactionOpen = false;
    m_timers.Checkpoint->Start(CheckpointIntervalMs);
    ReadKeyMapping();
    Q_EMIT Opened();
}

void Store::Retry()
{
    if (!m_onDisk)
        return RetryOpen();
    WriteAll();
}

void Store::Checkpoint(const QString& mode)
{
    if (!m_onDisk || m_waitingToWrite)
        return;
    if (m_transactionOpen && !Commit())
        return Fail();
    // A checkpoint that readers keep from finishing is taken up again by the next one.
    Run(Database(), QStringLiteral("PRAGMA wal_checkpoint(%1)").arg(mode));
}

QString Store::LoadParts()
{
    QSqlDatabase db = Database();
    for (StorePart* part : std::as_const(m_parts)) {
        if (!part->Load(db)) {
            const FileFailure failure = LastFailure(db, m_path);
            FallBackToMemory();
            return failure.Trouble == FileTrouble::None ? QStringLiteral("its data cannot be read")
                                                        : failure.Why;
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
    if (!Database().commit())
        return false;
    for (StorePart* part : std::as_const(m_parts))
        part->Committed();
    return true;
}

void Store::BeginFlush()
{
    m_timers.Commit->Start(FlushIntervalMs);
    if (!m_usable || m_waitingToWrite)
        return;
    if (m_transactionOpen && !Commit())
        return Fail();
    WriteSoon();
}

void Store::WriteSoon()
{
    if (m_usable && !m_waitingToWrite && !m_timers.Slice->IsActive() && HasChanges())
        m_timers.Slice->Start(WriteDelayMs);
}

void Store::WriteSlice()
{
    if (!m_usable || m_waitingToWrite || !HasChanges())
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
    if (m_usable && (m_transactionOpen || HasChanges() || m_rekeyFrom))
        WriteAll();
}

// Every change and the keys still to be made again, in one transaction: the file has them all or none.
bool Store::WriteAll()
{
    m_timers.Slice->Stop();
    QSqlDatabase db = Database();
    if (!m_transactionOpen && !db.transaction()) {
        Fail();
        return false;
    }
    m_transactionOpen = true;
    bool written = WriteParts(std::numeric_limits<int>::max());
    if (written && m_rekeyFrom) {
        const QStringList statements = RekeyStatements(*m_rekeyFrom, m_keyMapping);
        written = std::all_of(statements.cbegin(), statements.cend(),
            [&db](const QString& statement) { return Run(db, statement).isEmpty(); });
    }
    if (!written || !Commit()) {
        Fail();
        return false;
    }
    m_rekeyFrom.reset();
    if (std::exchange(m_waitingToWrite, false)) {
        m_timers.Retry->Stop();
        Q_EMIT WriteResumed();
    }
    return true;
}

void Store::RekeyNames(irc::CaseMapping mapping)
{
    const irc::CaseMapping from = std::exchange(m_keyMapping, mapping);
    if (from == mapping || !m_usable)
        return;
    if (!m_rekeyFrom)
        m_rekeyFrom = from;
    else if (*m_rekeyFrom == mapping)
        m_rekeyFrom.reset();
    Flush();
}

// What was written since the last commit goes back to the parts. A file that could not be written is tried
// again each minute; a damaged one is left, and the store goes on in memory.
void Store::Fail()
{
    m_timers.Slice->Stop();
    QSqlDatabase db = Database();
    const FileFailure failure = LastFailure(db, m_path);
    m_transactionOpen = false;
    db.rollback();
    for (StorePart* part : std::as_const(m_parts))
        part->RolledBack();
    if (!m_onDisk)
        return;
    if (failure.Trouble == FileTrouble::Damaged) {
        m_waitingToWrite = false;
        m_timers.Retry->Stop();
        FallBackToMemory();
        return Q_EMIT Failed(failure.Why);
    }
    m_timers.Retry->Start(RetryIntervalMs);
    if (!std::exchange(m_waitingToWrite, true))
        Q_EMIT WriteWaiting(failure.Why);
}

} // namespace core
