#include "irc/message.h"

#include <algorithm>

namespace irc {

QByteArray CutUtf8(const QByteArray& text, qsizetype maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    qsizetype end = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the character that would be cut.
    qsizetype back = 0;
    while (end > 0 && back < 3 && (static_cast<unsigned char>(text.at(end)) & 0xC0) == 0x80) {
        --end;
        ++back;
    }
    if ((static_cast<unsigned char>(text.at(end)) & 0xC0) == 0x80)
        end = maxBytes; // not UTF-8 at all: a plain byte cut is as good as any
    return text.left(end);
}

namespace {

// A tag value with the escapes of IRCv3 undone: "\:" ";", "\s" space, "\\" "\", "\r" CR, "\n" LF; a
// backslash before any other character is dropped, and so is one at the end.
QByteArray UnescapeTagValue(const QByteArray& value)
{
    QByteArray text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) != '\\') {
            text += value.at(i);
            continue;
        }
        if (++i == value.size())
            break;
        switch (value.at(i)) {
        case ':':
            text += ';';
            break;
        case 's':
            text += ' ';
            break;
        case 'r':
            text += '\r';
            break;
        case 'n':
            text += '\n';
            break;
        default:
            text += value.at(i);
        }
    }
    return text;
}

void ParseTags(const QByteArray& tags, Message& message)
{
    for (const QByteArray& tag : tags.split(';')) {
        if (tag.isEmpty())
            continue;
        const qsizetype equals = tag.indexOf('=');
        const QByteArray name = CutUtf8(equals < 0 ? tag : tag.left(equals), MaxPieceBytes);
        const QByteArray value
            = equals < 0 ? QByteArray() : CutUtf8(UnescapeTagValue(tag.mid(equals + 1)), MaxPieceBytes);
        const auto known = std::find_if(message.Tags.begin(), message.Tags.end(),
            [&name](const std::pair<QByteArray, QByteArray>& entry) { return entry.first == name; });
        if (known != message.Tags.end())
            known->second = value;
        else if (message.Tags.size() < MaxTags)
            message.Tags.append({ name, value });
    }
}

} // namespace

// The wire grammar, as servers really send it:
//
//   line     = [ "@" tags SPACES ] [ ":" prefix SPACES ] command [ params ]
//   tags     = tag *( ";" tag )       (tag = name [ "=" escaped value ])
//   prefix   = any bytes but space        (nick "!" user "@" host, or a server name)
//   command  = any bytes but space        (a word such as PRIVMSG, or a numeric such as 433)
//   params   = *( SPACES middle ) [ SPACES ":" trailing ]
//   middle   = any bytes but space, not beginning with ":"
//   trailing = any bytes, spaces included
//   SPACES   = one or more " "
//
// A run of spaces counts as one separator and trailing spaces are no parameter, because some servers pad
// their lines. Tabs and control bytes are ordinary bytes. Every piece is cut to MaxPieceBytes; parameters
// beyond MaxParams are dropped (Content still holds them).
Message ParseLine(const QByteArray& line)
{
    Message message;
    const qsizetype size = line.size();
    qsizetype pos = 0;
    const auto skipSpaces = [&] {
        while (pos < size && line.at(pos) == ' ')
            ++pos;
    };
    const auto takeWord = [&] {
        const qsizetype start = pos;
        while (pos < size && line.at(pos) != ' ')
            ++pos;
        return CutUtf8(line.mid(start, pos - start), MaxPieceBytes);
    };

    if (pos < size && line.at(pos) == '@') {
        const qsizetype start = ++pos;
        while (pos < size && line.at(pos) != ' ')
            ++pos;
        ParseTags(line.mid(start, pos - start), message);
        skipSpaces();
    }
    if (pos < size && line.at(pos) == ':') {
        ++pos;
        message.Prefix = takeWord();
    }
    skipSpaces();
    message.Command = takeWord();
    skipSpaces();
    message.Content = line.mid(pos);

    while (pos < size && message.Params.size() < MaxParams) {
        if (line.at(pos) == ':') {
            message.Params.append(CutUtf8(line.mid(pos + 1), MaxPieceBytes));
            break;
        }
        message.Params.append(takeWord());
        skipSpaces();
    }
    return message;
}

PrefixParts SplitPrefix(const QByteArray& prefix)
{
    const qsizetype bang = prefix.indexOf('!');
    if (bang < 0)
        return { QByteArray(), prefix };
    return { prefix.left(bang), prefix.mid(bang + 1) };
}

} // namespace irc
