#include "core/placesettings.h"

namespace core {

bool InlineRollsOn(const BotState& state, const QString& channel)
{
    Q_UNUSED(channel);
    return state.Extra.Dice.InlineRolls;
}

QString GameMasterOf(const BotState& state, const QString& place)
{
    Q_UNUSED(place);
    return state.Extra.Dice.GameMaster.isEmpty() ? state.OwnerNick : state.Extra.Dice.GameMaster;
}

} // namespace core
