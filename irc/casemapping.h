#pragma once

// How nicks and channel names compare: as the server compares them, which its feature list (005) says
// with CASEMAPPING. Every comparison of names in the program, and every key made from a name, goes through
// SameName or FoldName here.
//
// The mapping in force is one value for the whole process, since a process runs one bot on one
// connection. Only two places set it: the bot when it opens its store (the mapping the kept keys were made
// under, ascii for a new store, so that keys and comparisons agree from the start), and the IRC client
// whenever a server announces its mapping (see TIrcClient::OnCaseMapping), after which whoever keeps keys
// folds them again. A reconnect keeps the mapping until the server says it again: between the connect and
// the server's feature list only registration lines pass.

#include <QString>
#include <array>
#include <optional>

namespace irc {

// Each mapping folds everything the one before it folds: ascii only A to Z; rfc1459-strict also "[]\"
// onto "{}|"; rfc1459 also "~" onto "^".
enum class CaseMapping { Ascii, StrictRfc1459, Rfc1459 };

// The mapping a CASEMAPPING value names. A value this program does not know (rfc7613, a national code
// page) gives ascii: every mapping in use folds at least A to Z, so ascii never takes two names as one
// that the server tells apart; at worst a ban written in another case of a letter beyond ASCII misses.
CaseMapping CaseMappingNamed(QStringView value);
// The value as servers announce it ("ascii", "rfc1459-strict", "rfc1459").
QString CaseMappingName(CaseMapping mapping);

// A character beyond A to Z that a mapping folds onto another, and the first mapping that does.
struct FoldedCharacter {
    char16_t From;
    char16_t To;
    CaseMapping Since;
};
const std::array<FoldedCharacter, 4>& FoldedPunctuation();

QChar FoldChar(QChar c, CaseMapping mapping);
QString Fold(QStringView name, CaseMapping mapping);

// The characters a key folded under from may hold for spellings that to tells apart ("{}|^" from rfc1459
// to ascii); empty when to folds at least what from does.
QString PartedCharacters(CaseMapping from, CaseMapping to);
// A key folded under from as the key under to; none when it holds a parted character, since it may then
// stand for several names to tells apart, and whatever it keys cannot be given to any one of them.
std::optional<QString> Refold(const QString& key, CaseMapping from, CaseMapping to);

// The mapping in force, and setting it (see above for who may).
CaseMapping CurrentCaseMapping();
void SetCurrentCaseMapping(CaseMapping mapping);

// A name folded under the mapping in force: the key to keep it under.
QString FoldName(QStringView name);
// Whether two nicks or channel names are one under the mapping in force.
bool SameName(QStringView a, QStringView b);

} // namespace irc
