#include "commands/rollhistory.h"

#include <QSqlQuery>
#include <QVariant>

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

const QString RollColumns = QStringLiteral("number, time, place, nick, command, reply, faces");

RollRecord ReadRoll(const QSqlQuery& query)
{
    return { query.value(0).toLongLong(), query.value(1).toLongLong(), query.value(2).toString(),
        query.value(3).toString(), query.value(4).toString(), query.value(5).toString(),
        ParseFaces(query.value(6).toString()) };
}

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
    if (!query.exec() || !query.exec(QStringLiteral("SELECT MAX(number) FROM rolls")))
        return false;
    m_lastNumber = query.next() ? query.value(0).toLongLong() : 0;
    return true;
}

qint64 RollHistory::Record(const QString& place, const QString& nick, const QString& command,
    const QString& reply, const std::vector<dice::RolledFace>& faces)
{
    m_pending.append({ ++m_lastNumber, m_clock.MsSinceEpoch(), place, nick, command, reply, faces });
    return m_lastNumber;
}

bool RollHistory::WriteChanges(QSqlDatabase& db, int maxRows)
{
    const qsizetype written = std::min<qsizetype>(maxRows, m_pending.size());
    QSqlQuery roll(db);
    roll.prepare(QStringLiteral("INSERT INTO rolls (") + RollColumns
        + QStringLiteral(", place_key, nick_key) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    std::map<QString, FaceCounts> counts;
    for (const RollRecord& record : m_pending.first(written)) {
        for (const QVariant& value :
            { QVariant(record.Number), QVariant(record.TimeMs), QVariant(record.Place), QVariant(record.Nick),
                QVariant(record.Command), QVariant(record.Reply), QVariant(FacesText(record.Faces)),
                QVariant(record.Place.toLower()), QVariant(record.Nick.toLower()) })
            roll.addBindValue(value);
        if (!roll.exec())
            return false;
        AddFaces(counts[record.Nick.toLower()], record.Faces);
    }
    QSqlQuery count(db);
    count.prepare(QStringLiteral("INSERT INTO face_counts VALUES (?, ?, ?, ?) ON CONFLICT (nick_key, sides, "
                                 "face) DO UPDATE SET count = count + excluded.count"));
    for (const auto& [nick, sizes] : counts) {
        for (const auto& [sides, faces] : sizes) {
            for (const auto& [face, times] : faces) {
                for (const QVariant& value :
                    { QVariant(nick), QVariant(sides), QVariant(face), QVariant(times) })
                    count.addBindValue(value);
                if (!count.exec())
                    return false;
            }
        }
    }
    m_pending.remove(0, written);
    return true;
}

QList<RollRecord> RollHistory::Recent(const QString& place, const QString& nick, int count) const
{
    QList<RollRecord> found;
    const QString placeKey = place.toLower();
    const QString nickKey = nick.toLower();
    for (auto record = m_pending.crbegin(); record != m_pending.crend() && found.size() < count; ++record) {
        if (record->Place.toLower() == placeKey && record->Nick.toLower() == nickKey)
            found.append(*record);
    }
    QSqlQuery query(m_store.Database());
    query.prepare(QStringLiteral("SELECT ") + RollColumns
        + QStringLiteral(" FROM rolls WHERE place_key = ? AND nick_key = ? ORDER BY number DESC LIMIT ?"));
    query.addBindValue(placeKey);
    query.addBindValue(nickKey);
    query.addBindValue(count - found.size());
    if (found.size() < count && query.exec()) {
        while (query.next())
            found.append(ReadRoll(query));
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

FaceCounts RollHistory::Counts(const QString& nick) const
{
    FaceCounts counts;
    QSqlQuery query(m_store.Database());
    if (nick.isEmpty()) {
        query.prepare(QStringLiteral("SELECT sides, face, SUM(count) FROM face_counts GROUP BY sides, face"));
    } else {
        query.prepare(QStringLiteral("SELECT sides, face, count FROM face_counts WHERE nick_key = ?"));
        query.addBindValue(nick.toLower());
    }
    if (query.exec()) {
        while (query.next())
            counts[query.value(0).toInt()][query.value(1).toInt()] += query.value(2).toLongLong();
    }
    for (const RollRecord& record : m_pending) {
        if (nick.isEmpty() || record.Nick.compare(nick, Qt::CaseInsensitive) == 0)
            AddFaces(counts, record.Faces);
    }
    return counts;
}

} // namespace commands
