#include "core/placesettings.h"

#include "core/hostmask.h"
#include "core/identity.h"

namespace core {

namespace {

std::optional<QString> OwnValue(const BotState& state, const QString& place, const QString& key)
{
    return place.isEmpty() ? std::nullopt : state.PerChannel.Value(place, key);
}

bool FlagAt(const BotState& state, const QString& place, const QString& key, bool global)
{
    const std::optional<QString> own = OwnValue(state, place, key);
    return own ? *own == QLatin1String("yes") : global;
}

QString YesNo(bool on)
{
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

QString CommandPrefixAt(const BotState& state, const QString& place)
{
    return OwnValue(state, place, CharKey).value_or(CommandPrefix(state));
}

QString CommandCharAt(const BotState& state, const QString& place)
{
    return OwnValue(state, place, CharKey).value_or(EffectiveCommandChar(state));
}

bool SilentAt(const BotState& state, const QString& place)
{
    return FlagAt(state, place, SilentKey, state.Silent);
}

bool DicebotAt(const BotState& state, const QString& place)
{
    return FlagAt(state, place, DicebotKey, state.Dicerollan);
}

bool InlineRollsOn(const BotState& state, const QString& channel)
{
    return FlagAt(state, channel, InlineKey, state.Extra.Dice.InlineRolls);
}

GameSystem GameSystemAt(const BotState& state, const QString& place)
{
    const std::optional<QString> own = OwnValue(state, place, SystemKey);
    return own ? GameSystemNamed(*own).value_or(GameSystem::None) : state.Extra.Dice.System;
}

QString GameMasterOf(const BotState& state, const QString& place)
{
    if (const QString entry = GameMasterEntryAt(state, place); !entry.isEmpty())
        return entry;
    const AccessSettings& access = state.Extra.Access;
    if (!access.OwnerAccount.isEmpty())
        return AccountEntryPrefix + access.OwnerAccount;
    if (!access.OwnerHostmask.isEmpty())
        return access.OwnerHostmask;
    const QString nick = OwnerNickInForce(state);
    return nick.isEmpty() ? QStringLiteral("nobody") : nick;
}

QString GameMasterEntryAt(const BotState& state, const QString& place)
{
    return OwnValue(state, place, GameMasterKey).value_or(state.Extra.Dice.GameMaster);
}

AppliedSetting AppliedAt(const BotState& state, const QString& channel, const QString& key)
{
    const bool own = OwnValue(state, channel, key).has_value();
    if (key == CharKey)
        return { CommandCharAt(state, channel), own };
    if (key == DicebotKey)
        return { YesNo(DicebotAt(state, channel)), own };
    if (key == SilentKey)
        return { YesNo(SilentAt(state, channel)), own };
    if (key == InlineKey)
        return { YesNo(InlineRollsOn(state, channel)), own };
    if (key == SystemKey)
        return { GameSystemWord(GameSystemAt(state, channel)), own };
    return { GameMasterOf(state, channel), own };
}

} // namespace core
