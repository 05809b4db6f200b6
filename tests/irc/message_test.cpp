// The line parser, from raw lines to prefix, command and parameters.

#include "irc/message.h"

#include <gtest/gtest.h>

namespace {

using irc::Message;
using irc::ParseLine;

struct LineCase {
    QByteArray Line;
    QByteArray Prefix;
    QByteArray Command;
    QList<QByteArray> Params;
};

void ExpectParses(const std::vector<LineCase>& cases)
{
    for (const LineCase& c : cases) {
        const Message message = ParseLine(c.Line);
        EXPECT_EQ(message.Prefix, c.Prefix) << c.Line.toStdString();
        EXPECT_EQ(message.Command, c.Command) << c.Line.toStdString();
        EXPECT_EQ(message.Params, c.Params) << c.Line.toStdString();
    }
}

TEST(ParseLine, TakesTheLinesServersSendApart)
{
    ExpectParses({
        { ":Bob!~bob@host.example PRIVMSG #chan :hello there", "Bob!~bob@host.example", "PRIVMSG",
            { "#chan", "hello there" } },
        { ":irc.example.net 001 Tessarin :Welcome", "irc.example.net", "001", { "Tessarin", "Welcome" } },
        { ":irc.example.net 353 Tessarin = #dice :@Bob +Ann Kell", "irc.example.net", "353",
            { "Tessarin", "=", "#dice", "@Bob +Ann Kell" } },
        { "PING :12345", "", "PING", { "12345" } },
        { "PING 12345", "", "PING", { "12345" } },
        { ":Bob!b@h PRIVMSG Tessarin :", "Bob!b@h", "PRIVMSG", { "Tessarin", "" } },
        { ":Bob!b@h PRIVMSG", "Bob!b@h", "PRIVMSG", {} },
        { ":irc.example.net 433", "irc.example.net", "433", {} },
        { ":Bob!b@h KICK #dice Tessarin :out", "Bob!b@h", "KICK", { "#dice", "Tessarin", "out" } },
        { ":Bob!b@h PRIVMSG #c :\001VERSION\001", "Bob!b@h", "PRIVMSG", { "#c", "\001VERSION\001" } },
        { ":Bob!b@h PRIVMSG #c :\001VERSION", "Bob!b@h", "PRIVMSG", { "#c", "\001VERSION" } },
    });
}

TEST(ParseLine, SurvivesBrokenLines)
{
    QByteArray many = "CMD";
    for (int i = 0; i < 40; ++i)
        many += " p" + QByteArray::number(i);
    QList<QByteArray> first28;
    for (int i = 0; i < 28; ++i)
        first28.append("p" + QByteArray::number(i));

    ExpectParses({
        { "", "", "", {} },
        { ":", "", "", {} },
        { ":Bob!b@h", "Bob!b@h", "", {} },
        { "   ", "", "", {} },
        { QByteArray("PRIVMSG #c :a\0b", 15), "", "PRIVMSG", { "#c", QByteArray("a\0b", 3) } },
        { "PRIVMSG #c :\xff\xfe", "", "PRIVMSG", { "#c", "\xff\xfe" } },
        { many, "", "CMD", first28 },
    });
    EXPECT_EQ(ParseLine(many).Content, many.mid(4)) << "the content keeps what the slots could not";
}

TEST(ParseLine, CutsEveryPieceTo512BytesAtACharacterBoundary)
{
    const QByteArray longWord(600, 'x');
    const Message plain = ParseLine(":" + longWord + " " + longWord + " " + longWord + " :" + longWord);
    EXPECT_EQ(plain.Prefix.size(), 512);
    EXPECT_EQ(plain.Command.size(), 512);
    ASSERT_EQ(plain.Params.size(), 2);
    EXPECT_EQ(plain.Params[0].size(), 512);
    EXPECT_EQ(plain.Params[1].size(), 512);

    // 511 ASCII bytes and a three-byte character: the character would be cut, so it goes whole.
    const QByteArray text = QByteArray(511, 'a') + "\xe2\x82\xac" + "tail";
    EXPECT_EQ(ParseLine("PRIVMSG #c :" + text).Param(1), QByteArray(511, 'a'));
    EXPECT_EQ(irc::CutUtf8("\xe2\x82\xac\xe2\x82\xac", 5), "\xe2\x82\xac");
    EXPECT_EQ(irc::CutUtf8("\x80\x80\x80\x80\x80\x80", 5), "\x80\x80\x80\x80\x80") << "not UTF-8: plain cut";
}

// Public test vectors for splitting IRC lines (CC0, from the "irc-parser-tests" collection by Daniel Oaks
// and others); those with message tags follow below.
TEST(ParseLine, AgreesWithThePublicSplitVectors)
{
    ExpectParses({
        { "foo bar baz asdf", "", "foo", { "bar", "baz", "asdf" } },
        { ":coolguy foo bar baz asdf", "coolguy", "foo", { "bar", "baz", "asdf" } },
        { "foo bar baz :asdf quux", "", "foo", { "bar", "baz", "asdf quux" } },
        { "foo bar baz :", "", "foo", { "bar", "baz", "" } },
        { "foo bar baz ::asdf", "", "foo", { "bar", "baz", ":asdf" } },
        { ":coolguy foo bar baz :asdf quux", "coolguy", "foo", { "bar", "baz", "asdf quux" } },
        { ":coolguy foo bar baz :  asdf quux ", "coolguy", "foo", { "bar", "baz", "  asdf quux " } },
        { ":coolguy PRIVMSG bar :lol :) ", "coolguy", "PRIVMSG", { "bar", "lol :) " } },
        { ":coolguy foo bar baz :", "coolguy", "foo", { "bar", "baz", "" } },
        { ":coolguy foo bar baz :  ", "coolguy", "foo", { "bar", "baz", "  " } },
        { ":src JOIN #chan", "src", "JOIN", { "#chan" } },
        { ":src JOIN :#chan", "src", "JOIN", { "#chan" } },
        { ":src AWAY", "src", "AWAY", {} },
        { ":src AWAY ", "src", "AWAY", {} },
        { ":cool\tguy foo bar baz", "cool\tguy", "foo", { "bar", "baz" } },
        { ":coolguy!ag@net\x03"
          "5w\x03ork.admin PRIVMSG foo :bar baz",
            "coolguy!ag@net\x03"
            "5w\x03ork.admin",
            "PRIVMSG", { "foo", "bar baz" } },
        { ":irc.example.com COMMAND param1 param2 :param3 param3", "irc.example.com", "COMMAND",
            { "param1", "param2", "param3 param3" } },
        { "COMMAND", "", "COMMAND", {} },
        { ":gravel.mozilla.org 432  #momo :Erroneous Nickname: Illegal characters", "gravel.mozilla.org",
            "432", { "#momo", "Erroneous Nickname: Illegal characters" } },
        { ":gravel.mozilla.org MODE #tckk +n ", "gravel.mozilla.org", "MODE", { "#tckk", "+n" } },
        { ":services.esper.net MODE #foo-bar +o foobar  ", "services.esper.net", "MODE",
            { "#foo-bar", "+o", "foobar" } },
        { ":SomeOp MODE #channel :+i", "SomeOp", "MODE", { "#channel", "+i" } },
        { ":SomeOp MODE #channel +oo SomeUser :AnotherUser", "SomeOp", "MODE",
            { "#channel", "+oo", "SomeUser", "AnotherUser" } },
    });
}

TEST(ParseLine, AgreesWithThePublicTagVectors)
{
    using Tags = QList<std::pair<QByteArray, QByteArray>>;
    const struct {
        QByteArray Line;
        Tags Expected;
        QByteArray Prefix;
        QByteArray Command;
        QList<QByteArray> Params;
    } cases[] = {
        { "@a=b;c=32;k;rt=ql7 foo", { { "a", "b" }, { "c", "32" }, { "k", "" }, { "rt", "ql7" } }, "", "foo",
            {} },
        { "@a=b\\\\and\\nk;c=72\\s45;d=gh\\:764 foo",
            { { "a", "b\\and\nk" }, { "c", "72 45" }, { "d", "gh;764" } }, "", "foo", {} },
        { "@c;h=;a=b :quux ab cd", { { "c", "" }, { "h", "" }, { "a", "b" } }, "quux", "ab", { "cd" } },
        { "@tag1=value1;tag2;vendor1/tag3=value2;vendor2/tag4= :irc.example.com COMMAND param1 param2 "
          ":param3 param3",
            { { "tag1", "value1" }, { "tag2", "" }, { "vendor1/tag3", "value2" }, { "vendor2/tag4", "" } },
            "irc.example.com", "COMMAND", { "param1", "param2", "param3 param3" } },
        { "@foo=\\\\\\\\\\:\\\\s\\s\\r\\n COMMAND", { { "foo", "\\\\;\\s \r\n" } }, "", "COMMAND", {} },
        { "@tag1=value\\\\ntest COMMAND", { { "tag1", "value\\ntest" } }, "", "COMMAND", {} },
        { "@tag1=value\\1 COMMAND", { { "tag1", "value1" } }, "", "COMMAND", {} },
        { "@tag1=value1\\ COMMAND", { { "tag1", "value1" } }, "", "COMMAND", {} },
        { "@tag1=1;tag2=3;tag3=4;tag1=5;vendor/tag2=8 COMMAND",
            { { "tag1", "5" }, { "tag2", "3" }, { "tag3", "4" }, { "vendor/tag2", "8" } }, "", "COMMAND",
            {} },
        // What the bot reads from a server that tells accounts.
        { "@account=Kell;time=2026-12-09T02:58:04.000Z :Kell!k@h PRIVMSG #dice :,roll 2d6",
            { { "account", "Kell" }, { "time", "2026-12-09T02:58:04.000Z" } }, "Kell!k@h", "PRIVMSG",
            { "#dice", ",roll 2d6" } },
    };
    for (const auto& c : cases) {
        const Message message = ParseLine(c.Line);
        EXPECT_EQ(message.Tags, c.Expected) << c.Line.toStdString();
        EXPECT_EQ(message.Prefix, c.Prefix) << c.Line.toStdString();
        EXPECT_EQ(message.Command, c.Command) << c.Line.toStdString();
        EXPECT_EQ(message.Params, c.Params) << c.Line.toStdString();
    }
    EXPECT_EQ(ParseLine("@account=Kell :Kell!k@h PRIVMSG #dice :hi").Tag("account"), "Kell");
    EXPECT_FALSE(ParseLine(":Kell!k@h PRIVMSG #dice :hi").Tag("account").has_value());
    QByteArray many = "@";
    for (int i = 0; i < 100; ++i)
        many += "t" + QByteArray::number(i) + "=x;";
    EXPECT_EQ(ParseLine(many + " PING").Tags.size(), irc::MaxTags) << "a line's tags are bounded";
}

TEST(SplitPrefix, SeparatesTheNickFromTheAddress)
{
    const struct {
        QByteArray Prefix;
        QByteArray Nick;
        QByteArray Address;
    } cases[] = {
        { "coolguy!ag@127.0.0.1", "coolguy", "ag@127.0.0.1" },
        { "coolguy!~ag@localhost", "coolguy", "~ag@localhost" },
        { "coolguy!ag", "coolguy", "ag" },
        { "coolguy!ag@net\x03"
          "5w\x03ork.admin",
            "coolguy",
            "ag@net\x03"
            "5w\x03ork.admin" },
        // Unlike the public vectors, which read these as nicks, a prefix without "!" is a server's: it has
        // no nick, and all of it is the address.
        { "coolguy", "", "coolguy" },
        { "coolguy@127.0.0.1", "", "coolguy@127.0.0.1" },
        { "irc.example.net", "", "irc.example.net" },
        { "", "", "" },
    };
    for (const auto& c : cases) {
        const irc::PrefixParts parts = irc::SplitPrefix(c.Prefix);
        EXPECT_EQ(parts.Nick, c.Nick) << c.Prefix.toStdString();
        EXPECT_EQ(parts.Address, c.Address) << c.Prefix.toStdString();
    }
}

} // namespace
