#include "irc/ircusers.h"

#include <algorithm>

namespace irc {

UserPtr TIrcUsers::Add(const QString& nick, const QString& address)
{
    if (UserPtr user = Find(nick)) {
        if (!address.isEmpty() && address != user->Address) {
            user->Address = address;
            // Somebody else now holds the nick its taker was thought to hold.
            if (!user->TakerAddress.isEmpty() && address != user->TakerAddress) {
                user->FirstNick = user->Nick;
                user->LaterNicks.clear();
                ForgetTaken(nick);
            }
        }
        if (!user->Address.isEmpty())
            user->TakerAddress.clear();
        ++user->Count;
        return user;
    }
    auto user = std::make_shared<TIrcUser>();
    user->Nick = nick;
    user->Address = address;
    user->Count = 1;
    user->FirstNick = nick;
    if (const auto taken = FindTaken(nick); taken != m_takenNicks.end()) {
        if (address.isEmpty() || address == taken->Address) {
            user->FirstNick = taken->FirstNick;
            user->LaterNicks = taken->LaterNicks;
            if (address.isEmpty())
                user->TakerAddress = taken->Address;
        } else {
            m_takenNicks.erase(taken);
        }
    }
    m_users.push_back(user);
    return user;
}

void TIrcUsers::Rename(TIrcUser& user, const QString& newNick)
{
    ForgetTaken(user.Nick);
    user.Nick = newNick;
    if (SameName(newNick, user.FirstNick)) {
        ForgetTaken(newNick);
        return;
    }
    if (user.LaterNicks.isEmpty() || !SameName(user.LaterNicks.constLast(), newNick))
        user.LaterNicks.append(newNick);
    if (user.LaterNicks.size() > MaxLaterNicks)
        user.LaterNicks.removeFirst();
    ForgetTaken(newNick);
    m_takenNicks.push_back({ newNick, user.Address, user.FirstNick, user.LaterNicks });
    if (m_takenNicks.size() > MaxTakenNicks)
        m_takenNicks.pop_front();
}

void TIrcUsers::Quit(const TIrcUser& user)
{
    ForgetTaken(user.Nick);
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

std::deque<TIrcUsers::TakenNick>::iterator TIrcUsers::FindTaken(const QString& nick)
{
    return std::find_if(m_takenNicks.begin(), m_takenNicks.end(),
        [&nick](const TakenNick& taken) { return SameName(taken.Nick, nick); });
}

void TIrcUsers::ForgetTaken(const QString& nick)
{
    if (const auto taken = FindTaken(nick); taken != m_takenNicks.end())
        m_takenNicks.erase(taken);
}

} // namespace irc
