#pragma once

// Runs one recognised command line: splits it, logs it, turns banned users away, tries the custom files,
// walks the command table and answers an unknown word privately. It also expands aliases for the
// pipeline.

#include "commands/services.h"
#include "core/pipeline.h"

namespace commands {

class Dispatcher final : public core::CommandHandler {
public:
    explicit Dispatcher(Services services);

    QString ResolveAlias(const QString& line) override;
    // Takes a channel target for the place; a private target is a private message.
    void Dispatch(const QString& nick, const QString& target, const QString& line) override;
    void DispatchAt(
        const QString& channel, const QString& nick, const QString& target, const QString& line) override;
    void RollDice(const QString& nick, const QString& target, const QString& line) override;
    void RollInline(const QString& nick, const QString& target, const QString& line) override;

private:
    bool QuoteCustomFile(const QString& line, const QString& word, const CommandCall& call);
    bool RunTableRow(const QString& line, const QString& word, const CommandCall& call);
    void QuoteCustom(const CommandCall& call, const QString& name);

    Services m_services;
};

} // namespace commands
