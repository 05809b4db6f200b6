#include "irc/ircusers.h"

#include <algorithm>

namespace irc {

UserPtr TIrcUsers::Add(const QString& nick, const QString& address)
{
    if (UserPtr user = Find(nick)) {
        if (!address.isEmpty() && address != user->Address)
            user->Address = address;
        ++user->Count;
        return user;
    }
    auto user = std::make_shared<TIrcUser>(TIrcUser { nick, address, QString(), 1, nick, std::nullopt });
    m_users.push_back(user);
    return user;
}

void TIrcUsers::Release(const UserPtr& user)
{
    const auto it = std::find(m_users.begin(), m_users.end(), user);
    if (it == m_users.end())
        return;
    if (--user->Count <= 0)
        m_users.erase(it);
}

UserPtr TIrcUsers::Find(const QString& nick) const
{
    const auto it = std::find_if(
        m_users.begin(), m_users.end(), [&nick](const UserPtr& user) { return SameName(user->Nick, nick); });
    return it == m_users.end() ? nullptr : *it;
}

} // namespace irc
