#include "sessionscript.h"

#include <algorithm>

namespace fuzzing {

namespace {

constexpr char LineEnd[] = "\r\n";

// A speaker without an address is given the one the recorded sessions show.
QByteArray SpeakerPrefix(const QByteArray& speaker)
{
    return speaker.contains('!') ? speaker : speaker + '!' + speaker.toLower() + "@127.0.0.1";
}

class ScriptReader {
public:
    SessionScript Read(const QByteArray& input)
    {
        const QList<QByteArray> lines = input.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            // The input's own last line end leaves an empty piece that is no line.
            if (i + 1 == lines.size() && lines.at(i).isEmpty())
                break;
            ReadLine(lines.at(i));
        }
        return std::move(m_script);
    }

private:
    void ReadLine(const QByteArray& line)
    {
        if (line.startsWith('#'))
            return;
        if (line.startsWith('~')) {
            ReadDirective(line.mid(1));
            return;
        }
        if (line.startsWith(','))
            Send(":" + SpeakerPrefix(m_speaker) + " PRIVMSG " + m_place + " :" + line);
        else
            Send(line);
    }

    void ReadDirective(const QByteArray& directive)
    {
        const qsizetype blank = directive.indexOf(' ');
        const QByteArray word = blank < 0 ? directive : directive.left(blank);
        const QByteArray argument = blank < 0 ? QByteArray() : directive.mid(blank + 1);
        if (word.isEmpty())
            Step(ScriptStep::Kind::Turn);
        else if (word == "as" && !argument.isEmpty())
            m_speaker = argument;
        else if (word == "in" && !argument.isEmpty())
            m_place = argument;
        else if (word == "pad")
            m_padding = std::clamp<qsizetype>(argument.toLongLong(), 0, MaxPaddingBytes - m_padded);
        else if (word == "tick")
            Step(ScriptStep::Kind::Tick);
        else if (word == "hangup")
            Step(ScriptStep::Kind::HangUp);
        else if (word == "connect")
            Step(ScriptStep::Kind::Connect);
        else if (word == "set")
            Set(QString::fromUtf8(argument));
    }

    void Set(const QString& assignment)
    {
        const qsizetype equals = assignment.indexOf(u'=');
        if (equals > 0)
            m_script.Settings.append(
                { assignment.left(equals).trimmed(), assignment.mid(equals + 1).trimmed() });
    }

    // A line that ends in a backslash is the first part of a line the server writes in two pieces.
    void Send(QByteArray line)
    {
        const bool split = line.endsWith('\\');
        if (split)
            line.chop(1);
        if (m_padding > 0) {
            line += QByteArray(m_padding, 'x');
            m_padded += std::exchange(m_padding, 0);
        }
        m_script.Steps.push_back({ ScriptStep::Kind::Write, split ? line : line + LineEnd });
        if (split)
            Step(ScriptStep::Kind::Turn);
    }

    void Step(ScriptStep::Kind kind) { m_script.Steps.push_back({ kind, {} }); }

    SessionScript m_script;
    QByteArray m_speaker = "Kell";
    QByteArray m_place = "#rpg";
    qsizetype m_padding = 0;
    qsizetype m_padded = 0;
};

} // namespace

SessionScript ParseSessionScript(const QByteArray& input)
{
    return ScriptReader().Read(input);
}

bool SettableInFuzzing(const QString& key)
{
    static const QStringList keys { "help/request_address", "help/home_page", "connection/sasl_account",
        "connection/sasl_password", "connection/sasl_required", "connection/nickserv_password",
        "flood/queue_per_user", "flood/lines_per_message", "flood/ctcp_per_minute", "access/evidence",
        "access/owner_account", "access/owner_hostmask", "access/creator", "commands/address_with_colon",
        "dice/inline_rolls", "dice/game_master", "dice/system" };
    return keys.contains(key);
}

} // namespace fuzzing
