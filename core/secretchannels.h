#pragma once

// The channels the bot has known to be secret (+s) or private (+p), as the connection told it while the
// bot was on them (or could not yet tell otherwise). What the bot saw on such a channel is told only to
// those it sees there (the seen command), and the memory outlasts the bot's stay: leaving the channel,
// being kicked or restarting does not make it public. The names are kept as the connection gave them and
// compare as the server compares names, so that no change of the server's case mapping can part a channel
// from its secrecy. As a part of the store the channels are read back at start and each change is written
// at the next flush.

#include "core/store.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <utility>

namespace core {

class SecretChannels final : public StorePart {
public:
    bool IsSecret(const QString& channel) const;
    // What the connection now knows of a channel the bot is on.
    void Note(const QString& channel, bool secret);
    // Forgets every channel.
    void Clear();

    // Only while kept are changes noted for the store, so that a bot that keeps nothing notes nothing.
    void SetKept(bool kept) { m_kept = kept; }
    bool Load(QSqlDatabase& db) override;
    bool HasChanges() const override { return !m_changed.isEmpty(); }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;
    void Committed() override { m_uncommitted.clear(); }
    void RolledBack() override { m_changed.unite(std::exchange(m_uncommitted, {})); }

private:
    // A bot knows a handful of channels: they are looked through one by one.
    QStringList m_secret;
    bool m_kept = false;
    // Names added or removed since the last write, and those written since the last commit.
    QSet<QString> m_changed;
    QSet<QString> m_uncommitted;
};

} // namespace core
