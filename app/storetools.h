#pragma once

// The operator's tools for the store, run beside a bot or without one: a consistent copy of tessarin.db
// while the bot writes it, and a report of what the file holds and whether it is sound. Neither takes the
// data folder's lock nor writes into the store.

#include <QString>
#include <QTextStream>

namespace app {

// Copies the store of filesDir into file, which must not exist yet. Returns the exit code: 0 copied, 1 the
// copy failed, 2 there is no store to copy; what happened is written to out or errors.
int BackUpStore(const QString& filesDir, const QString& file, QTextStream& out, QTextStream& errors);

// Reports the store of filesDir: its schema, size, rows per table and SQLite's integrity check. Returns
// the exit code: 0 sound, 1 damaged, 2 missing or not a store that can be opened.
int CheckStore(const QString& filesDir, QTextStream& out, QTextStream& errors);

} // namespace app
