#pragma once

// Choosing one entry of a quote table (a text file of one entry per line): by number, or at random when
// no number is given, with the requester's nick put in place of the first "%NAME%".

#include <QString>
#include <QStringList>
#include <optional>

namespace games {

struct QuoteChoice {
    enum Outcome {
        Entry, // Text is the entry to send
        BadNumber, // Text tells the user the highest entry number
        EmptyTable, // the table has no entries
    };
    Outcome Kind;
    QString Text;
};

inline constexpr qsizetype MaxTextAfterName = 500;

QuoteChoice ChooseQuote(const QStringList& entries, std::optional<int> number, const QString& nick);

} // namespace games
