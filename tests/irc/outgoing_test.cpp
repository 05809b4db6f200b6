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
