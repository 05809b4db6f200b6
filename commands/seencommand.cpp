#include "commands/seencommand.h"

#include "common/asciicase.h"
#include "core/seentracker.h"
#include "core/stamps.h"
#include "core/textcap.h"

namespace commands {

namespace {

QString EveryoneSeen(const core::SeenTracker& seen)
{
    QString text = QStringLiteral("Users I've seen: ");
    for (const core::TChatUser& user : seen.Users()) {
        text += u' ' + user.Nick;
        if (user.LaterNicks.size() >= 2)
            text += QStringLiteral("(nicks:") + user.LaterNicks.join(u',') + u')';
        text += u';';
    }
    return text + QStringLiteral(" that's it.");
}

} // namespace

QStringList SeenReplies(const core::SeenTracker& seen, const QString& parameter, const QString& target,
    const QDateTime& now, const MayHearOf& mayHearOf)
{
    const QString asked = parameter.trimmed();
    const qsizetype blank = asked.indexOf(u' ');
    const QString who = blank < 0 ? asked : asked.left(blank);
    const QString where = blank < 0 ? target : core::CapChars(asked.mid(blank + 1), MaxSeenPlaceChars);

    if (common::AsciiLower(who) == QLatin1String("anyone"))
        return { EveryoneSeen(seen) };
    const std::optional<qsizetype> found = seen.Find(who);
    if (!found)
        return { QStringLiteral("Never heard of this user.") };
    const core::TChatUser& user = seen.Users().at(*found);

    if (common::AsciiLower(where) == QLatin1String("names")) {
        QString text = QStringLiteral("Here are the nicks I've seen this user using: ") + user.Nick;
        for (const QString& nick : user.LaterNicks)
            text += QStringLiteral(", ") + nick;
        return { text + u'.' };
    }
    if (common::AsciiLower(where) == QLatin1String("around")) {
        QStringList channels = user.Channels;
        channels.removeIf([&mayHearOf](const QString& channel) { return !mayHearOf(channel); });
        return { QStringLiteral("Here are the channels I've seen user ") + who + QStringLiteral(" on: ")
            + channels.join(QStringLiteral(", ")) + u'.' };
    }
    const std::optional<qsizetype> entry = core::FindUserChannel(user, where);
    if (!entry || !mayHearOf(where))
        return { QStringLiteral("I've heard the name, but I haven't seen this user around there.") };

    const qsizetype c = *entry;
    QStringList replies { QStringLiteral("User ") + who + QStringLiteral(" last connected to the channel ")
        + where + QStringLiteral(" at ") + user.JoinTimes[c] + QStringLiteral(", and ") + user.JoinNotes[c] };
    if (!user.LeaveTimes[c].isEmpty())
        replies.append(QStringLiteral("User ") + who + QStringLiteral(" last left the channel ") + where
            + QStringLiteral(" at ") + user.LeaveTimes[c] + user.LeaveNotes[c]);
    if (user.LastMessageTimes[c] != core::NeverSpoke)
        replies.append(QStringLiteral("User ") + who + QStringLiteral(" last sent a message on channel ")
            + where + QStringLiteral(" at ") + user.LastMessageTimes[c]);
    replies.append(
        QStringLiteral("It is now ") + core::Stamp(now) + QStringLiteral(" for me, just so that you knew."));
    return replies;
}

void SeenCommand(const CommandCall& call, Services& services)
{
    const MayHearOf mayHearOf = [&call, &services](const QString& channel) {
        return !services.SecretPlaces.IsSecret(channel) || services.Roster.Sees(channel, call.Nick);
    };
    for (const QString& reply :
        SeenReplies(services.Seen, call.Parameter, call.Target, services.Time.Now(), mayHearOf))
        services.Out.Say(call.Nick, reply);
}

} // namespace commands
