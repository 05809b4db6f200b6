#pragma once

// The seen tracker: every user the bot has seen on its channels, under which nicks, and when each came,
// left and last spoke on each channel. It is fed by events (names lists, joins, parts, kicks, quits, nick
// changes, messages) and answers who a nick is, which the privilege and ban tests rely on.
//
// Users live in BotState::ChatUsers, in the order first seen, and are never removed. Lookups go through an
// index by lower-cased nick (later nicks included) that always names the last user with that nick, so a
// lookup costs the same with a hundred users as with a hundred thousand.

#include "core/botstate.h"

#include <optional>

namespace core {

// What happened on a channel, as far as the tracker cares.
enum class ChannelEvent { Joined, Parted, Kicked, Quit, Other };

namespace notes {
inline const QString AlreadyOnline = QStringLiteral("was already online when I indexed the channel.");
inline const QString Connected = QStringLiteral("connected when I was on the channel.");
inline const QString Parted = QStringLiteral(" and left the channel when I was on it.");
inline const QString Kicked = QStringLiteral(" and was kicked off the channel when I was on it.");
inline const QString Quit = QStringLiteral(" and quit.");
inline const QString BotLeft = QStringLiteral(" (was still online when I left the channel).");
inline const QString BotKicked = QStringLiteral(" (was still online when I was kicked).");
} // namespace notes

inline const QString NeverSpoke = QStringLiteral("never");

// The last user whose first nick or any later nick equals nick ignoring case.
std::optional<qsizetype> FindChatUser(const BotState& state, const QString& nick);

// The last user whose first nick equals nick exactly; later nicks do not count.
std::optional<qsizetype> FindChatUserExact(const BotState& state, const QString& nick);

// The last entry of the user's channels equal to channel exactly.
std::optional<qsizetype> FindUserChannel(const TChatUser& user, const QString& channel);

// Takes in the users of a channel the bot has not indexed yet. markIndexed says whether the channel
// counts as indexed afterwards even when nicks is empty.
void TakeInChannel(BotState& state, const QString& channel, const QStringList& nicks, const QString& stamp,
    bool markIndexed);

// A channel update raised for a channel the bot is on: takes the channel in first when it is new.
void OnChannelUpdate(BotState& state, const QString& channel, const QStringList& nicks, ChannelEvent event,
    const QString& nick, const QString& stamp);

void OnNickChange(BotState& state, const QString& oldNick, const QString& newNick);
void OnChannelMessage(BotState& state, const QString& nick, const QString& channel, const QString& stamp);

// The bot left a channel on a part command: everybody still there is noted as such.
void OnBotLeftChannel(
    BotState& state, const QString& channel, const QStringList& nicks, const QString& stamp);

// The bot was kicked and could not rejoin.
void OnBotKickedOut(BotState& state, const QString& channel, const QStringList& nicks, const QString& stamp);

} // namespace core
