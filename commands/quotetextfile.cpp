#include "commands/quotetextfile.h"

#include "common/parseinteger.h"
#include "core/configfile.h"
#include "core/replyoutput.h"
#include "games/quotetable.h"

namespace commands {

void QuoteTextFile(Services& services, const CommandCall& call, const QString& relativePath)
{
    const std::optional<QStringList> entries = core::ReadConfigList(services.FilesDir + u'/' + relativePath);
    const games::QuoteChoice choice = entries
        ? games::ChooseQuote(*entries, common::ParseInteger(call.Parameter), call.Nick)
        : games::QuoteChoice { games::QuoteChoice::EmptyTable, {} };
    switch (choice.Kind) {
    case games::QuoteChoice::Entry:
        core::SayWrappedWithActions(services.Out, call.Target, choice.Text, services.State.LineWidth);
        return;
    case games::QuoteChoice::BadNumber:
        services.Out.Say(call.Target, choice.Text);
        return;
    case games::QuoteChoice::EmptyTable:
        services.Out.Say(call.Nick, services.State.Phrase(core::FileNotFoundReply));
        services.Custom.Scan(CustomFolder(services.FilesDir));
        return;
    }
}

} // namespace commands
