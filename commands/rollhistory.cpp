#include "commands/rollhistory.h"

#include "irc/casemapping.h"

#include <QSqlQuery>
#include <QVariant>
#include <tuple>

namespace commands {

namespace {

// Faces as stored: "6:3 6:5 20:17", sides and face of each die in the order rolled.
QString FacesText(const std::vector<dice::RolledFace>& faces)
{
    QStringList parts;
    for (const dice::RolledFace& face : faces)
        parts.append(QString::number(face.Sides) + u':' + QString::number(face.Face));
    return parts.join(u' ');
}

std::vector<dice::RolledFace> ParseFaces(const QString& text)
{
    std::vector<dice::RolledFace> faces;
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype colon = part.indexOf(u':');
        faces.push_back({ part.left(colon).toInt(), part.mid(colon + 1).toInt() });
    }
    return faces;
}

const QString RollColumns
    = QStringLiteral("number, time, place, nick, account_key, kind, command, reply, faces");

RollRecord ReadRoll(const QSqlQuery& query)
{
    return { query.value(0).toLongLong(), query.value(1).toLongLong(), query.value(2).toString(),
        query.value(3).toString(), query.value(4).toString(), static_cast<RollKind>(query.value(5).toInt()),
        query.value(6).toString(), query.value(7).toString(), ParseFaces(query.value(8).toString()) };
}

// Whether the roll is the roller's as Recent and the counts select them: by account when he has one, else
// by his nick or the nick the connection first saw him under.
bool RolledBy(const RollRecord& record, const Roller& roller)
{
    if (!roller.Account.isEmpty())
        return record.Account == roller.Account;
    return irc::SameName(record.Nick, roller.Nick) || irc::SameName(record.Nick, roller.FirstNick);
}

// The same selection in SQL, its keys bound by BindRoller.
QString RolledByClause(const Roller& roller)
{
    return roller.Account.isEmpty() ? QStringLiteral("nick_key IN (?, ?)")
                                    : QStringLiteral("account_key = ?");
}

void BindRoller(QSqlQuery& query, const Roller& roller)
{
    if (!roller.Account.isEmpty()) {
        query.addBindValue(roller.Account);
        return;
    }
    query.addBindValue(irc::FoldName(roller.Nick));
    query.addBindValue(irc::FoldName(roller.FirstNick.isEmpty() ? roller.Nick : roller.FirstNick));
}

// A face count's row: whose faces and which kind of roll they came from.
struct CountKey {
    QString NickKey;
    QString AccountKey;
    int Kind = 0;
    bool operator<(const CountKey& other) const
    {
        return std::tie(NickKey, AccountKey, Kind) < std::tie(other.NickKey, other.AccountKey, other.Kind);
    }
};

void AddFaces(FaceCounts& counts, const std::vector<dice::RolledFace>& faces)
{
    for (const dice::RolledFace& face : faces)
        ++counts[face.Sides][face.Face];
}

} // namespace

RollHistory::RollHistory(core::Store& store, const core::Clock& clock)
    : m_store(store)
    , m_clock(clock)
{
}

bool RollHistory::Load(QSqlDatabase& db)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM rolls WHERE time < ?"));
    query.addBindValue(m_clock.Now().toMSecsSinceEpoch() - qint64 { m_keepDays } * 86400 * 1000);
    if (!query.exec()
        || !query.exec(QStringLiteral("SELECT MAX((SELECT COALESCE(MAX(number), 0) FROM rolls), "
                                      "(SELECT COALESCE(MAX(reserved), 0) FROM roll_numbers))")))
        return false;
    m_lastNumber = m_reserved = query.next() ? query.value(0).toLongLong() : 0;
    m_reservationChanged = m_reservationUncommitted = false;
    return true;
}

void RollHistory::ReleaseReservedNumbers()
{
    if (m_reserved == m_lastNumber)
        return;
    m_reserved = m_lastNumber;
    m_reservationChanged = true;
}

qint64 RollHistory::Record(RollKind kind, const QString& place, const Roller& roller, const QString& command,
    const QString& reply, const std::vector<dice::RolledFace>& faces)
{
    // The store keeps '' for no account, never NULL.
    const QString account = roller.Account.isEmpty() ? QStringLiteral("") : irc::FoldName(roller.Account);
    m_pending.append(
        { ++m_lastNumber, m_clock.MsSinceEpoch(), place, roller.Nick, account, kind, command, reply, faces });
    if (m_lastNumber > m_reserved) {
        m_reserved = m_lastNumber + NumbersReservedAhead - 1;
        m_reservationChanged = true;
        // Before the number is said.
        m_store.Flush();
    }
    return m_lastNumber;
}

bool RollHistory::WriteChanges(QSqlDatabase& db, int maxRows)
{
    if (m_reservationChanged) {
        QSqlQuery reserve(db);
        reserve.prepare(QStringLiteral("UPDATE roll_numbers SET reserved = ?"));
        reserve.addBindValue(m_reserved);
        if (!reserve.exec())
            return false;
        m_reservationChanged = false;
        m_reservationUncommitted = true;
    }
    const qsizetype written = std::min<qsizetype>(maxRows, m_pending.size() - m_uncommitted);
    QSqlQuery roll(db);
    roll.prepare(QStringLiteral("INSERT INTO rolls (") + RollColumns
        + QStringLiteral(", place_key, nick_key) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    std::map<CountKey, FaceCounts> counts;
    for (const RollRecord& record : m_pending.sliced(m_uncommitted, written)) {
        for (const QVariant& value :
            { QVariant(record.Number), QVariant(record.TimeMs), QVariant(record.Place), QVariant(record.Nick),
                QVariant(record.Account), QVariant(static_cast<int>(record.Kind)), QVariant(record.Command),
                QVariant(record.Reply), QVariant(FacesText(record.Faces)),
                QVariant(irc::FoldName(record.Place)), QVariant(irc::FoldName(record.Nick)) })
            roll.addBindValue(value);
        if (!roll.exec())
            return false;
        AddFaces(counts[{ irc::FoldName(record.Nick), record.Account, static_cast<int>(record.Kind) }],
            record.Faces);
    }
    QSqlQuery count(db);
    count.prepare(QStringLiteral("INSERT INTO roller_face_counts VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT "
                                 "(nick_key, account_key, kind, sides, face) DO UPDATE SET count = count + "
                                 "excluded.count"));
    for (const auto& [key, sizes] : counts) {
        for (const auto& [sides, faces] : sizes) {
            for (const auto& [face, times] : faces) {
                for (const QVariant& value : { QVariant(key.NickKey), QVariant(key.AccountKey),
                         QVariant(key.Kind), QVariant(sides), QVariant(face), QVariant(times) })
                    count.addBindValue(value);
                if (!count.exec())
                    return false;
            }
        }
    }
    m_uncommitted += written;
    return true;
}

QList<RollRecord> RollHistory::Recent(const QString& place, const Roller& roller, int count,
    const std::function<bool(const RollRecord&)>& visible) const
{
    const bool inPrivate = place.isEmpty();
    const auto wanted = [&](const RollRecord& record) {
        const bool here = inPrivate
            ? record.Kind == RollKind::Private
            : (record.Kind != RollKind::Private && irc::SameName(record.Place, place));
        return here && RolledBy(record, roller) && visible(record);
    };
    QList<RollRecord> found;
    int scanned = 0;
    for (auto record = m_pending.crbegin(); record != m_pending.crend() && found.size() < count; ++record) {
        if (wanted(*record))
            found.append(*record);
    }
    // The stored rolls in pages, newest first, until enough are found or the scan's bound is reached.
    constexpr int Page = 64;
    qint64 below = m_pending.isEmpty() ? std::numeric_limits<qint64>::max() : m_pending.first().Number;
    QSqlQuery query(m_store.Database());
    query.prepare(QStringLiteral("SELECT ") + RollColumns + QStringLiteral(" FROM rolls WHERE ")
        + (inPrivate ? QStringLiteral("kind = 2") : QStringLiteral("place_key = ? AND kind <> 2"))
        + QStringLiteral(" AND ") + RolledByClause(roller)
        + QStringLiteral(" AND number < ? ORDER BY number DESC LIMIT ?"));
    while (found.size() < count && scanned < MaxRollsScanned) {
        if (!inPrivate)
            query.addBindValue(irc::FoldName(place));
        BindRoller(query, roller);
        query.addBindValue(below);
        query.addBindValue(Page);
        if (!query.exec())
            break;
        int rows = 0;
        for (; query.next(); ++rows) {
            const RollRecord record = ReadRoll(query);
            below = record.Number;
            if (found.size() < count && visible(record))
                found.append(record);
        }
        scanned += rows;
        if (rows < Page)
            break;
    }
    return found;
}

std::optional<RollRecord> RollHistory::Find(qint64 number) const
{
    for (const RollRecord& record : m_pending) {
        if (record.Number == number)
            return record;
    }
    QSqlQuery query(m_store.Database());
    query.prepare(QStringLiteral("SELECT ") + RollColumns + QStringLiteral(" FROM rolls WHERE number = ?"));
    query.addBindValue(number);
    if (query.exec() && query.next())
        return ReadRoll(query);
    return std::nullopt;
}

FaceCounts RollHistory::Counts(const Roller& roller, CountScope scope) const
{
    const bool own = scope == CountScope::Own;
    const bool everybody = !own && roller.Nick.isEmpty();
    // A roller without an account owns only the rolls made under his nick without one.
    const auto counted = [&](const RollRecord& record) {
        if (own)
            return roller.Account.isEmpty() ? record.Account.isEmpty() && RolledBy(record, roller)
                                            : RolledBy(record, roller);
        return record.Kind == RollKind::Public && (everybody || RolledBy(record, roller));
    };
    QString where;
    if (own)
        where = QStringLiteral(" WHERE ") + RolledByClause(roller)
            + (roller.Account.isEmpty() ? QStringLiteral(" AND account_key = ''") : QString());
    else
        where = everybody ? QStringLiteral(" WHERE kind = 0")
                          : QStringLiteral(" WHERE kind = 0 AND ") + RolledByClause(roller);
    FaceCounts counts;
    QSqlQuery query(m_store.Database());
    query.prepare(QStringLiteral("SELECT sides, face, SUM(count) FROM roller_face_counts") + where
        + QStringLiteral(" GROUP BY sides, face"));
    if (!everybody)
        BindRoller(query, roller);
    if (query.exec()) {
        while (query.next())
            counts[query.value(0).toInt()][query.value(1).toInt()] += query.value(2).toLongLong();
    }
    // The faces of the rolls written are in the counts read already.
    for (const RollRecord& record : m_pending.sliced(m_uncommitted)) {
        if (counted(record))
            AddFaces(counts, record.Faces);
    }
    return counts;
}

} // namespace commands
