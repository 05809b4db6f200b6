#include "commands/clientevents.h"

namespace commands {

core::ChannelEvent ChannelEventOf(irc::TIrcChannelUpdateType type)
{
    switch (type) {
    case irc::cuJoin:
        return core::ChannelEvent::Joined;
    case irc::cuPart:
        return core::ChannelEvent::Parted;
    case irc::cuKick:
        return core::ChannelEvent::Kicked;
    case irc::cuQuit:
        return core::ChannelEvent::Quit;
    default:
        return core::ChannelEvent::Other;
    }
}

void FeedBotFromClient(Bot& bot, irc::TIrcClient& client, core::Connection& connection)
{
    QObject::connect(&client, &irc::TIrcClient::OnMessage, &bot,
        [&bot](irc::TIrcUser* user, irc::TIrcChannel* channel, const QString& text) {
            // A message without a sender nick (from the server itself) has nobody to answer.
            if (user && !user->Nick.isEmpty())
                bot.OnMessage(user->Nick, channel ? channel->Name : QString(), text);
        });
    QObject::connect(&client, &irc::TIrcClient::OnChannelUpdate, &bot,
        [&bot](irc::TIrcChannel* channel, irc::TIrcChannelUpdateType type, irc::TIrcUser* user, int) {
            bot.OnChannelUpdate(channel->Name, ChannelEventOf(type), user ? user->Nick : QString());
        });
    QObject::connect(&client, &irc::TIrcClient::OnNickChange, &bot,
        [&bot](irc::TIrcUser* user, const QString& newNick) { bot.OnNickChange(user->Nick, newNick); });
    QObject::connect(&connection, &core::Connection::KickedOut, &bot, &Bot::OnKickedOut);
    QObject::connect(&client, &irc::TIrcClient::OnCaseMapping, &bot, &Bot::FollowCaseMapping);
}

} // namespace commands
