#include "commands/warecommand.h"

#include "commands/services.h"
#include "common/parseinteger.h"
#include "core/replyoutput.h"
#include "core/textcap.h"
#include "dice/randomsource.h"
#include "irc/textcodec.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace commands {

namespace {

const QString Unaccessible = QStringLiteral("Sorry, curioshop site is unaccessible.");

} // namespace

std::optional<QString> DrawerParagraph(const QString& page)
{
    const qsizetype open = page.indexOf(QLatin1String("<p>"));
    const qsizetype close = page.indexOf(QLatin1String("</p>"));
    // The paragraph's text sits between a line break after "<p>" and one before "</p>".
    const qsizetype from = open + 4;
    const qsizetype to = close - 1;
    if (open < 0 || close < open + 3)
        return std::nullopt;
    return to > from ? page.mid(from, to - from) : QString();
}

DrawerFetch::DrawerFetch(core::BotState& state, irc::Sender& out, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_out(out)
{
}

void DrawerFetch::Fetch(int floor, const QString& target)
{
    const QString host = m_state.Extra.DrawerHost;
    const QUrl url(QStringLiteral("http://") + host + QStringLiteral("/basement/box/index.html?level=")
        + QString::number(floor));
    if (host.isEmpty() || !url.isValid()) {
        m_out.Say(target, Unaccessible);
        return;
    }
    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", "User-Agent: NULL");
    QNetworkReply* reply = m_network.get(request);
    ++m_pending;
    auto* limit = new QTimer(reply);
    limit->setSingleShot(true);
    connect(limit, &QTimer::timeout, reply, &QNetworkReply::abort);
    limit->start(m_timeoutMs);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > MaxPageBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, floor, target] {
        reply->deleteLater();
        --m_pending;
        const bool failed = reply->error() != QNetworkReply::NoError;
        const std::optional<QString> box
            = failed ? std::nullopt : DrawerParagraph(irc::DecodeText(reply->read(MaxPageBytes)));
        if (box)
            core::SayWrapped(m_out, target,
                QStringLiteral("Box from the floor %1: ").arg(floor) + core::CapChars(*box, MaxBoxChars),
                m_state.LineWidth);
        else
            m_out.Say(target, Unaccessible);
        Q_EMIT Finished();
    });
}

void WareCommand(const CommandCall& call, Services& services)
{
    // Help rests after every ware, whatever the shop answers.
    services.Locks.StartHelp();
    if (services.Drawer.Busy()) {
        services.Out.Say(call.Nick, QStringLiteral("Hold on, I'm still rummaging through the last drawers."));
        return;
    }
    std::optional<int> floor = common::ParseInteger(call.Parameter);
    if (!floor) {
        dice::RandomizeGenerator();
        floor = dice::RandomBelow(4) + 1;
    }
    services.Drawer.Fetch(*floor, call.Target);
}

} // namespace commands
