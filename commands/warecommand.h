#pragma once

// The ware command: fetches a random "box" page of the curiosity shop's drawer over HTTP, without ever
// blocking the bot, and says the paragraph it holds. The shop's host is a setting of tessarin.ini.

#include "core/botstate.h"
#include "irc/sender.h"

#include <QNetworkAccessManager>
#include <QObject>

namespace commands {

struct CommandCall;
struct Services;

// The text of a drawer page's first paragraph, without the line breaks around it (empty when the
// paragraph holds nothing else); nothing when the page has none.
std::optional<QString> DrawerParagraph(const QString& page);

class DrawerFetch : public QObject {
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 10000;
    static constexpr qint64 MaxPageBytes = 1024 * 1024;
    static constexpr qsizetype MaxBoxChars = 2000;
    static constexpr int MaxFetches = 2;

    DrawerFetch(core::BotState& state, irc::Sender& out, QObject* parent = nullptr);

    // Fetches the drawer of floor and answers target when the page arrives or the fetch fails.
    void Fetch(int floor, const QString& target);

    // The limit for the whole fetch, from the request to the last byte: a shop that trickles its page
    // does not hold a fetch for longer than a silent one.
    void SetTimeout(int ms) { m_timeoutMs = ms; }
    bool Busy() const { return m_pending >= MaxFetches; }
    bool Running() const { return m_pending > 0; }

Q_SIGNALS:
    void Finished();

private:
    core::BotState& m_state;
    irc::Sender& m_out;
    QNetworkAccessManager m_network;
    int m_timeoutMs = TimeoutMs;
    int m_pending = 0;
};

void WareCommand(const CommandCall& call, Services& services);

} // namespace commands
