#include "commands/notationcommands.h"

#include "commands/rollhistorycommands.h"
#include "commands/secretdelivery.h"
#include "commands/systemroll.h"
#include "core/placesettings.h"
#include "dice/notationformat.h"
#include "dice/notationparser.h"
#include "dice/randomsource.h"
#include "irc/outgoing.h"

namespace commands {

namespace {

constexpr int MaxInlineRolls = 3;

const QString TooLongForOneLine
    = QStringLiteral("that answer would not fit on one line, even as totals; ask for fewer rolls.");

// A roll text read and rolled, or the sentence that says why not.
struct Rolled {
    dice::RollText Text;
    std::vector<dice::RollOutcome> Rolls;
    QString Refusal;
};

Rolled ReadAndRoll(const QString& text, bool allowComment)
{
    auto parsed = dice::ParseNotation(text, allowComment);
    if (const auto* error = std::get_if<dice::NotationError>(&parsed))
        return { {}, {}, error->Message() };
    Rolled rolled { std::get<dice::RollText>(std::move(parsed)), {}, {} };
    dice::GeneratorFaces faces;
    auto outcome = dice::RollNotation(rolled.Text, faces);
    if (const auto* error = std::get_if<dice::NotationError>(&outcome))
        rolled.Refusal = error->Message();
    else
        rolled.Rolls = std::get<std::vector<dice::RollOutcome>>(std::move(outcome));
    return rolled;
}

// The bytes left for the text after the prefix in one PRIVMSG line to target, once the server has put
// the bot's own prefix before it.
qsizetype LineRoom(const core::BotState& state, const QString& target, const QString& prefix)
{
    return irc::MaxLineBytes - 2 - irc::RelayPrefixBytes(state.BotNick)
        - dice::Utf8Bytes(QStringLiteral("PRIVMSG ") + target + QStringLiteral(" :") + prefix);
}

// "Kell: " or "Kell, Fireball: ".
QString Addressed(const QString& nick, const QString& comment)
{
    return comment.isEmpty() ? nick + QStringLiteral(": ")
                             : nick + QStringLiteral(", ") + comment + QStringLiteral(": ");
}

} // namespace

void NotationRollCommand(const CommandCall& call, Services& services)
{
    dice::RandomizeGenerator();
    const Rolled rolled = ReadAndRoll(call.Parameter, true);
    if (!rolled.Refusal.isEmpty())
        return TellPrivately(services, call.Nick, rolled.Refusal);
    const QString prefix = Addressed(call.Nick, rolled.Text.Comment);
    const std::optional<QString> shown
        = dice::FormatNotation(rolled.Text, rolled.Rolls, LineRoom(services.State, call.Target, prefix));
    if (!shown)
        return TellPrivately(services, call.Nick, TooLongForOneLine);
    services.Out.Say(call.Target, prefix + *shown);
    RecordRoll(services, call, prefix + *shown);
}

void SecretRollCommand(const CommandCall& call, Services& services)
{
    if (SecretSystemRoll(call, services))
        return;
    dice::RandomizeGenerator();
    const Rolled rolled = ReadAndRoll(call.Parameter, true);
    if (!rolled.Refusal.isEmpty())
        return TellPrivately(services, call.Nick, rolled.Refusal);
    const QStringList masters = GameMastersPresent(services, call);
    const QString rollerPrefix = Addressed(call.Nick, rolled.Text.Comment);
    const QString masterPrefix = Addressed(SecretRollerName(call), rolled.Text.Comment);
    // One text for all, so that the game masters see what the roller sees.
    qsizetype room = LineRoom(services.State, call.Nick, rollerPrefix);
    for (const QString& master : masters)
        room = std::min(room, LineRoom(services.State, master, masterPrefix));
    const std::optional<QString> shown = dice::FormatNotation(rolled.Text, rolled.Rolls, room);
    if (!shown)
        return TellPrivately(services, call.Nick, TooLongForOneLine);
    DeliverSecretly(services, call, masters, { rollerPrefix + *shown }, { masterPrefix + *shown });
    CommandCall kept = call;
    kept.Secret = true;
    RecordRoll(services, kept, rollerPrefix + *shown);
}

void AnswerInlineRolls(Services& services, const QString& nick, const QString& target, const QString& line)
{
    dice::RandomizeGenerator();
    QStringList answers;
    qsizetype from = 0;
    while (answers.size() < MaxInlineRolls) {
        const qsizetype open = line.indexOf(QLatin1String("[["), from);
        const qsizetype close = open < 0 ? -1 : line.indexOf(QLatin1String("]]"), open + 2);
        if (close < 0)
            break;
        from = close + 2;
        const QString text = line.mid(open + 2, close - open - 2);
        const Rolled rolled = ReadAndRoll(text, false);
        if (!rolled.Refusal.isEmpty())
            return TellPrivately(services, nick, rolled.Refusal);
        answers.append(
            QStringLiteral("[[") + text + QStringLiteral("]] = ") + dice::TotalsText(rolled.Rolls));
    }
    if (answers.isEmpty())
        return;
    const QString reply = nick + QStringLiteral(": ") + answers.join(QStringLiteral(", "));
    services.Out.Say(target, reply);
    RecordRoll(services, { nick, target, line, line }, reply);
}

} // namespace commands
