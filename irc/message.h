#pragma once

// One server line taken apart: its message tags, who sent it, the command, and its parameters, still as
// bytes. Parsing is a
// pure function so that it can be tested and fuzzed without a connection; decoding to text happens when
// the client hands the pieces on.

#include <QByteArray>
#include <QList>
#include <optional>
#include <utility>

namespace irc {

// A line has 30 slots: the prefix, the command, and 28 parameters; further parameters are dropped.
inline constexpr qsizetype MaxParams = 28;
// No piece of a line (prefix, command, one parameter) is longer than this many bytes.
inline constexpr qsizetype MaxPieceBytes = 512;

// At most this many message tags are kept from one line; servers send a handful.
inline constexpr qsizetype MaxTags = 32;

struct Message {
    // The IRCv3 message tags, names and unescaped values, the last of a repeated name winning.
    QList<std::pair<QByteArray, QByteArray>> Tags;
    QByteArray Prefix;
    QByteArray Command;
    QList<QByteArray> Params;
    // Everything after the command, as it came: the text an error reply or an unknown command reports.
    QByteArray Content;

    // The parameter at index, or an empty piece when the line has fewer.
    QByteArray Param(qsizetype index) const
    {
        return index < Params.size() ? Params.at(index) : QByteArray();
    }

    // The value of the tag name; nothing when the line does not carry it (a tag without a value is empty).
    std::optional<QByteArray> Tag(const QByteArray& name) const
    {
        for (const auto& [key, value] : Tags) {
            if (key == name)
                return value;
        }
        return std::nullopt;
    }

    bool operator==(const Message&) const = default;
};

Message ParseLine(const QByteArray& line);

// A prefix "nick!user@host" splits into the nick and the address after the "!"; a server prefix has no
// nick and is all address.
struct PrefixParts {
    QByteArray Nick;
    QByteArray Address;
};

PrefixParts SplitPrefix(const QByteArray& prefix);

// The first bytes of text, at most maxBytes, never ending inside a UTF-8 sequence.
QByteArray CutUtf8(const QByteArray& text, qsizetype maxBytes);

} // namespace irc
