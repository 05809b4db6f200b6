#pragma once

// The session fuzz target's input: a script of what an IRC server says to the bot, one script line per
// server line, so that a seed reads like a server log and libFuzzer's line-sized mutations stay lines.
//
//   :irc.example 001 Tessarin :Welcome   a server line, sent with CR LF after it
//   ,roll 3d6                            a player's line: ":Kell!kell@127.0.0.1 PRIVMSG #rpg :,roll 3d6"
//   :irc.example 00\                     a trailing backslash: sent without a line end, and the event
//                                        loop turns before the rest comes (a line split in two reads)
//   ~                                    the event loop turns: the bot reads what came and answers
//   ~as Bree  /  ~as Bree!b@host         who says the following player's lines
//   ~in Tessarin  /  ~in #table          where they are said (the bot's nick: privately)
//   ~pad 20000                           the next line gets this many more bytes before its line end
//   ~tick                                a minute passes: the clock moves on, and every timer of the bot
//                                        and its connection that is waiting fires once (a reconnect on a
//                                        new connection)
//   ~hangup                              the server closes the connection
//   ~connect                             the operator connects again, on a new connection
//   ~set dice/inline_rolls=yes           a tessarin.ini setting for this input (from the start, wherever
//                                        it stands; only keys that keep the run offline and in memory)
//   # text                               a comment
//
// Parsing is a pure function, so that the script's meaning never depends on what the bot did.

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>
#include <vector>

namespace fuzzing {

struct ScriptStep {
    enum class Kind { Write, Turn, Tick, HangUp, Connect };
    Kind What = Kind::Turn;
    // The bytes the server writes (Write only).
    QByteArray Bytes;
};

struct SessionScript {
    std::vector<ScriptStep> Steps;
    // tessarin.ini settings by key ("dice/system") and value, in the order given.
    QList<std::pair<QString, QString>> Settings;
};

// The bytes of padding one input may add with ~pad in all: enough for lines past the client's limit of
// 16384, little enough to keep an input quick.
inline constexpr qsizetype MaxPaddingBytes = 128 * 1024;

SessionScript ParseSessionScript(const QByteArray& input);

// Whether ~set may change the key: not the store (it would write the data folder), the pace (lines would
// wait for real timers), the connection's TLS and time-outs, nor the curiosity shop's host (a network
// connection).
bool SettableInFuzzing(const QString& key);

} // namespace fuzzing
