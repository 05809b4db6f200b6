#include "commands/cardcommands.h"

#include "commands/commandline.h"
#include "common/parseinteger.h"
#include "core/configfile.h"
#include "core/replyoutput.h"
#include "games/pokerdeck.h"
#include "games/tarot.h"

namespace commands {

namespace {

const QString PokerDeckFile = QStringLiteral("PokerDeck.txt");
const QString TarotFile = QStringLiteral("Arcanas.txt");

std::optional<QStringList> ReadDeck(Services& services, const CommandCall& call)
{
    std::optional<QStringList> deck = core::ReadConfigList(services.FilesDir + u'/' + PokerDeckFile);
    if (!deck)
        services.Out.Say(call.Nick, QStringLiteral("I don't have the file with the card names any more."));
    return deck;
}

void SayNoMoreCards(Services& services, const CommandCall& call)
{
    services.Out.Say(call.Target,
        call.Nick + QStringLiteral(", no more cards in the deck, mate. Newdeck command to open a new one."));
}

} // namespace

void TarotCommand(const CommandCall& call, Services& services)
{
    const bool bare = IsBareTarotForm(call.Line);
    if (!bare && call.Parameter.isEmpty()) {
        services.Out.Say(call.Nick, call.Nick + QStringLiteral(", please specify the cards you need."));
        return;
    }
    const games::TarotRequest request
        = bare ? games::ReadBareTarotRequest(call.Line) : games::ReadTarotRequest(call.Parameter, call.Line);
    const std::optional<int> count = common::ParseInteger(request.CountText);
    if (!count) {
        services.Out.Say(call.Nick,
            QStringLiteral(
                "You are obviously trying to ask me to pull several tarot cards, but I can't quite figure "
                "how many. Try ,help tarot command, perhaps?"));
        return;
    }
    if (*count > MaxTarotCards) {
        services.Out.Say(call.Nick,
            QStringLiteral("That's more cards than a whole tarot deck holds. I'll pull %1 at most.")
                .arg(MaxTarotCards));
        return;
    }
    const std::optional<QStringList> cards = core::ReadConfigList(services.FilesDir + u'/' + TarotFile);
    if (!cards) {
        services.Out.Say(
            call.Nick, QStringLiteral("I had a file with card names, but I lost it. Maybe you saw it?"));
        return;
    }
    const std::optional<games::TarotSet> set = games::TarotSetFor(request.SetLetter);
    if (!set)
        return;
    const QStringList drawn = games::DrawTarotCards(*cards, *set, *count, request.ShowFace);
    core::SayWrapped(services.Out, call.Target,
        call.Nick + QString::fromLatin1(set->Opening) + drawn.join(QStringLiteral(", ")) + u'.',
        services.State.LineWidth);
}

void DrawCommand(const CommandCall& call, Services& services)
{
    CardDeck& cards = services.Deck;
    if (cards.Drawn().size() >= games::FullDeck)
        return SayNoMoreCards(services, call);
    const std::optional<QStringList> deck = ReadDeck(services, call);
    if (!deck)
        return;
    const std::optional<int> card = cards.Draw(deck->size());
    if (!card)
        return SayNoMoreCards(services, call);
    services.Out.Say(call.Target, call.Nick + QStringLiteral(", ") + deck->at(*card) + u'.');
}

void DrawHandCommand(const CommandCall& call, Services& services)
{
    CardDeck& cards = services.Deck;
    if (cards.Drawn().size() >= games::FullDeck - games::HandSize) {
        services.Out.Say(call.Target,
            call.Nick
                + QStringLiteral(
                    ", not enough cards in the deck to draw a full hand, mate. Newdeck command to open "
                    "a new one."));
        return;
    }
    const std::optional<QStringList> deck = ReadDeck(services, call);
    if (!deck)
        return;
    QStringList hand;
    while (hand.size() < games::HandSize && cards.Drawn().size() < games::FullDeck) {
        const std::optional<int> card = cards.Draw(deck->size());
        if (!card)
            break;
        hand.append(deck->at(*card));
    }
    if (hand.isEmpty())
        return SayNoMoreCards(services, call);
    services.Out.Say(call.Target, call.Nick + QStringLiteral(", ") + hand.join(QStringLiteral(", ")) + u'.');
}

void ReturnCommand(const CommandCall& call, Services& services)
{
    if (call.Target == call.Nick) {
        services.Out.Say(call.Target,
            QStringLiteral("I don't want to discuss that in private, let's take it to a common room."));
        return;
    }
    const std::optional<QStringList> deck = ReadDeck(services, call);
    if (!deck)
        return;
    const std::optional<int> card = games::FindCard(*deck, call.Parameter);
    if (!card) {
        services.Out.Say(call.Target,
            call.Nick + QStringLiteral(", I never had a card with that name in the deck to begin with."));
        return;
    }
    if (!services.Deck.Return(*card)) {
        services.Out.Say(
            call.Target, call.Nick + QStringLiteral(", are you trying to cheat? You don't have that card."));
        return;
    }
    services.Out.Say(call.Target, call.Nick + QStringLiteral(", card returned."));
}

void NewDeckCommand(const CommandCall& call, Services& services)
{
    services.Deck.Clear();
    services.Out.Say(call.Target, call.Nick + QStringLiteral(", opened a new deck and ready to draw."));
}

} // namespace commands
