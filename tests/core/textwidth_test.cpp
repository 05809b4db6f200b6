#include "core/replyoutput.h"
#include "core/textwidth.h"
#include "support/qtprint.h"
#include "support/recordingsender.h"

#include <gtest/gtest.h>

namespace {

TEST(TextWidth, MeasuresLikeTheClassicDialogFont)
{
    const int letters = core::TextWidth(u"abcdefghijklmnopqrstuvwxyz");
    EXPECT_GE(letters, 26 * 4); // about five pixels a letter
    EXPECT_LE(letters, 26 * 6);
    EXPECT_LT(core::TextWidth(u"iiii"), core::TextWidth(u"mmmm"));
    EXPECT_EQ(core::TextWidth(u""), 0);
    EXPECT_EQ(
        core::TextWidth(QString::fromUtf8("\xf0\x9f\x8e\xb2")), 11); // one wide character, not two halves
}

TEST(WrapText, BreaksAtBlanksSplitsLongWordsAndKeepsLineEnds)
{
    EXPECT_EQ(core::WrapText("A short reply.", 500), QStringList({ "A short reply." }));

    const QString sentence
        = QStringLiteral("The quick brown fox jumps over the lazy dog near the river bank");
    const QStringList lines = core::WrapText(sentence, 100);
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines.join(u' '), sentence); // only the blanks at the breaks are gone
    for (const QString& line : lines) {
        EXPECT_LE(core::TextWidth(line), 100) << line.toStdString();
        EXPECT_FALSE(line.startsWith(u' ') || line.endsWith(u' ')) << line.toStdString();
    }
    EXPECT_GT(core::WrapText(sentence, 60).size(), lines.size());

    const QStringList split = core::WrapText(QString(100, u'w'), 50);
    EXPECT_EQ(split.join(QString()), QString(100, u'w'));
    for (const QString& piece : split)
        EXPECT_LE(core::TextWidth(piece), 50);

    EXPECT_EQ(
        core::WrapText("one\r\ntwo\n\nthree\rfour", 500), QStringList({ "one", "two", "three", "four" }));
    EXPECT_EQ(core::WrapText("xyz", 1), QStringList({ "x", "y", "z" })); // never stuck on a narrow line
}

TEST(WrapText, NeverCutsACharacterInHalf)
{
    QString dice;
    for (int i = 0; i < 40; ++i)
        dice += QString::fromUtf8("\xf0\x9f\x8e\xb2");
    for (const QString& line : core::WrapText(dice, 30)) {
        EXPECT_FALSE(line.front().isLowSurrogate());
        EXPECT_FALSE(line.back().isHighSurrogate());
    }
}

TEST(SayWrapped, SendsEachLineAndActsOnlyOnMeLines)
{
    testing_support::RecordingSender out;
    core::SayWrappedWithActions(out, "#rpg", "/me hands Nick a die\nplain line\n/ME shouts", 500);
    EXPECT_EQ(out.Take(),
        QStringList(
            { "ACTION #rpg :hands Nick a die", "PRIVMSG #rpg :plain line", "PRIVMSG #rpg :/ME shouts" }));

    core::SayWrapped(out, "#rpg", "/me is not an action here", 500);
    EXPECT_EQ(out.Take(), QStringList({ "PRIVMSG #rpg :/me is not an action here" }));

    out.Connected = false; // a failed line ends the reply
    core::SayWrapped(out, "#rpg", "a b c d e f", 5);
    EXPECT_TRUE(out.Lines.isEmpty());
}

} // namespace
