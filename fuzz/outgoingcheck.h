#pragma once

// What the session fuzz target demands of the bytes the bot writes on one connection: whole protocol
// lines (at most 512 bytes with their CR LF, no CR, LF or NUL inside), and a PONG for every PING the
// client handled, in order, that echoes the PING's token. One check per connection; it aborts the process
// on the first violation, after saying what it saw on standard error.

#include <QByteArray>
#include <deque>

namespace fuzzing {

class OutgoingCheck {
public:
    // Bytes the bot wrote, as they were read.
    void Feed(const QByteArray& bytes);

    // The client handled a PING with this token (its first parameter, as it came) while connected.
    void ExpectPong(const QByteArray& token);

    // The connection ended. When the bot closed it, the lines it had not written yet are lost, so the
    // bytes read may end inside a line and PINGs may have gone unanswered; a cut line must still be one
    // that could have been whole.
    void Ended();

    // The input is over and the connection still up, with everything the bot wrote read: nothing may be
    // left unanswered or unended.
    void Finish() const;

private:
    void CheckLine(const QByteArray& line);
    void CheckPong(const QByteArray& line);

    QByteArray m_pending;
    std::deque<QByteArray> m_pings;
};

// Stops the process with a report on standard error when condition does not hold.
void Require(bool condition, const char* what, const QByteArray& detail = QByteArray());

} // namespace fuzzing
