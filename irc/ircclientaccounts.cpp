// Who is logged in to which services account, as far as the server tells it: the account tag on each
// line a user sends (account-tag), the ACCOUNT lines when someone logs in or out (account-notify), the
// account in each JOIN (extended-join), for the users already on a channel the bot joins, a WHO that
// asks for the accounts (WHOX), and for a user who speaks to the bot privately from outside its channels,
// a WHOIS while his lines wait.

#include "irc/ircclient.h"
#include "irc/textcodec.h"

#include <algorithm>

namespace irc {

namespace {

// The token that marks the WHOX replies to the bot's own question among other WHO replies.
const QByteArray WhoxToken = "152";

// "*" (in ACCOUNT and JOIN) and "0" (in WHOX) mean logged out.
QString AccountText(const QByteArray& account, const QByteArray& none)
{
    return account == none ? QString() : DecodeText(account);
}

} // namespace

bool TIrcClient::TellsAccounts() const
{
    return m_cap.Enabled("account-tag") || m_cap.Enabled("account-notify") || m_cap.Enabled("extended-join");
}

void TIrcClient::NoteAccountTag(const Message& message, const UserPtr& sender)
{
    if (!m_cap.Enabled("account-tag") || sender->Nick.isEmpty())
        return;
    const std::optional<QByteArray> account = message.Tag("account");
    sender->Account = account ? DecodeText(*account) : QString();
}

void TIrcClient::HandleAccount(const Message& message, const UserPtr& sender)
{
    if (!sender->Nick.isEmpty() && !message.Params.isEmpty())
        sender->Account = AccountText(message.Param(0), "*");
}

void TIrcClient::NoteJoinAccount(const Message& message, const UserPtr& sender)
{
    if (m_cap.Enabled("extended-join") && message.Params.size() >= 3)
        sender->Account = AccountText(message.Param(1), "*");
}

void TIrcClient::NoteWhox(const Message& message)
{
    for (qsizetype i = 1; i + 1 < message.Params.size(); ++i) {
        if (message.Params.at(i) == "WHOX")
            m_whox = true;
    }
}

void TIrcClient::AskAccounts(const QString& channel)
{
    const auto asked = [&channel](const QString& other) { return SameName(other, channel); };
    if (!m_whox || !TellsAccounts() || std::any_of(m_askedAccounts.cbegin(), m_askedAccounts.cend(), asked))
        return;
    // Every channel asked for is answered, so the list stays as long as the bot's channels.
    if (SendProtocol(
            QStringLiteral("WHO ") + channel + QStringLiteral(" %tna,") + QString::fromLatin1(WhoxToken)))
        m_askedAccounts.append(channel);
}

bool TIrcClient::HandleWhoxReply(int numeric, const Message& message)
{
    // 354 <me> <token> <nick> <account>
    if (numeric == 354 && message.Param(1) == WhoxToken) {
        if (const UserPtr user = m_users.Find(DecodeText(message.Param(2))))
            user->Account = AccountText(message.Param(3), "0");
        return true;
    }
    // 315 <me> <channel> :End of WHO
    if (numeric == 315) {
        const QString channel = DecodeText(message.Param(1));
        for (qsizetype i = 0; i < m_askedAccounts.size(); ++i) {
            if (SameName(m_askedAccounts.at(i), channel)) {
                m_askedAccounts.removeAt(i);
                return true;
            }
        }
    }
    return false;
}

bool TIrcClient::HoldForAccount(const UserPtr& sender, const QString& text)
{
    if (!m_accountLookups.Holds(sender.get())
        && (sender->Account || !TellsAccounts() || sender->Nick.isEmpty() || IsSelf(*sender)))
        return false;
    // The line keeps its sender known until it is handed on.
    const UserPtr held = m_users.Add(sender->Nick);
    switch (m_accountLookups.Hold(held, text, m_clock.elapsed())) {
    case AccountLookups::Outcome::Ask:
        SendProtocol(QStringLiteral("WHOIS ") + held->Nick);
        if (!m_accountTimer.isActive())
            m_accountTimer.start(AccountAnswerMs);
        break;
    case AccountLookups::Outcome::Queued:
        break;
    case AccountLookups::Outcome::Full:
        m_users.Release(held);
        Q_EMIT OnStatus(QStringLiteral("Too many private lines wait for the server to tell accounts; one "
                                       "from %1 is dropped.")
                            .arg(held->Nick));
        break;
    }
    return true;
}

// 330 <me> <nick> <account> :is logged in as; 318 <me> <nick> :End of WHOIS. The other WHOIS lines, and
// 401 for a user gone meanwhile, are not reported either.
bool TIrcClient::HandleWhoisReply(int numeric, const Message& message)
{
    if (numeric < 300 || numeric > 401)
        return false;
    const QString nick = DecodeText(message.Param(1));
    const UserPtr user = m_accountLookups.AskedUser(nick);
    if (!user)
        return false;
    if (numeric == 330)
        user->Account = DecodeText(message.Param(2));
    if (numeric == 318) {
        // Without a 330 the server knows the user logged in to no account.
        if (!user->Account)
            user->Account = QString();
        ReleaseHeldLines(m_accountLookups.Answered(nick), true);
        if (!m_accountLookups.OldestQuestion())
            m_accountTimer.stop();
    }
    return true;
}

void TIrcClient::ReleaseHeldLines(std::vector<HeldLine> lines, bool answered)
{
    const quint64 generation = m_generation;
    for (const HeldLine& line : lines) {
        if (answered && m_generation == generation) {
            const QString previousOwner = std::exchange(m_lineOwner, line.User->Nick);
            Q_EMIT OnMessage(line.User.get(), nullptr, line.Text);
            m_lineOwner = previousOwner;
        } else if (!answered) {
            Q_EMIT OnStatus(
                QStringLiteral("No word from the server on the account of %1; a private line is dropped.")
                    .arg(line.User->Nick));
        }
        m_users.Release(line.User);
    }
}

void TIrcClient::ExpireAccountLookups()
{
    const qint64 now = m_clock.elapsed();
    ReleaseHeldLines(m_accountLookups.TakeAskedBy(now - AccountAnswerMs), false);
    if (const std::optional<qint64> oldest = m_accountLookups.OldestQuestion())
        m_accountTimer.start(static_cast<int>(std::max<qint64>(0, *oldest + AccountAnswerMs - now)));
}

} // namespace irc
