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
        // Version 3.
        PrivatePlacesStep(),
    };
    return steps;
}

} // namespace core
