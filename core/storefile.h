#pragma once

// What the store learns about its file beyond the rows: why SQLite refused a statement (read on the
// connection itself, since the parts run their own queries), what kind of trouble that is, and where a
// damaged file is set aside so that it is kept as it was while a new one takes its place.

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace core {

enum class FileTrouble {
    None,
    // Another program holds the lock a write needs (or, at open, any lock): it passes.
    Held,
    // The disk or the folder is full, or the folder can no longer be written: it may pass.
    Full,
    // The file is no database or is damaged: it is never written into.
    Damaged,
    // Anything else.
    Other,
};

struct FileFailure {
    FileTrouble Trouble = FileTrouble::None;
    // Always says something: SQLite's message, or what is known when SQLite said nothing.
    QString Why;
};

// The last failure on db's connection, with the reason a data folder that cannot be written gives rather
// than the disk I/O error SQLite reports for it.
FileFailure LastFailure(const QSqlDatabase& db, const QString& path);

// The same, from an error Qt gave (of an open, a transaction or a query).
FileFailure FailureOf(const QSqlError& error, const QString& path);

// The name a damaged file at path is set aside under on day: "tessarin.db.damaged-2026-12-10", or with
// "-2", "-3" and so on when a file (or its log) of that name is there already.
QString DamagedName(const QString& path, QDate day);

// Moves the damaged file at path, with its write-ahead log and index, to DamagedName. Returns the new name
// of the file, or an empty text when it could not be moved.
QString SetAsideDamaged(const QString& path, QDate day);

} // namespace core
