// ware against a small HTTP server of the test's own on the loopback address.

#include "commands/warecommand.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testing_support::WaitUntil;

// Answers every request with a fixed response, or never answers when the response is empty, and keeps
// the requests it saw. A trickling shop sends its headers and then one byte of the page at a time, a
// bounded number of bytes.
class DrawerShop : public QObject {
public:
    QByteArray Response;
    QList<QByteArray> Requests;
    bool Trickle = false;
    static constexpr int TrickleBytes = 400;
    static constexpr int TrickleIntervalMs = 50;

    DrawerShop()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_buffers[socket] += socket->readAll();
                    if (!m_buffers[socket].contains("\r\n\r\n"))
                        return;
                    Requests.append(m_buffers[socket]);
                    if (Trickle) {
                        TrickleTo(socket);
                    } else if (!Response.isEmpty()) {
                        socket->write(Response);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
    }

    QString Host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }

    static QByteArray Page(int status, const QByteArray& body)
    {
        return "HTTP/1.1 " + QByteArray::number(status)
            + " Whatever\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size())
            + "\r\nConnection: close\r\n\r\n" + body;
    }

private:
    void TrickleTo(QTcpSocket* socket)
    {
        socket->write(Page(200, QByteArray(TrickleBytes, 'x')).chopped(TrickleBytes));
        auto* drip = new QTimer(socket);
        auto sent = std::make_shared<int>(0);
        connect(drip, &QTimer::timeout, socket, [socket, drip, sent] {
            if (++*sent == TrickleBytes || socket->state() != QAbstractSocket::ConnectedState)
                drip->stop();
            socket->write("x");
        });
        drip->start(TrickleIntervalMs);
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

class Ware : public testing_support::BotFixture {
protected:
    DrawerShop shop;

    void SetUp() override
    {
        Start();
        bot->State().Extra.DrawerHost = shop.Host();
    }

    QStringList Fetch(const QString& line)
    {
        bot->OnMessage("Bob", "#rpg", line);
        EXPECT_TRUE(WaitUntil([this] { return !bot->Drawer().Running(); }, 15000));
        return out.Take();
    }
};

TEST(DrawerParagraph, TakesTheFirstParagraphWithoutItsLineBreaks)
{
    EXPECT_EQ(commands::DrawerParagraph("<html><p>\nA brass key.\n</p><p>\nmore\n</p>"), "A brass key.");
    EXPECT_EQ(commands::DrawerParagraph("<p>\n\n</p>"), "");
    EXPECT_EQ(commands::DrawerParagraph("<p>\n</p>"), "");
    EXPECT_EQ(commands::DrawerParagraph("<p></p>"), "");
    EXPECT_FALSE(commands::DrawerParagraph("no paragraph").has_value());
    EXPECT_FALSE(commands::DrawerParagraph("</p> then <p>").has_value());
}

TEST_F(Ware, SaysTheBoxOfTheFloorAskedFor)
{
    shop.Response
        = DrawerShop::Page(200, "<html><body><p>\nA jar of teeth, all of them smiling.\n</p></body></html>");
    EXPECT_EQ(Fetch(",ware 7"),
        QStringList({ "PRIVMSG #rpg :Box from the floor 7: A jar of teeth, all of them smiling." }));
    ASSERT_EQ(shop.Requests.size(), 1);
    EXPECT_TRUE(shop.Requests.first().startsWith("GET /basement/box/index.html?level=7 HTTP/1.1\r\n"));
    EXPECT_TRUE(shop.Requests.first().contains("\r\nUser-Agent: User-Agent: NULL\r\n"));
    EXPECT_TRUE(bot->State().HelpLocked);

    const QStringList random = Fetch(",ware");
    ASSERT_EQ(random.size(), 1);
    EXPECT_TRUE(
        QRegularExpression("^PRIVMSG #rpg :Box from the floor [1-4]: ").match(random.first()).hasMatch())
        << random.first().toStdString();
}

TEST_F(Ware, AnEmptyParagraphIsAnEmptyBox)
{
    shop.Response = DrawerShop::Page(200, "<html><p>\n</p></html>");
    EXPECT_EQ(Fetch(",ware 2"), QStringList({ "PRIVMSG #rpg :Box from the floor 2: " }));
}

TEST_F(Ware, AnErrorStatusOrNoShopIsUnaccessible)
{
    shop.Response = DrawerShop::Page(404, "<p>\nnot here\n</p>");
    EXPECT_EQ(Fetch(",ware 2"), QStringList({ "PRIVMSG #rpg :Sorry, curioshop site is unaccessible." }));
    bot->State().Extra.DrawerHost.clear();
    EXPECT_EQ(Fetch(",ware 2"), QStringList({ "PRIVMSG #rpg :Sorry, curioshop site is unaccessible." }));
    EXPECT_EQ(
        Say("Ann", "#rpg", ",help"), QStringList({ "PRIVMSG #rpg :Come on, I just told you everything." }));
}

TEST_F(Ware, AShopThatNeverAnswersIsGivenUpWithoutBlockingTheBot)
{
    bot->Drawer().SetTimeout(300);
    bot->OnMessage("Bob", "#rpg", ",ware 3");
    EXPECT_TRUE(bot->Drawer().Running());
    EXPECT_EQ(Say("Ann", "#rpg", ",who").size(), 1); // the bot answers meanwhile
    bot->OnMessage("Bob", "#rpg", ",ware 3");
    EXPECT_EQ(Say("Bob", "#rpg", ",ware 3"),
        QStringList({ "PRIVMSG Bob :Hold on, I'm still rummaging through the last drawers." }));
    ASSERT_TRUE(WaitUntil([this] { return !bot->Drawer().Running(); }, 15000));
    EXPECT_EQ(out.Take(),
        QStringList({ "PRIVMSG #rpg :Sorry, curioshop site is unaccessible.",
            "PRIVMSG #rpg :Sorry, curioshop site is unaccessible." }));
}

// The limit covers the whole fetch: a shop that keeps sending a byte now and then is given up like a
// silent one, and the drawers are free for the next ware.
TEST_F(Ware, AShopThatTricklesItsPageIsGivenUpAtTheLimitForTheWholeFetch)
{
    shop.Trickle = true;
    bot->Drawer().SetTimeout(5 * DrawerShop::TrickleIntervalMs);
    bot->OnMessage("Bob", "#rpg", ",ware 3");
    bot->OnMessage("Ann", "#rpg", ",ware 4");
    ASSERT_TRUE(WaitUntil([this] { return !bot->Drawer().Running(); }, 15000));
    EXPECT_EQ(out.Take(),
        QStringList({ "PRIVMSG #rpg :Sorry, curioshop site is unaccessible.",
            "PRIVMSG #rpg :Sorry, curioshop site is unaccessible." }));
    EXPECT_EQ(shop.Requests.size(), 2);

    shop.Trickle = false;
    shop.Response = DrawerShop::Page(200, "<p>\nA tin soldier.\n</p>");
    EXPECT_EQ(Fetch(",ware 1"), QStringList({ "PRIVMSG #rpg :Box from the floor 1: A tin soldier." }));
}

} // namespace
