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
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace commands {

// Who may see a roll (see rollaccess.h): everyone, its roller and the game master of its channel, or its
// roller alone. The numbers are what the store keeps.
enum class RollKind { Public = 0, Secret = 1, Private = 2 };

// Who rolled: the nick, and the services account he was logged in to, folded as the server compares
// names, where the network told one (empty otherwise: the roll is then the nick's). A user without an
// account is also the nick the connection first saw him under, as privileges follow a user forward through
// his nick changes.
struct Roller {
    QString Nick;
    QString Account = QString();
    QString FirstNick = QString();
};

struct RollRecord {
    qint64 Number = 0;
    qint64 TimeMs = 0; // since the epoch
    // The channel a public or secret roll was made in; for a private one the roller's nick at the time.
    QString Place;
    QString Nick;
    QString Account;
    RollKind Kind = RollKind::Public;
    QString Command;
    QString Reply;
    std::vector<dice::RolledFace> Faces;
};

// How often each face came up, per die size: Counts[sides][face].
using FaceCounts = std::map<int, std::map<int, qint64>>;

class RollHistory final : public core::StorePart {
public:
    static constexpr int MaxRollsScanned = 2000;
    // Numbers are set aside this many at a time, each block written and synced before its first number is
    // said: a sync per thousand rolls, and a crash skips at most the rest of a block.
    static constexpr qint64 NumbersReservedAhead = 1000;

    RollHistory(core::Store& store, const core::Clock& clock);
    // Rolls older than this are removed when the history is loaded.
    void SetKeepDays(int days) { m_keepDays = days; }

    // Keeps a roll made now and returns its number.
    qint64 Record(RollKind kind, const QString& place, const Roller& roller, const QString& command,
        const QString& reply, const std::vector<dice::RolledFace>& faces);
    // The number of the newest roll; 0 before the first.
    qint64 LastNumber() const { return m_lastNumber; }
    // At a clean end: the numbers set aside and not said are given back, so that the next run goes on
    // from the last one said.
    void ReleaseReservedNumbers();

    // The last count rolls of the roller (by account when he has one, else by nick; as the server compares
    // names) in the channel place, or made in private when place is empty, that visible lets through;
    // newest first. At most MaxRollsScanned rolls are looked at.
    QList<RollRecord> Recent(const QString& place, const Roller& roller, int count,
        const std::function<bool(const RollRecord&)>& visible) const;
    std::optional<RollRecord> Find(qint64 number) const;

    enum class CountScope {
        // Every roll of the roller's own identity: his account's, or for a roller without one the rolls
        // made under his nick without an account.
        Own,
        // The public rolls of the roller (by account when he has one, else by nick), or of everybody when
        // the roller's nick is empty.
        Public,
    };
    FaceCounts Counts(const Roller& roller, CountScope scope) const;

    bool Load(QSqlDatabase& db) override;
    bool HasChanges() const override { return m_pending.size() > m_uncommitted || m_reservationChanged; }
    bool WriteChanges(QSqlDatabase& db, int maxRows) override;
    void Committed() override
    {
        m_pending.remove(0, std::exchange(m_uncommitted, 0));
        m_reservationUncommitted = false;
    }
    void RolledBack() override
    {
        m_uncommitted = 0;
        m_reservationChanged = m_reservationChanged || std::exchange(m_reservationUncommitted, false);
    }

private:
    core::Store& m_store;
    const core::Clock& m_clock;
    int m_keepDays = 365;
    qint64 m_lastNumber = 0;
    // The highest number set aside (see NumbersReservedAhead), and whether it is still to be written or
    // was written since the last commit.
    qint64 m_reserved = 0;
    bool m_reservationChanged = false;
    bool m_reservationUncommitted = false;
    // The rolls not committed yet, the first m_uncommitted of them written since the last commit (the
    // face counts in the store hold theirs already).
    QList<RollRecord> m_pending;
    qsizetype m_uncommitted = 0;
};

} // namespace commands
