#include "app/storetools.h"

#include "core/store.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace app {

namespace {

// The tools wait as long as a person would for a bot's commit to end: they are not the bot's event loop.
constexpr int ToolBusyTimeoutMs = 10000;

// A read-only connection to the store file, closed and removed at the end of its life.
class ReadOnlyStore {
public:
    explicit ReadOnlyStore(const QString& path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name);
        db.setDatabaseName(path);
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(ToolBusyTimeoutMs));
        m_opened = db.open();
        m_error = db.lastError().text();
    }
    ~ReadOnlyStore()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(Name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(Name);
    }
    ReadOnlyStore(const ReadOnlyStore&) = delete;
    ReadOnlyStore& operator=(const ReadOnlyStore&) = delete;

    bool Opened() const { return m_opened; }
    QString Error() const { return m_error; }
    QSqlDatabase Database() const { return QSqlDatabase::database(Name, false); }

    // The values of the first column of a query's rows; nothing when it failed (Error says why).
    std::optional<QStringList> Column(const QString& statement)
    {
        QSqlQuery query(Database());
        if (!query.exec(statement)) {
            m_error = query.lastError().text();
            return std::nullopt;
        }
        QStringList values;
        while (query.next())
            values.append(query.value(0).toString());
        return values;
    }

private:
    static inline const QString Name = QStringLiteral("tessarin-store-tool");
    bool m_opened = false;
    QString m_error;
};

QString StorePath(const QString& filesDir)
{
    return QDir(filesDir).absoluteFilePath(core::StoreFile);
}

QString FileSize(const QString& path)
{
    return QFileInfo::exists(path) ? QStringLiteral("%1 bytes").arg(QFileInfo(path).size())
                                   : QStringLiteral("none");
}

} // namespace

// VACUUM INTO reads the store in one read transaction, which the bot's writes in write-ahead mode do not
// disturb, and writes a compact copy that holds everything committed when it began.
int BackUpStore(const QString& filesDir, const QString& file, QTextStream& out, QTextStream& errors)
{
    const QString path = StorePath(filesDir);
    const QString target = QFileInfo(file).absoluteFilePath();
    if (!QFileInfo::exists(path)) {
        errors << "There is no " << path << " to copy.\n";
        return 2;
    }
    if (QFileInfo::exists(target)) {
        errors << target << " is there already; --backup never overwrites a file.\n";
        return 1;
    }
    ReadOnlyStore store(path);
    if (!store.Opened()) {
        errors << "Could not open " << path << ": " << store.Error() << '\n';
        return 2;
    }
    QSqlQuery copy(store.Database());
    copy.prepare(QStringLiteral("VACUUM INTO ?"));
    copy.addBindValue(target);
    if (!copy.exec()) {
        errors << "Could not copy " << path << " to " << target << ": " << copy.lastError().text() << '\n';
        QFile::remove(target);
        return 1;
    }
    // The copy holds private conversations and secret rolls as the store does.
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    out << "Copied " << path << " to " << target << " (" << FileSize(target) << ").\n";
    return 0;
}

int CheckStore(const QString& filesDir, QTextStream& out, QTextStream& errors)
{
    const QString path = StorePath(filesDir);
    if (!QFileInfo::exists(path)) {
        errors << "There is no " << path << ".\n";
        return 2;
    }
    ReadOnlyStore store(path);
    const std::optional<QStringList> version = store.Opened()
        ? store.Column(QStringLiteral("SELECT MAX(version) FROM schema_version"))
        : std::nullopt;
    if (!version || version->isEmpty()) {
        errors << "Could not read " << path << " as a store: " << store.Error() << '\n';
        return 2;
    }
    out << "store: " << path << '\n';
    out << "schema: " << version->first() << " (this program's: " << core::Store::SchemaVersion() << ")\n";
    out << "size: " << FileSize(path) << ", write-ahead log: " << FileSize(path + QStringLiteral("-wal"))
        << '\n';
    const std::optional<QStringList> tables = store.Column(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    for (const QString& table : tables.value_or(QStringList())) {
        const std::optional<QStringList> rows
            = store.Column(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table));
        out << "rows in " << table << ": " << (rows && !rows->isEmpty() ? rows->first() : store.Error())
            << '\n';
    }
    const std::optional<QStringList> integrity = store.Column(QStringLiteral("PRAGMA integrity_check"));
    const bool sound = integrity && integrity->size() == 1 && integrity->first() == QLatin1String("ok");
    out << "integrity_check: " << (integrity ? integrity->join(QStringLiteral("; ")) : store.Error()) << '\n';
    return sound ? 0 : 1;
}

} // namespace app
