#pragma once

// The entries of the privileged and banned lists that are not nicks: "$a:name", a services account, and
// "nick!user@host" masks in which "*" stands for any run of characters and "?" for one.

#include <QString>

namespace core {

inline const QString AccountEntryPrefix = QStringLiteral("$a:");

bool IsAccountEntry(const QString& entry);
// A nick holds neither "!" nor "@", so an entry with either is a mask.
bool IsHostmaskEntry(const QString& entry);

// Whether "nick!address" fits the mask: the nick as the server compares nicks, the user name and host with
// A to Z in either case.
bool MatchesHostmask(const QString& mask, const QString& nick, const QString& address);

} // namespace core
