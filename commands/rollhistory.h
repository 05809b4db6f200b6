#pragma once

// The roll history: every dice result the bot has said, numbered from 1, with when, where and by whom it
// was rolled, the command line, the reply and the faces. Rolls wait in memory until the store's next
// flush; queries see them at once. Besides the rolls, the store counts every face per roller, which the
// fairness test reads instead of the rolls themselves.

#include "core/clock.h"
#include "core/store.h"
#include "dice/randomsource.h"

#include <QList>
#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace commands {

struct RollRecord {
    qint64 Number = 0;
    qint64 TimeMs = 0; // since the epoch
    QString Place; // the reply target: a channel, or the roller's own nick for a private roll
    QString Nick;
    QString Command;
    QString Reply;
    std::vector<dice::RolledFace> Faces;
};

// How often each face came up, per die size: Counts[sides][face].
using FaceCounts = std::map<int, std::map<int, qint64>>;

class RollHistory final : public core::StorePart {
public:
    RollHistory(core::Store& store, const core::Clock& clock);
    // Rolls older than this are removed when the history is loaded.
    void SetKeepDays(int days) { m_keepDays = days; }

    // Keeps a roll made now and returns its number.
    qint64 Record(const QString& place, const QString& nick, const QString& command, const QString& reply,
        const std::vector<dice::RolledFace>& faces);

    // The last count rolls by nick in place (both ignoring case), newest first.
    QList<RollRecord> Recent(const QString& place, const QString& nick, int count) const;
    std::optional<RollRecord> Find(qint64 number) const;
    // nick's faces, or everybody's when nick is empty.
    FaceCounts Counts(const QString& nick) const;

    bool Load(QSqlDatabase& db) override;
    bool HasChanges() const override { return !m_pending.isEmpty(); }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;

private:
    core::Store& m_store;
    const core::Clock& m_clock;
    int m_keepDays = 365;
    qint64 m_lastNumber = 0;
    QList<RollRecord> m_pending;
};

} // namespace commands
