// What goes out to the server: always one clean line of at most 512 bytes; and CTCP messages taken apart.

#include "irc/outgoing.h"

#include <gtest/gtest.h>

namespace {

using irc::ComposeLine;

TEST(ComposeLine, WritesExactlyOneCleanLine)
{
    const struct {
        QString Head;
        QString Text;
        QString Tail;
        QByteArray Line;
    } cases[] = {
        { "PRIVMSG #dice :", "hello", "", "PRIVMSG #dice :hello\r\n" },
        { "JOIN #dice", "", "", "JOIN #dice\r\n" },
        { "MODE #dice ", "", "", "MODE #dice \r\n" },
        { "PRIVMSG #dice :", "one\r\nQUIT :gone", "", "PRIVMSG #dice :one\r\n" },
        { "PRIVMSG #dice :", "one\nQUIT", "", "PRIVMSG #dice :one\r\n" },
        { "PRIVMSG #dice :", "one\rQUIT", "", "PRIVMSG #dice :one\r\n" },
        { "PRIVMSG #dice :", QString::fromUtf8("a\0b", 3), "", "PRIVMSG #dice :ab\r\n" },
        { "JOIN #a\r\nQUIT", "", "", "JOIN #a\r\n" },
        { "PRIVMSG #dice :", "\001ACTION bows\nQUIT", "\001", "PRIVMSG #dice :\001ACTION bows\001\r\n" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeLine(c.Head, c.Text, c.Tail), c.Line) << c.Text.toStdString();
}

TEST(ComposeLine, CutsLongTextToFitAtACharacterBoundaryAndKeepsTheTail)
{
    const QString head = QStringLiteral("PRIVMSG #dice :");
    for (const QString& unit : { QStringLiteral("x"), QStringLiteral("\u00e9"), QStringLiteral("\u20ac"),
             QStringLiteral("\U0001F3B2") }) {
        const QByteArray line = ComposeLine(head, unit.repeated(600), QStringLiteral("\001"));
        EXPECT_LE(line.size(), 512);
        EXPECT_GT(line.size(), 505) << "the text fills the line";
        EXPECT_TRUE(line.endsWith("\001\r\n"));
        const QByteArray text = line.mid(head.size(), line.size() - head.size() - 3);
        EXPECT_EQ(QString::fromUtf8(text), unit.repeated(text.size() / unit.toUtf8().size()))
            << "no character is cut in half";
    }
    EXPECT_EQ(ComposeLine(QString(600, u'h')).size(), 512) << "even an overlong head";
}

TEST(ComposeLines, SplitsALongTextAtCharacterBoundariesIntoLinesThatSurviveTheRelay)
{
    const QString head = QStringLiteral("PRIVMSG #dice :\001ACTION ");
    const qsizetype reserved = irc::RelayPrefixBytes("Tessarin");
    EXPECT_EQ(reserved, 1 + 8 + 1 + 20 + 1 + 63 + 1);
    EXPECT_EQ(irc::RelayPrefixBytes("Tessarin", "~t@host"), 1 + 8 + 1 + 7 + 1);
    for (const QString& unit : { QStringLiteral("x"), QStringLiteral("\u00e9"), QStringLiteral("\u20ac"),
             QStringLiteral("\U0001F3B2") }) {
        const QString text = unit.repeated(1000 / unit.size());
        const QList<QByteArray> lines = irc::ComposeLines(head, text, QStringLiteral("\001"), reserved, 20);
        ASSERT_GT(lines.size(), 1);
        QByteArray joined;
        for (const QByteArray& line : lines) {
            EXPECT_LE(line.size() + reserved, 512);
            if (&line != &lines.last()) {
                EXPECT_GT(line.size() + reserved, 508) << "no room wasted";
            }
            ASSERT_TRUE(line.startsWith(head.toUtf8()) && line.endsWith("\001\r\n"));
            const QByteArray piece = line.mid(head.toUtf8().size(), line.size() - head.toUtf8().size() - 3);
            EXPECT_EQ(QString::fromUtf8(piece), unit.repeated(piece.size() / unit.toUtf8().size()))
                << "each piece is whole characters";
            joined += piece;
        }
        // The last line holds the rest.
        EXPECT_EQ(QString::fromUtf8(joined), text);
    }
}

TEST(ComposeLines, PrefersABlankNearTheEndAndCapsTheLinesWithAMark)
{
    const QString words = QStringLiteral("lorem ipsum ").repeated(200);
    const QList<QByteArray> lines = irc::ComposeLines("PRIVMSG #dice :", words, QString(), 0, 3);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith("ipsum \r\n") || lines[0].endsWith("lorem \r\n")) << lines[0].data();
    EXPECT_TRUE(lines[1].startsWith("PRIVMSG #dice :lorem ") || lines[1].startsWith("PRIVMSG #dice :ipsum "));
    EXPECT_TRUE(lines[2].endsWith(irc::CutMark + "\r\n"));
    EXPECT_LE(lines[2].size(), 512);

    EXPECT_EQ(irc::ComposeLines("PRIVMSG #dice :", "short\r\nQUIT :x", QString(), 0, 3),
        QList<QByteArray>({ "PRIVMSG #dice :short\r\n" }));
    EXPECT_EQ(irc::ComposeLines("PRIVMSG #dice :", QString(), QString(), 0, 3),
        QList<QByteArray>({ "PRIVMSG #dice :\r\n" }));
    // A text without blanks is cut at a character boundary; one line allowed: cut and marked at once.
    const QList<QByteArray> one
        = irc::ComposeLines("PRIVMSG #dice :", QString(3000, u'x'), QString(), 100, 1);
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0].size(), 512 - 100);
    EXPECT_TRUE(one[0].endsWith(irc::CutMark + "\r\n"));
    // A head that leaves hardly any room is not split for: one line, cut like ComposeLine.
    EXPECT_EQ(irc::ComposeLines(QString(480, u'h'), QString(200, u'x'), QString(), 0, 5).size(), 1);
}

TEST(ParseCtcp, SplitsCommandAndArgumentsWithOrWithoutTheClosingByte)
{
    const struct {
        QString Text;
        QString Command;
        QString Arguments;
    } cases[] = {
        { "\001VERSION\001", "VERSION", "" },
        { "\001PING 12345\001", "PING", "12345" },
        { "\001PING 12345", "PING", "12345" },
        { "\001ACTION rolls the dice\001 trailing", "ACTION", "rolls the dice" },
        { "\001", "", "" },
        { "\001\001", "", "" },
    };
    for (const auto& c : cases) {
        const irc::Ctcp ctcp = irc::ParseCtcp(c.Text);
        EXPECT_EQ(ctcp.Command, c.Command) << c.Text.toStdString();
        EXPECT_EQ(ctcp.Arguments, c.Arguments) << c.Text.toStdString();
    }
}

} // namespace
