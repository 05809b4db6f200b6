#include "commands/darkheresycommands.h"

#include "commands/rollhistorycommands.h"
#include "core/configfile.h"
#include "core/replyoutput.h"
#include "games/darkheresy.h"
#include "games/darkheresytables.h"

#include <QDir>
#include <QFileInfo>

namespace commands {

namespace {

const QString HallucinogenFile = QStringLiteral("Hallucinogen.txt");
const QString DivinationFile = QStringLiteral("Divination.txt");

std::optional<QStringList> ReadDataFile(const Services& services, const QString& name)
{
    return core::ReadConfigList(services.FilesDir + u'/' + name);
}

// A critical-hit file by the name the user typed: exactly, or else the one file of the data folder whose
// name differs only in letter case ("E head" finds "E Head.txt").
std::optional<QStringList> ReadCritFile(const Services& services, const QString& key)
{
    const QString name = key + QStringLiteral(".txt");
    if (QFileInfo::exists(services.FilesDir + u'/' + name))
        return ReadDataFile(services, name);
    const QStringList candidates
        = QDir(services.FilesDir)
              .entryList({ QStringLiteral("*.txt") }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& candidate : candidates) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return ReadDataFile(services, candidate);
    }
    return std::nullopt;
}

} // namespace

void SendGameReplies(Services& services, const CommandCall& call, const games::GameReplies& replies)
{
    for (const games::GameReply& reply : replies) {
        const QString& to = reply.To == games::GameReply::ToNick ? call.Nick : call.Target;
        if (!services.Out.Say(to, reply.Text))
            return;
    }
}

void DarkHeresyRollCommand(const CommandCall& call, Services& services)
{
    const QString reply = call.Nick + QStringLiteral(": ") + games::RollDarkHeresyTest(call.Parameter);
    services.Out.Say(call.Target, reply);
    RecordRoll(services, call, reply);
}

void DarkHeresyHitCommand(const CommandCall& call, Services& services)
{
    SendGameReplies(services, call, games::DarkHeresyHits(call.Nick, call.Parameter));
}

void DarkHeresyBurstCommand(const CommandCall& call, Services& services)
{
    SendGameReplies(services, call, games::DarkHeresyBurst(call.Nick, call.Parameter));
}

void DarkHeresyFallCommand(const CommandCall& call, Services& services)
{
    SendGameReplies(services, call, games::DarkHeresyFall(call.Nick, call.Parameter));
}

void DarkHeresyCritCommand(const CommandCall& call, Services& services)
{
    const games::CritRequest request = games::ParseCritRequest(call.Parameter);
    const std::optional<QStringList> file
        = request.Result == games::CritRequest::Entry ? ReadCritFile(services, request.Key) : std::nullopt;
    SendGameReplies(services, call, games::DarkHeresyCrit(request, file));
}

void DarkHeresyHallucinogenCommand(const CommandCall& call, Services& services)
{
    SendGameReplies(services, call, games::DarkHeresyHallucinogen(ReadDataFile(services, HallucinogenFile)));
}

void DarkHeresyDivinationCommand(const CommandCall& call, Services& services)
{
    const games::GameReplies replies
        = games::DarkHeresyDivination(call.Parameter, ReadDataFile(services, DivinationFile));
    // Users hear nothing when the divination cannot be read; the operator sees it in the command log.
    if (replies.isEmpty())
        services.Log.Append(DivinationFile + QStringLiteral(" could not be read or lacks the entry rolled."));
    SendGameReplies(services, call, replies);
}

} // namespace commands
