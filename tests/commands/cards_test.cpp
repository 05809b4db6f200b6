#include "core/configfile.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

const QString NoMore
    = QStringLiteral(", no more cards in the deck, mate. Newdeck command to open a new one.");

QByteArray Lines(const QString& prefix, int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += (prefix + QString::number(i)).toUtf8() + "\r\n";
    return bytes;
}

class Cards : public testing_support::BotFixture {
protected:
    void SetUp() override
    {
        files.Write("PokerDeck.txt", Lines("Card ", 54));
        files.Write("Arcanas.txt", Lines("A", 78));
        Start();
    }

    // The cards named in a reply "Bob, Card 3, Card 9."
    static QStringList CardsIn(const QString& reply)
    {
        QString list = reply.section(QStringLiteral(" :Bob, "), 1);
        list.chop(1);
        return list.split(QStringLiteral(", "));
    }
};

TEST_F(Cards, TheDeckRunsOutAfterFiftyFourDistinctCards)
{
    QSet<QString> seen;
    for (int i = 0; i < 54; ++i) {
        const QStringList reply = Say("Bob", "#saloon", ",draw");
        ASSERT_EQ(reply.size(), 1);
        seen.insert(CardsIn(reply.first()).first());
    }
    EXPECT_EQ(seen.size(), 54);
    EXPECT_EQ(Say("Bob", "#saloon", ",draw"), QStringList({ "PRIVMSG #saloon :Bob" + NoMore }));
    EXPECT_EQ(Say("Bob", "#saloon", ",newdeck"),
        QStringList({ "PRIVMSG #saloon :Bob, opened a new deck and ready to draw." }));
    EXPECT_EQ(Say("Bob", "#saloon", ",draw").size(), 1);
}

TEST_F(Cards, AHandNeedsSevenCardsAndNeverRepeatsOne)
{
    QSet<QString> out;
    for (int i = 0; i < 5; ++i) {
        const QStringList hand = CardsIn(Say("Bob", "#saloon", ",drawhand").first());
        ASSERT_EQ(hand.size(), 7);
        for (const QString& card : hand) {
            EXPECT_FALSE(out.contains(card)) << card.toStdString();
            out.insert(card);
        }
    }
    for (int i = 0; i < 12; ++i)
        Say("Bob", "#saloon", ",draw");
    ASSERT_EQ(bot->Deck().Drawn().size(), 47);
    EXPECT_EQ(Say("Bob", "#saloon", ",drawhand"),
        QStringList(
            { "PRIVMSG #saloon :Bob, not enough cards in the deck to draw a full hand, mate. Newdeck command "
              "to open a new one." }));
    EXPECT_EQ(CardsIn(Say("Bob", "#saloon", ",draw").first()).size(), 1);
}

TEST_F(Cards, ReturningCards)
{
    const QString card = CardsIn(Say("Bob", "#saloon", ",draw").first()).first();
    EXPECT_EQ(Say("Bob", "#saloon", ",return " + card.toUpper()),
        QStringList({ "PRIVMSG #saloon :Bob, card returned." }));
    EXPECT_TRUE(bot->Deck().Drawn().isEmpty());
    EXPECT_EQ(Say("Bob", "#saloon", ",return " + card),
        QStringList({ "PRIVMSG #saloon :Bob, are you trying to cheat? You don't have that card." }));
    EXPECT_EQ(Say("Bob", "#saloon", ",return Joker of Cups"),
        QStringList(
            { "PRIVMSG #saloon :Bob, I never had a card with that name in the deck to begin with." }));
    const QString commonRoom
        = QStringLiteral("I don't want to discuss that in private, let's take it to a common room.");
    EXPECT_EQ(Say("Bob", QString(), ",return " + card), QStringList({ "PRIVMSG Bob :" + commonRoom }));
    bot->State().Silent = true;
    EXPECT_EQ(Say("Bob", "#saloon", ",return " + card), QStringList({ "PRIVMSG Bob :" + commonRoom }));
}

TEST_F(Cards, AShortDeckFileRunsOutInsteadOfSearchingForever)
{
    files.Write("PokerDeck.txt", Lines("Card ", 3));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Say("Bob", "#saloon", ",draw").size(), 1);
    EXPECT_EQ(Say("Bob", "#saloon", ",draw"), QStringList({ "PRIVMSG #saloon :Bob" + NoMore }));
    EXPECT_EQ(Say("Bob", "#saloon", ",drawhand"), QStringList({ "PRIVMSG #saloon :Bob" + NoMore }));

    QFile::remove(files.PathOf("PokerDeck.txt"));
    EXPECT_EQ(Say("Bob", "#saloon", ",newdeck").size(), 1);
    EXPECT_EQ(Say("Bob", "#saloon", ",draw"),
        QStringList({ "PRIVMSG Bob :I don't have the file with the card names any more." }));
}

TEST_F(Cards, TarotSpreadsInTheirLongAndShortForms)
{
    QStringList reply = Say("Bob", "#rpg", ",3cT");
    ASSERT_EQ(reply.size(), 1);
    ASSERT_TRUE(reply.first().startsWith("PRIVMSG #rpg :Bob, here are your trumps: "));
    QString cards = reply.first().section(QStringLiteral("trumps: "), 1);
    cards.chop(1);
    for (const QString& card : cards.split(QStringLiteral(", "))) {
        const int line = card.mid(1).toInt();
        EXPECT_TRUE(line >= 57 && line <= 78) << card.toStdString();
    }

    reply = Say("Bob", "#rpg", ",12cm full"); // long enough to take several lines
    ASSERT_GT(reply.size(), 1);
    EXPECT_TRUE(reply.first().startsWith("PRIVMSG #rpg :Bob, here are your minor arcanas: "));
    EXPECT_EQ(reply.join(u' ').count(QStringLiteral("(face ")), 12);

    EXPECT_EQ(
        Say("Bob", "#rpg", ",tarot 0cd"), QStringList({ "PRIVMSG #rpg :Bob, here are your tarot cards: ." }));
    EXPECT_EQ(Say("Bob", "#rpg", ",tarot 2cs Full").first().count(QStringLiteral("face")), 0);
    EXPECT_EQ(Say("Bob", "#rpg", ",TAROT 2cS full").first().count(QStringLiteral("face")), 2);
    EXPECT_TRUE(Say("Bob", "#rpg", ",tarot 3cx").isEmpty());
    EXPECT_EQ(Say("Bob", "#rpg", ",tarot"),
        QStringList({ "PRIVMSG Bob :Bob, please specify the cards you need." }));
    EXPECT_EQ(Say("Bob", "#rpg", ",tarot threecd"),
        QStringList({ "PRIVMSG Bob :You are obviously trying to ask me to pull several tarot cards, but I "
                      "can't quite "
                      "figure how many. Try ,help tarot command, perhaps?" }));
    EXPECT_EQ(Say("Bob", "#rpg", ",tarot 1000cd"),
        QStringList(
            { "PRIVMSG Bob :That's more cards than a whole tarot deck holds. I'll pull 78 at most." }));

    // A long spread is wrapped into several lines.
    bot->State().LineWidth = 200;
    EXPECT_GT(Say("Bob", "#rpg", ",tarot 40cd").size(), 3);

    QFile::remove(files.PathOf("Arcanas.txt"));
    EXPECT_EQ(Say("Bob", "#rpg", ",3cT"),
        QStringList({ "PRIVMSG Bob :I had a file with card names, but I lost it. Maybe you saw it?" }));
}

} // namespace

namespace {

// The sample data folder shipped with the program serves every card and table command.
TEST(SampleFiles, ServeTheCardsAndTables)
{
    const QString dir = QStringLiteral(TESSARIN_FILES_DIR);
    EXPECT_EQ(core::ReadConfigList(dir + "/PokerDeck.txt").value_or(QStringList()).size(), 54);
    const QStringList arcanas = core::ReadConfigList(dir + "/Arcanas.txt").value_or(QStringList());
    ASSERT_EQ(arcanas.size(), 78);
    EXPECT_EQ(arcanas.at(56), "0 The Fool");
    EXPECT_EQ(arcanas.at(77), "XXI The World");
    for (const char* table : { "RPGnoes.txt", "Char.txt", "Space.txt", "Doc Brinewicks Random Adventure.txt",
             "Artifacts.txt", "div.txt", "revelations.txt", "critfail.txt" }) {
        const QStringList entries = core::ReadConfigList(dir + '/' + table).value_or(QStringList());
        EXPECT_GE(entries.size(), 10) << table;
        EXPECT_FALSE(entries.contains(QString())) << table;
    }
}

} // namespace
