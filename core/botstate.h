#pragma once

// The bot's one state record: the persisted settings, the operator's lists, the reply phrases and the
// runtime fields that commands and events share. The bot object owns the single instance; everything else
// receives it by reference.

#include "core/channelsettings.h"
#include "core/extrasettings.h"
#include "core/filebaseline.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace core {

enum ReplyPhrase {
    UnknownCommandReply,
    BannedReply,
    AccessDeniedReply,
    QuitByOwnerReply,
    QuitRefusedReply,
    QuitByAnyoneReply,
    FileNotFoundReply,
    SayTimeoutReply,
    LastTimeoutReply,
    HelpTimeoutReply,
    HelloOwnerReply,
    ReplyPhraseCount
};

using ReplyPhraseList = std::array<QString, ReplyPhraseCount>;

const ReplyPhraseList& DefaultReplyPhrases();

// Ranges of the bounded settings; values read from files are clamped into them.
struct IntRange {
    int Min;
    int Max;
    int Clamp(int value) const { return value < Min ? Min : (value > Max ? Max : value); }
};
inline constexpr IntRange ServerPortRange { 1, 65535 };
inline constexpr IntRange TimeoutRange { 1, 360000 };
inline constexpr IntRange LineWidthRange { 1, 32000 };
inline constexpr IntRange ReconnectAttemptsRange { 0, 1000 };
// The number of logged lines per channel has no natural limit, but each line is kept in memory.
inline constexpr IntRange LogLinesRange { 0, 100000 };

inline const QString DefaultCommandChar = QStringLiteral(",");
// The owner's nick of a new configuration: a placeholder until the operator names the owner.
inline const QString DefaultOwnerNick = QStringLiteral("Nick");

struct BotState {
    // Persisted settings, in the order of the settings file.
    QString ServerAddress;
    int ServerPort = 6667;
    QString BotNick = QStringLiteral("Tessarin");
    QString ChannelToJoin = QStringLiteral("#name");
    QString OwnerNick = DefaultOwnerNick;
    bool PrivilegedJoin = false;
    bool PrivilegedPart = false;
    bool PrivilegedSay = false;
    bool PrivilegedQuit = true;
    bool PrivilegedBe = true;
    bool PrivilegedHow = false;
    int HelpTimeout = 10000;
    int SayTimeout = 60000;
    int LastTimeout = 120000;
    bool Silent = false;
    bool Teamrocketing = false;
    bool Dicerollan = false;
    int LogLines = 100;
    int LineWidth = 500;
    QString CommandChar = DefaultCommandChar;
    int ReconnectInterval = 10000;
    int ReconnectAttempts = 10;
    bool AutoReconnect = true; // not persisted
    ExtraSettings Extra;
    // What channels have chosen over the settings above; kept by the store, not the settings files.
    ChannelSettings PerChannel;

    QStringList PrivilegedUsers;
    QStringList BannedUsers;
    QStringList FavoriteChannels;
    QStringList CurrentChannels;
    ReplyPhraseList ReplyPhrases = DefaultReplyPhrases();
    // What each configuration file held when the bot last read or wrote it, by file name.
    QHash<QString, FileBaseline> FilesAsKnown;

    // Runtime fields, never saved.
    bool Connected = false;
    QString JoinRequester;
    QString SayRequester;
    bool HelpLocked = false;
    bool SayLocked = false;
    bool LastLocked = false;
    bool MeowthActive = false;
    // The lines each channel log keeps, its two fixed lines included; fixed again at every connect.
    int LogLimit = 0;
    QString CountLabel;
    int CountValue = 0;
    int CountEnd = 0;
    int CountStep = 0;
    QString CountTarget;
    bool CountPaused = false;

    const QString& Phrase(ReplyPhrase which) const { return ReplyPhrases[which]; }
};

// The command character as text: the first character of CommandChar, or "," when the setting is empty so
// that the bot can always be commanded. A character outside the basic plane is kept whole.
QString CommandPrefix(const BotState& state);

// CommandChar as users are told it; an empty setting reads as the default.
QString EffectiveCommandChar(const BotState& state);

// Whether text can be a command character setting: visible characters only, no control character and no
// blank, so that users can type it at the start of a line and see it when told. Empty text cannot.
bool CanBeCommandChar(const QString& text);

} // namespace core
