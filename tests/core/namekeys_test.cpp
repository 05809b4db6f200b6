// The store's keys made from names: the upgrade that keys them as ascii, and keying them again when the
// server's case mapping changes.

#include "core/namekeys.h"
#include "core/store.h"
#include "core/storeschema.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <gtest/gtest.h>

namespace {

using irc::CaseMapping;
using testing_support::TempFiles;

// The rows of a query, each row's columns joined by "/".
QStringList Rows(const QSqlDatabase& db, const QString& select)
{
    QSqlQuery query(db);
    QStringList rows;
    if (!query.exec(select))
        return { query.lastQuery() };
    while (query.next()) {
        QStringList columns;
        for (int i = 0; i < query.record().count(); ++i)
            columns.append(query.value(i).isNull() ? QStringLiteral("NULL") : query.value(i).toString());
        rows.append(columns.join(u'/'));
    }
    return rows;
}

void Exec(const QSqlDatabase& db, const QString& statement, const QVariantList& values = {})
{
    QSqlQuery query(db);
    query.prepare(statement);
    for (const QVariant& value : values)
        query.addBindValue(value);
    ASSERT_TRUE(query.exec()) << statement.toStdString();
}

const QString InsertRoll
    = QStringLiteral("INSERT INTO rolls (number, time, place, place_key, nick, nick_key, "
                     "account_key, command, reply, faces) VALUES (?, 0, ?, ?, ?, ?, ?, "
                     "',r d6', 'r: 4', '6:4')");

// Keys kept before were lower-cased as Unicode. The rolls are keyed again from the place and nick beside
// their keys; a key kept alone is its ascii key already, unless it holds a character beyond ASCII: it may
// then stand for names ascii tells apart, and what it keys belongs to nobody.
TEST(NameKeys, TheUpgradeKeysAgainWhatItCanAndGivesNoKeyThatMayStandForTwoNames)
{
    struct RollCase {
        QString Place, PlaceKey, Nick, NickKey, AccountKey;
        QString Keys; // place, nick and account key after the upgrade
    };
    const RollCase rolls[] = {
        { "#Dice", "#dice", "Kell", "kell", "", "#dice/kell/" },
        { "#Ärger", "#ärger", "Troll[1]", "troll[1]", "kell", "#Ärger/troll[1]/kell" },
        { "#ärger", "#ärger", "Ärger", "ärger", "ärger", "#ärger/Ärger/ " },
        { "Kell", "kell", "Kell", "kell", "troll{1}", "kell/kell/troll{1}" },
    };
    struct KeyCase {
        QString Old;
        QString New;
    };
    // Face counts under each nick key (with no account) and under each account key (with nick "n").
    const KeyCase keys[]
        = { { "kell", "kell" }, { "troll[1]", "troll[1]" }, { "ärger", " " }, { "öl", " " } };
    const KeyCase logAccounts[] = { { "kell", "kell" }, { "ärger", " " } };

    TempFiles files;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "before-name-keys");
        db.setDatabaseName(files.PathOf(core::StoreFile));
        ASSERT_TRUE(db.open());
        Exec(db, "CREATE TABLE schema_version (version INTEGER)");
        Exec(db, "INSERT INTO schema_version VALUES (4)");
        for (int step = 0; step < 4; ++step) {
            for (const QString& statement : core::SchemaSteps().at(step))
                Exec(db, statement);
        }
        int number = 0;
        for (const RollCase& r : rolls)
            Exec(db, InsertRoll, { ++number, r.Place, r.PlaceKey, r.Nick, r.NickKey, r.AccountKey });
        for (const KeyCase& k : keys) {
            Exec(db, "INSERT INTO roller_face_counts VALUES (?, '', 0, 6, 1, 1)", { k.Old });
            Exec(db, "INSERT INTO roller_face_counts VALUES ('n', ?, 0, 6, 1, 1)", { k.Old });
        }
        int position = 0;
        for (const KeyCase& a : logAccounts)
            Exec(db, "INSERT INTO channel_logs VALUES (?, 'Nick', 'Nick', ?)", { position++, a.Old });
        Exec(db, "INSERT INTO channel_logs VALUES (?, '#dice', '#dice', NULL)", { position });
    }
    QSqlDatabase::removeDatabase("before-name-keys");

    core::Store store;
    ASSERT_EQ(store.Open(files.PathOf(core::StoreFile)), QString());
    EXPECT_EQ(store.KeyMapping(), CaseMapping::Ascii);
    const QSqlDatabase db = store.Database();
    EXPECT_EQ(Rows(db, "SELECT casemapping FROM name_keys"), QStringList({ "ascii" }));
    QStringList expectedRolls;
    for (const RollCase& r : rolls)
        expectedRolls.append(r.Keys);
    EXPECT_EQ(Rows(db, "SELECT place_key, nick_key, account_key FROM rolls ORDER BY number"), expectedRolls);
    // Two keys beyond ASCII become one unowned key: their counts add up.
    EXPECT_EQ(Rows(db, "SELECT nick_key, count FROM roller_face_counts WHERE account_key = '' ORDER BY 1"),
        QStringList({ " /2", "kell/1", "troll[1]/1" }));
    EXPECT_EQ(Rows(db, "SELECT account_key, count FROM roller_face_counts WHERE nick_key = 'n' ORDER BY 1"),
        QStringList({ " /2", "kell/1", "troll[1]/1" }));
    EXPECT_EQ(Rows(db, "SELECT account FROM channel_logs ORDER BY position"),
        QStringList({ logAccounts[0].New, logAccounts[1].New, "NULL" }));
}

// Rolls are keyed again from their place and nick; an account key is folded further where the new mapping
// folds more, and belongs to nobody where the new mapping would part it.
TEST(NameKeys, ANewMappingKeysTheRollsAgain)
{
    struct Case {
        CaseMapping From;
        CaseMapping To;
        QString Place, Nick, AccountKey;
        QString Keys; // place, nick and account key after
    };
    const Case cases[] = {
        { CaseMapping::Ascii, CaseMapping::Rfc1459, "#A[B]", "Troll[1]", "troll[1]",
            "#a{b}/troll{1}/troll{1}" },
        { CaseMapping::Ascii, CaseMapping::StrictRfc1459, "#A~", "Troll\\", "a~b\\", "#a~/troll|/a~b|" },
        { CaseMapping::Rfc1459, CaseMapping::Ascii, "#A[B]", "Troll[1]", "troll{1}", "#a[b]/troll[1]/ " },
        { CaseMapping::Rfc1459, CaseMapping::Ascii, "#x", "Kell~", "kell", "#x/kell~/kell" },
        { CaseMapping::Rfc1459, CaseMapping::StrictRfc1459, "#x", "A~", "a^b", "#x/a~/ " },
        { CaseMapping::Rfc1459, CaseMapping::StrictRfc1459, "#x", "A~", "a|b", "#x/a~/a|b" },
        { CaseMapping::StrictRfc1459, CaseMapping::Ascii, "#x", "A", "a^b", "#x/a/a^b" },
        { CaseMapping::Ascii, CaseMapping::Rfc1459, "#Ärger", "Kell", "", "#Ärger/kell/" },
    };
    for (const Case& c : cases) {
        const std::string where
            = (c.Place + u' ' + irc::CaseMappingName(c.From) + u' ' + irc::CaseMappingName(c.To))
                  .toStdString();
        core::Store store;
        ASSERT_EQ(store.Open(QString()), QString());
        store.RekeyNames(c.From);
        Exec(store.Database(), InsertRoll,
            { 1, c.Place, irc::Fold(c.Place, c.From), c.Nick, irc::Fold(c.Nick, c.From), c.AccountKey });
        store.RekeyNames(c.To);
        EXPECT_EQ(store.KeyMapping(), c.To) << where;
        EXPECT_EQ(Rows(store.Database(), "SELECT place_key, nick_key, account_key FROM rolls"),
            QStringList({ c.Keys }))
            << where;
    }
}

// Towards rfc1459 the counts of two spellings of one nick add up; back towards ascii they belong to
// nobody, since either spelling may have rolled them. The file remembers the mapping of its keys.
TEST(NameKeys, FaceCountsAddUpOrBelongToNobodyAndTheFileRemembersTheMapping)
{
    TempFiles files;
    {
        core::Store store;
        ASSERT_EQ(store.Open(files.PathOf(core::StoreFile)), QString());
        const QSqlDatabase db = store.Database();
        Exec(db,
            "INSERT INTO roller_face_counts VALUES ('troll[1]', '', 0, 6, 1, 2), ('troll{1}', '', 0, 6, "
            "1, 3), ('kell', 'kell[1]', 0, 6, 2, 1), ('kell', 'kell', 0, 6, 3, 1)");
        store.RekeyNames(CaseMapping::Rfc1459);
        const QString counts = "SELECT nick_key, account_key, face, count FROM roller_face_counts ORDER BY 3";
        EXPECT_EQ(Rows(db, counts), QStringList({ "troll{1}//1/5", "kell/kell{1}/2/1", "kell/kell/3/1" }));
        store.RekeyNames(CaseMapping::Ascii);
        EXPECT_EQ(Rows(db, counts), QStringList({ " //1/5", "kell/ /2/1", "kell/kell/3/1" }));
        store.RekeyNames(CaseMapping::StrictRfc1459);
    }
    core::Store reopened;
    ASSERT_EQ(reopened.Open(files.PathOf(core::StoreFile)), QString());
    EXPECT_EQ(reopened.KeyMapping(), CaseMapping::StrictRfc1459);
}

} // namespace
