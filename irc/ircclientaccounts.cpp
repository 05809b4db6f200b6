// Who is logged in to which services account, as far as the server tells it: the account tag on each
// line a user sends (account-tag), the ACCOUNT lines when someone logs in or out (account-notify), the
// account in each JOIN (extended-join), and, for the users already on a channel the bot joins, a WHO that
// asks for the accounts (WHOX).

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

} // namespace irc
