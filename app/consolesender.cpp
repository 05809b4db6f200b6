#include "app/consolesender.h"

namespace app {

ConsoleSender::ConsoleSender(QTextStream& out)
    : m_out(out)
{
}

void ConsoleSender::Print(const QString& line)
{
    m_out << line << '\n';
    m_out.flush();
}

bool ConsoleSender::Say(const QString& target, const QString& text)
{
    Print(u'[' + target + QStringLiteral("] <") + m_nick + QStringLiteral("> ") + text);
    return true;
}

bool ConsoleSender::Notice(const QString& target, const QString& text)
{
    Print(u'[' + target + QStringLiteral("] -") + m_nick + QStringLiteral("- ") + text);
    return true;
}

bool ConsoleSender::Action(const QString& target, const QString& text)
{
    Print(u'[' + target + QStringLiteral("] * ") + m_nick + u' ' + text);
    return true;
}

bool ConsoleSender::Join(const QString& channel)
{
    Print(QStringLiteral("*** ") + m_nick + QStringLiteral(" joins ") + channel);
    return true;
}

bool ConsoleSender::Part(const QString& channel)
{
    Print(QStringLiteral("*** ") + m_nick + QStringLiteral(" leaves ") + channel);
    return true;
}

void ConsoleSender::SetNick(const QString& nick)
{
    Print(QStringLiteral("*** ") + m_nick + QStringLiteral(" is now known as ") + nick);
    m_nick = nick;
}

void ConsoleSender::Disconnect() { }

} // namespace app
