#include "outgoingcheck.h"

#include "irc/outgoing.h"
#include "irc/textcodec.h"

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

namespace {

// The body of a line: what comes before its CR LF.
constexpr qsizetype MaxBodyBytes = irc::MaxLineBytes - 2;
// A UTF-8 character cut at the end of a long line takes at most three bytes with it.
constexpr qsizetype MaxCutBytes = 3;

bool HasNoBreakOrNul(const QByteArray& bytes)
{
    return !bytes.contains('\r') && !bytes.contains('\n') && !bytes.contains('\0');
}

// The token as a PONG can carry it: decoded as the client decodes text, up to a line break, without NUL
// bytes, in UTF-8.
QByteArray EchoableToken(const QByteArray& token)
{
    QByteArray bytes = irc::DecodeText(token).toUtf8();
    const qsizetype cr = bytes.indexOf('\r');
    const qsizetype lf = bytes.indexOf('\n');
    if (cr >= 0 || lf >= 0)
        bytes.truncate(cr < 0 ? lf : (lf < 0 ? cr : std::min(cr, lf)));
    return bytes.replace(QByteArray(1, '\0'), QByteArray());
}

} // namespace

void Require(bool condition, const char* what, const QByteArray& detail)
{
    if (condition)
        return;
    std::fprintf(stderr, "session fuzz: %s: \"%s\"\n", what, detail.toPercentEncoding(" :#,!@").constData());
    std::abort();
}

void OutgoingCheck::Feed(const QByteArray& bytes)
{
    m_pending += bytes;
    qsizetype start = 0;
    qsizetype end;
    while ((end = m_pending.indexOf('\n', start)) >= 0) {
        CheckLine(m_pending.mid(start, end + 1 - start));
        start = end + 1;
    }
    m_pending.remove(0, start);
    Require(m_pending.size() < irc::MaxLineBytes, "a line longer than 512 bytes", m_pending.left(600));
}

void OutgoingCheck::CheckLine(const QByteArray& line)
{
    Require(line.size() <= irc::MaxLineBytes, "a line longer than 512 bytes", line);
    Require(line.endsWith("\r\n"), "a line that does not end with CR LF", line);
    const QByteArray body = line.chopped(2);
    Require(HasNoBreakOrNul(body), "a CR, LF or NUL inside a line", line);
    if (body.startsWith("PONG "))
        CheckPong(body);
}

void OutgoingCheck::CheckPong(const QByteArray& line)
{
    Require(!m_pings.empty(), "a PONG for no PING", line);
    const QByteArray wanted = "PONG :" + EchoableToken(m_pings.front());
    m_pings.pop_front();
    if (wanted.size() <= MaxBodyBytes)
        Require(line == wanted, "a PONG that does not echo its PING's token", line + " for " + wanted);
    else
        Require(line.size() >= MaxBodyBytes - MaxCutBytes && wanted.startsWith(line),
            "a PONG that does not echo as much of a long token as fits", line);
}

void OutgoingCheck::ExpectPong(const QByteArray& token)
{
    m_pings.push_back(token);
}

void OutgoingCheck::Ended()
{
    // Feed has seen to its length.
    const QByteArray cut = m_pending.endsWith('\r') ? m_pending.chopped(1) : m_pending;
    Require(HasNoBreakOrNul(cut), "a line cut at the close that could not have been whole", m_pending);
    m_pending.clear();
    m_pings.clear();
}

void OutgoingCheck::Finish() const
{
    Require(m_pending.isEmpty(), "a line without its line end", m_pending);
    Require(m_pings.empty(), "a PING left without a PONG", m_pings.empty() ? QByteArray() : m_pings.front());
}

} // namespace fuzzing
