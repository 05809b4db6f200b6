#include "commands/poolcommands.h"

#include "commands/rollhistorycommands.h"
#include "dice/dryh.h"
#include "dice/eclipsephase.h"
#include "dice/exalted.h"
#include "dice/match.h"
#include "dice/randomsource.h"
#include "dice/shadowrunpools.h"

namespace commands {

namespace {

void Answer(const CommandCall& call, Services& services, const dice::PoolReply& reply)
{
    services.Out.Say(reply.Refused ? call.Nick : call.Target, call.Nick + reply.Text);
    if (!reply.Refused)
        RecordRoll(services, call, call.Nick + reply.Text);
}

// Most pools reseed the generator once as the command starts.
using Pool = dice::PoolReply (*)(const QString& parameter, dice::FaceSource& faces);

void ReseedAndRoll(const CommandCall& call, Services& services, Pool pool)
{
    dice::RandomizeGenerator();
    dice::GeneratorFaces faces;
    Answer(call, services, pool(call.Parameter, faces));
}

} // namespace

void ShadowrunTestCommand(const CommandCall& call, Services& services)
{
    ReseedAndRoll(call, services, dice::ShadowrunTest);
}

void ShadowrunEdgeCommand(const CommandCall& call, Services& services)
{
    ReseedAndRoll(call, services, dice::ShadowrunEdgeTest);
}

void ShadowrunExtendedCommand(const CommandCall& call, Services& services)
{
    ReseedAndRoll(call, services, dice::ShadowrunExtendedTest);
}

// The third-edition test never reseeds: it goes on from wherever the last command left the generator.
void Shadowrun3TestCommand(const CommandCall& call, Services& services)
{
    dice::GeneratorFaces faces;
    Answer(call, services, dice::Shadowrun3Test(call.Parameter, faces));
}

void ExaltedCommand(const CommandCall& call, Services& services)
{
    dice::RandomizeGenerator();
    dice::GeneratorFaces faces;
    const dice::PoolReply reply = dice::ExaltedRoll(call.Parameter, faces);
    services.Out.Say(call.Target, call.Nick + QStringLiteral(": ") + reply.Text);
    RecordRoll(services, call, call.Nick + QStringLiteral(": ") + reply.Text);
}

void EclipsePhaseCommand(const CommandCall& call, Services& services)
{
    ReseedAndRoll(call, services, dice::EclipsePhaseTest);
}

// Don't Rest Your Head reseeds just before its roll, once the pools are known to be valid.
void DryhCommand(const CommandCall& call, Services& services)
{
    const dice::DryhRequest request = dice::ReadDryhPools(call.Parameter);
    if (!request.Refusal.isEmpty()) {
        Answer(call, services, { request.Refusal, true });
        return;
    }
    dice::RandomizeGenerator();
    dice::GeneratorFaces faces;
    Answer(call, services, { dice::RollDryh(request.Pools, faces) });
}

void MatchCommand(const CommandCall& call, Services& services)
{
    ReseedAndRoll(call, services, dice::MatchRoll);
}

} // namespace commands
