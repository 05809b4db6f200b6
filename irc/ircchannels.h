#pragma once

// The channels the IRC client is on, with their topic, modes and names lists. The client feeds them the
// server's events; each channel reports its changes through the update handler it was created with.

#include "irc/ircusers.h"
#include "irc/modesyntax.h"

#include <QStringList>
#include <functional>

namespace irc {

// What changed on a channel. For the user kinds, the info is the names-list index of the entry; for cuUser
// it is the entry's new flags (1 operator, 2 voice; see TIrcChannel::FlagsOf).
enum TIrcChannelUpdateType { cuMode, cuTopic, cuUser, cuNames, cuNick, cuJoin, cuPart, cuKick, cuQuit };

enum class TIrcCloseReason { None, Parted, Kicked };

struct TIrcName {
    UserPtr User;
    // The rank letters the user holds on the channel ("ov"), as the server's PREFIX names them.
    QString Ranks;
};

class TIrcChannel {
public:
    using UpdateHandler
        = std::function<void(TIrcChannel& channel, TIrcChannelUpdateType type, TIrcUser* user, int info)>;

    // Requires: users and syntax outlive the channel.
    TIrcChannel(const QString& name, TIrcUsers& users, const ModeSyntax& syntax, UpdateHandler handler);
    ~TIrcChannel();
    TIrcChannel(const TIrcChannel&) = delete;
    TIrcChannel& operator=(const TIrcChannel&) = delete;

    QString Name;
    QString Topic;
    // The letters of the simple channel modes that are set, such as "nt".
    QString Modes;
    int Limit = 0;
    QString Key;
    QStringList Bans;
    // Set when the bot joins, cleared when it parts or is kicked.
    bool Active = false;
    TIrcCloseReason CloseReason = TIrcCloseReason::None;

    const std::vector<TIrcName>& Names() const { return m_names; }
    QStringList Nicks() const;
    // The index of nick in the names list (as the server compares names), or -1.
    qsizetype IndexOf(const QString& nick) const;
    // Whether the entry holds a rank that makes an operator (see modesyntax.h).
    bool IsOperator(const TIrcName& entry) const;
    // 1 for an operator, 2 for voice, both added.
    int FlagsOf(const TIrcName& entry) const;

    // One line of a NAMES reply: nicks separated by spaces, each after the symbols of its ranks ("@+Ann"
    // where the server lists them all, "@Ann" where it gives the highest only).
    void AddNames(const QString& names);
    void AddUser(const UserPtr& user);
    // Raises type (cuPart, cuKick or cuQuit) and then drops the entry; nothing when nick is not listed.
    void RemoveUser(const QString& nick, TIrcChannelUpdateType type);
    // Raises cuNick when the user, already carrying the new nick, is listed.
    void UserRenamed(TIrcUser* user);
    void SetTopic(const QString& topic);
    // A MODE line's mode text and its arguments, applied in order; which letters take an argument is the
    // syntax's to say.
    void ApplyModes(const QString& modes, const QStringList& arguments);
    // The channel's whole mode set, as RPL_CHANNELMODEIS (324) tells it: simple modes, limit and key that it
    // leaves out are not set.
    void ReplaceModes(const QString& modes, const QStringList& arguments);
    // The channel type a names reply gives: "@" marks a secret channel, "*" a private one. Some servers
    // (ngircd) give "=" (public) for every channel, so it changes nothing.
    void NoteNamesType(const QString& symbol);
    // Secret (+s) or private (+p), so that the server hides the channel and who is on it from outsiders; or
    // perhaps so, while the server has not told the whole mode set yet.
    bool MayBeSecret() const { return !m_modesKnown || Modes.contains(u's') || Modes.contains(u'p'); }

private:
    void Raise(TIrcChannelUpdateType type, TIrcUser* user, int info);
    // Applies modes without raising cuMode for what they change.
    void ApplyModeLetters(const QString& modes, const QStringList& arguments);
    // Gives or takes a rank; raises cuUser when the user's flags change.
    void ChangeRank(QChar rank, bool adding, const QString& nick);

    TIrcUsers& m_users;
    const ModeSyntax& m_syntax;
    UpdateHandler m_handler;
    std::vector<TIrcName> m_names;
    // The server has told the whole mode set.
    bool m_modesKnown = false;
};

using ChannelPtr = std::shared_ptr<TIrcChannel>;

class TIrcChannels {
public:
    // A fresh record for name; a record of the same name (as the server compares names) is dropped first.
    // Requires: users and syntax outlive the record.
    ChannelPtr Add(
        const QString& name, TIrcUsers& users, const ModeSyntax& syntax, TIrcChannel::UpdateHandler handler);
    ChannelPtr Find(const QString& name) const;
    void Remove(const ChannelPtr& channel);
    const std::vector<ChannelPtr>& Items() const { return m_channels; }
    void Clear() { m_channels.clear(); }

private:
    std::vector<ChannelPtr> m_channels;
};

// Whether a target names a channel rather than a nick.
bool IsChannelName(const QString& target);

} // namespace irc
