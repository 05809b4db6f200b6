#pragma once

// The store's keys made from names: the rolls' place, nick and account keys and the face counts' nick and
// account keys. They are folded under the case mapping the store remembers (its name_keys table), and when
// the server's mapping changes the store makes them again in SQL: the place and nick keys from the names
// kept beside them, the account keys (kept without their names) from the keys themselves (see
// irc::Refold). The channel settings and the accounts of the logs are written from memory, where they are
// folded again.

#include "irc/casemapping.h"

#include <QStringList>

namespace core {

// The key of what a change of mapping left without its owner: no account folds to a blank.
inline const QString UnownedKey = QStringLiteral(" ");

// SQL that folds the text expression as mapping does. SQLite's lower() changes A to Z only.
QString FoldSql(const QString& expression, irc::CaseMapping mapping);

// The statements that make the store's keys folded under from into keys under to.
QStringList RekeyStatements(irc::CaseMapping from, irc::CaseMapping to);

} // namespace core
