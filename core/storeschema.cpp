#include "core/storeschema.h"

namespace core {

namespace {

// What the bot keeps about a place is shown only to those it belongs to. A private conversation's log
// belongs to the services account of its user where the network tells one (lower-cased); the logs kept
// before have no account and stay those of their channel or nick. The channels the bot knew as secret or
// private (lower-cased) are remembered beyond its stay on them.
QStringList PrivatePlacesStep()
{
    return {
        QStringLiteral("ALTER TABLE channel_logs ADD COLUMN account TEXT"),
        QStringLiteral("CREATE TABLE secret_channels (channel TEXT PRIMARY KEY) WITHOUT ROWID"),
    };
}

// When each channel was last given a setting, so that the least recently set give way first when the table
// is full, after a restart too. The rows kept before count as the oldest, all alike.
QStringList SettingsOrderStep()
{
    return { QStringLiteral("ALTER TABLE channel_settings ADD COLUMN set_order INTEGER NOT NULL DEFAULT 0") };
}

// Names compare as the server says (its CASEMAPPING), and the keys made from them follow: name_keys holds
// the mapping they are made under, ascii from here, which is SQLite's lower(). The keys before were
// lower-cased as Unicode, which no server does. The rolls keep their place and nick beside the keys and
// are keyed again; a key kept without its name is already its ascii key unless it holds a character beyond
// ASCII (its byte length is then not its length): it may then stand for names ascii tells apart ("Ä" and
// "ä"), and what it keys for a person belongs to nobody from here (a blank key). The channel settings were
// keyed with A to Z lower-cased already, and the secret channels are names.
QStringList NameKeysStep()
{
    const QString beyondAscii = QStringLiteral("length(%1) <> length(CAST(%1 AS BLOB))");
    const auto unownedIfBeyond = [&beyondAscii](const QString& column) {
        return QStringLiteral("CASE WHEN %1 THEN ' ' ELSE %2 END").arg(beyondAscii.arg(column), column);
    };
    return {
        QStringLiteral("CREATE TABLE name_keys (casemapping TEXT NOT NULL)"),
        QStringLiteral("INSERT INTO name_keys VALUES ('ascii')"),
        QStringLiteral("UPDATE rolls SET place_key = lower(place), nick_key = lower(nick), account_key = %1")
            .arg(unownedIfBeyond(QStringLiteral("account_key"))),
        QStringLiteral(
            "CREATE TEMP TABLE ascii_counts AS SELECT %1 AS nick_key, %2 AS account_key, kind, sides, "
            "face, SUM(count) AS count FROM roller_face_counts GROUP BY 1, 2, 3, 4, 5")
            .arg(unownedIfBeyond(QStringLiteral("nick_key")), unownedIfBeyond(QStringLiteral("account_key"))),
        QStringLiteral("DELETE FROM roller_face_counts"),
        QStringLiteral("INSERT INTO roller_face_counts SELECT * FROM ascii_counts"),
        QStringLiteral("DROP TABLE ascii_counts"),
        QStringLiteral("UPDATE channel_logs SET account = %1 WHERE account IS NOT NULL")
            .arg(unownedIfBeyond(QStringLiteral("account"))),
    };
}

} // namespace

const QList<QStringList>& SchemaSteps()
{
    static const QList<QStringList> steps {
        {
            // Version 1. A user's id is its place in the tracker, first seen first; texts that are lists
            // (later nicks, log lines, drawn cards) are kept joined by line feeds, which IRC lines never
            // hold.
            QStringLiteral("CREATE TABLE users (id INTEGER PRIMARY KEY, nick TEXT, later_nicks TEXT, "
                           "last_seen INTEGER NOT NULL)"),
            QStringLiteral("CREATE TABLE user_channels (user_id INTEGER NOT NULL, position INTEGER NOT NULL, "
                           "channel TEXT, join_time TEXT, join_note TEXT, leave_time TEXT, leave_note TEXT, "
                           "last_message TEXT, PRIMARY KEY (user_id, position)) WITHOUT ROWID"),
            QStringLiteral("CREATE TABLE indexed_channels (channel TEXT PRIMARY KEY) WITHOUT ROWID"),
            QStringLiteral(
                "CREATE TABLE channel_logs (position INTEGER PRIMARY KEY, target TEXT, lines TEXT)"),
            QStringLiteral("CREATE TABLE deck (id INTEGER PRIMARY KEY, drawn TEXT)"),
            QStringLiteral(
                "CREATE TABLE rolls (number INTEGER PRIMARY KEY, time INTEGER NOT NULL, place TEXT, "
                "place_key TEXT, nick TEXT, nick_key TEXT, command TEXT, reply TEXT, faces TEXT)"),
            QStringLiteral("CREATE INDEX rolls_by_place_and_nick ON rolls (place_key, nick_key, number)"),
            QStringLiteral("CREATE INDEX rolls_by_time ON rolls (time)"),
            // Counts of every face per roller, kept apart from the rolls so that the fairness test
            // neither reads a million rolls nor loses what the retention removes.
            QStringLiteral(
                "CREATE TABLE face_counts (nick_key TEXT NOT NULL, sides INTEGER NOT NULL, "
                "face INTEGER NOT NULL, count INTEGER NOT NULL, PRIMARY KEY (nick_key, sides, face)) "
                "WITHOUT ROWID"),
        },
        {
            // Version 2. The settings a channel has chosen for itself; the channel name is lower-cased.
            QStringLiteral("CREATE TABLE channel_settings (channel TEXT NOT NULL, key TEXT NOT NULL, "
                           "value TEXT NOT NULL, PRIMARY KEY (channel, key)) WITHOUT ROWID"),
        },
        {
            // Version 3. Who may see a roll: its kind (0 public, 1 secret, 2 private) and the services
            // account, lower-cased, its roller was logged in to ('' for none: the roll is the nick's).
            // Rolls kept before said where they were made only: those kept under the roller's own nick
            // (in private, in silent mode, or in secret) become private.
            QStringLiteral("ALTER TABLE rolls ADD COLUMN kind INTEGER NOT NULL DEFAULT 0"),
            QStringLiteral("ALTER TABLE rolls ADD COLUMN account_key TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("UPDATE rolls SET kind = 2 WHERE place_key = nick_key"),
            QStringLiteral("CREATE INDEX rolls_by_account ON rolls (account_key, number)"),
            QStringLiteral("CREATE INDEX rolls_by_nick ON rolls (nick_key, number)"),
            // The face counts by roller and kind, so that others' fairness tests count public rolls only.
            // The counts kept before mixed secret faces in: they count as private.
            QStringLiteral(
                "CREATE TABLE roller_face_counts (nick_key TEXT NOT NULL, account_key TEXT NOT NULL, "
                "kind INTEGER NOT NULL, sides INTEGER NOT NULL, face INTEGER NOT NULL, "
                "count INTEGER NOT NULL, PRIMARY KEY (nick_key, account_key, kind, sides, face)) "
                "WITHOUT ROWID"),
            QStringLiteral("INSERT INTO roller_face_counts SELECT nick_key, '', 2, sides, face, count "
                           "FROM face_counts"),
            QStringLiteral("DROP TABLE face_counts"),
        },
        // Version 4.
        PrivatePlacesStep(),
        // Version 5.
        SettingsOrderStep(),
        // Version 6.
        NameKeysStep(),
        {
            // Version 7. The highest roll number said or set aside to be said, so that a number once said
            // never names another roll: not after the newest rolls expired, nor after a crash lost the
            // rolls of the last second, whose numbers were said already.
            QStringLiteral("CREATE TABLE roll_numbers (reserved INTEGER NOT NULL)"),
            QStringLiteral("INSERT INTO roll_numbers SELECT COALESCE(MAX(number), 0) FROM rolls"),
        },
    };
    return steps;
}

} // namespace core
