#include "core/namekeys.h"

namespace core {

namespace {

// SQL for irc::Refold: the key folded under to, or UnownedKey when it holds a character to would part.
QString RefoldSql(const QString& column, irc::CaseMapping from, irc::CaseMapping to)
{
    QStringList parted;
    for (const QChar c : irc::PartedCharacters(from, to))
        parted.append(QStringLiteral("instr(%1, '%2') > 0").arg(column, QString(c)));
    if (parted.isEmpty())
        return FoldSql(column, to);
    return QStringLiteral("CASE WHEN %1 THEN '%2' ELSE %3 END")
        .arg(parted.join(QStringLiteral(" OR ")), UnownedKey, FoldSql(column, to));
}

} // namespace

QString FoldSql(const QString& expression, irc::CaseMapping mapping)
{
    QString sql = QStringLiteral("lower(%1)").arg(expression);
    for (const irc::FoldedCharacter& folded : irc::FoldedPunctuation()) {
        if (mapping >= folded.Since)
            sql = QStringLiteral("replace(%1, '%2', '%3')")
                      .arg(sql, QString(QChar(folded.From)), QString(QChar(folded.To)));
    }
    return sql;
}

// Face counts whose keys become one are added up.
QStringList RekeyStatements(irc::CaseMapping from, irc::CaseMapping to)
{
    return {
        QStringLiteral("UPDATE rolls SET place_key = %1, nick_key = %2, account_key = %3")
            .arg(FoldSql(QStringLiteral("place"), to), FoldSql(QStringLiteral("nick"), to),
                RefoldSql(QStringLiteral("account_key"), from, to)),
        QStringLiteral("CREATE TEMP TABLE refolded_counts AS SELECT %1 AS nick_key, %2 AS account_key, kind, "
                       "sides, face, SUM(count) AS count FROM roller_face_counts GROUP BY 1, 2, 3, 4, 5")
            .arg(RefoldSql(QStringLiteral("nick_key"), from, to),
                RefoldSql(QStringLiteral("account_key"), from, to)),
        QStringLiteral("DELETE FROM roller_face_counts"),
        QStringLiteral("INSERT INTO roller_face_counts SELECT * FROM refolded_counts"),
        QStringLiteral("DROP TABLE refolded_counts"),
        QStringLiteral("UPDATE name_keys SET casemapping = '%1'").arg(irc::CaseMappingName(to)),
    };
}

} // namespace core
