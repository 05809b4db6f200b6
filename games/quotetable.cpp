#include "games/quotetable.h"

#include "dice/randomsource.h"

namespace games {

namespace {

QString PutNick(const QString& entry, const QString& nick)
{
    static const QString placeholder = QStringLiteral("%NAME%");
    const qsizetype at = entry.indexOf(placeholder);
    if (at < 0)
        return entry;
    QString after = entry.mid(at + placeholder.size());
    if (after.size() > MaxTextAfterName) {
        qsizetype cut = MaxTextAfterName;
        if (after.at(cut - 1).isHighSurrogate())
            --cut;
        after.truncate(cut);
    }
    return entry.left(at) + nick + after;
}

} // namespace

QuoteChoice ChooseQuote(const QStringList& entries, std::optional<int> number, const QString& nick)
{
    if (entries.isEmpty())
        return { QuoteChoice::EmptyTable, {} };
    const auto count = static_cast<int>(entries.size());
    int index = 0;
    if (!number) {
        dice::RandomizeGenerator();
        index = dice::RandomBelow(count);
    } else if (*number >= 1 && *number <= count) {
        index = *number - 1;
    } else {
        return { QuoteChoice::BadNumber,
            QStringLiteral("Make sure you specify correct quote number. Maximum is %1.").arg(count) };
    }
    return { QuoteChoice::Entry, PutNick(entries.at(index), nick) };
}

} // namespace games
