#include "commands/channelsettingscommand.h"

#include "commands/channelcommands.h"
#include "common/asciicase.h"
#include "core/identity.h"
#include "core/placesettings.h"

namespace commands {

namespace {

void Show(Services& services, const CommandCall& call, const QString& channel)
{
    QStringList shown;
    for (const QString& key : core::ChannelSettingKeys()) {
        const core::AppliedSetting applied = core::AppliedAt(services.State, channel, key);
        shown.append(key + u' ' + applied.Text
            + (applied.Own ? QStringLiteral(" (own)") : QStringLiteral(" (global)")));
    }
    services.Out.Say(call.Nick, channel + QStringLiteral(": ") + shown.join(QStringLiteral(", ")) + u'.');
}

bool MayChange(const Services& services, const QString& nick, const QString& channel)
{
    return core::IsPrivileged(services.State, services.Roster, nick)
        || services.Roster.IsOperatorOn(channel, nick);
}

} // namespace

void ChannelSettingsCommand(const CommandCall& call, Services& services)
{
    QStringList words = call.Parameter.split(u' ', Qt::SkipEmptyParts);
    const QString channel = !words.isEmpty() && IsChannelName(words.first()) ? words.takeFirst() : call.Place;
    const QString command = core::CommandCharAt(services.State, call.Place) + QStringLiteral("channel");
    if (channel.isEmpty())
        return TellPrivately(services, call.Nick,
            QStringLiteral("name the channel first, as in ") + command
                + QStringLiteral(" #name set system sr4."));
    if (words.isEmpty())
        return Show(services, call, channel);

    const QString verb = common::AsciiLower(words.first());
    if (!((verb == QLatin1String("set") && words.size() == 3)
            || (verb == QLatin1String("unset") && words.size() == 2)))
        return TellPrivately(services, call.Nick,
            QStringLiteral("say ") + command + QStringLiteral(" to see the settings, ") + command
                + QStringLiteral(" set KEY VALUE or ") + command
                + QStringLiteral(" unset KEY to change one."));
    if (!MayChange(services, call.Nick, channel))
        return TellPrivately(services, call.Nick,
            QStringLiteral("only the owner, the privileged users and the operators of ") + channel
                + QStringLiteral(" may change its settings."));
    const QString key = common::AsciiLower(words.at(1));
    if (!core::ChannelSettingKeys().contains(key))
        return TellPrivately(services, call.Nick,
            words.at(1) + QStringLiteral(" is not a channel setting; the keys are ")
                + core::ChannelSettingKeys().join(QStringLiteral(", ")) + u'.');

    core::ChannelSettings& settings = services.State.PerChannel;
    if (verb == QLatin1String("unset")) {
        settings.Unset(channel, key);
        services.Out.Say(call.Nick,
            channel + QStringLiteral(": ") + key + QStringLiteral(" follows the global setting again (")
                + core::AppliedAt(services.State, channel, key).Text + QStringLiteral(")."));
        return;
    }
    const core::CheckedValue value = core::CheckChannelValue(key, words.at(2));
    if (!value.Refusal.isEmpty())
        return TellPrivately(services, call.Nick, key + u' ' + value.Refusal + u'.');
    const int bound = services.State.Extra.Store.SettingsChannels;
    const std::optional<QStringList> gone = settings.MakeRoomFor(
        channel, bound, services.State.CurrentChannels + services.State.FavoriteChannels);
    if (!gone)
        return TellPrivately(services, call.Nick,
            QStringLiteral("%1 channels have their own settings already, the most the bot keeps; unset some "
                           "first.")
                .arg(bound));
    for (const QString& forgotten : *gone)
        services.Log.Append(
            QStringLiteral("Forgot the settings of %1 to make room for %2.").arg(forgotten, channel));
    settings.Set(channel, key, value.Text);
    services.Out.Say(call.Nick,
        channel + QStringLiteral(": ") + key + QStringLiteral(" is ") + value.Text + QStringLiteral(" now."));
}

} // namespace commands
