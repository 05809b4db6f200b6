#include "commands/systemroll.h"

#include "commands/capturedoutput.h"
#include "commands/commandtable.h"
#include "commands/darkheresycommands.h"
#include "commands/notationcommands.h"
#include "commands/poolcommands.h"
#include "commands/secretdelivery.h"
#include "core/placesettings.h"

namespace commands {

namespace {

CommandHandler PoolCommandOf(core::GameSystem system)
{
    switch (system) {
    case core::GameSystem::Shadowrun3:
        return Shadowrun3TestCommand;
    case core::GameSystem::Shadowrun4:
        return ShadowrunTestCommand;
    case core::GameSystem::Exalted:
        return ExaltedCommand;
    case core::GameSystem::EclipsePhase:
        return EclipsePhaseCommand;
    case core::GameSystem::DarkHeresy:
        return DarkHeresyRollCommand;
    case core::GameSystem::Dryh:
        return DryhCommand;
    case core::GameSystem::None:
        break;
    }
    return nullptr;
}

} // namespace

bool IsPoolForm(const QString& parameter)
{
    const QString first = parameter.trimmed().section(u' ', 0, 0);
    return !first.isEmpty()
        && std::all_of(first.cbegin(), first.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

void SystemRollCommand(const CommandCall& call, Services& services)
{
    const CommandHandler pool = PoolCommandOf(core::GameSystemAt(services.State, call.Place));
    if (pool && IsPoolForm(call.Parameter))
        pool(call, services);
    else
        NotationRollCommand(call, services);
}

bool SecretSystemRoll(const CommandCall& call, Services& services)
{
    const CommandHandler pool = PoolCommandOf(core::GameSystemAt(services.State, call.Place));
    if (!pool || !IsPoolForm(call.Parameter))
        return false;
    // The system answers the roller alone, into a capture; its answer is then passed on as a secret roll's.
    CommandCall secret = call;
    secret.Target = call.Nick;
    secret.Secret = true;
    CapturedOutput captured;
    Services quiet = WithOutput(services, captured);
    const qint64 before = services.Rolls.LastNumber();
    pool(secret, quiet);
    if (services.Rolls.LastNumber() == before) { // refused: the complaint goes to the roller as it is
        captured.PassOn(services.Out);
        return true;
    }
    QStringList rollerLines;
    QStringList masterLines;
    for (const CapturedOutput::Line& line : std::as_const(captured.Lines)) {
        rollerLines.append(line.Text);
        masterLines.append(line.Text.startsWith(call.Nick)
                ? SecretRollerName(call) + line.Text.mid(call.Nick.size())
                : SecretRollerName(call) + QStringLiteral(": ") + line.Text);
    }
    DeliverSecretly(services, call, GameMastersPresent(services, call), rollerLines, masterLines);
    return true;
}

} // namespace commands
