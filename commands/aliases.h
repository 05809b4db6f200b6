#pragma once

// Command aliases: each "*.txt" file in the aliases folder names an alias after itself, and its first line
// is the command line the alias stands for, with " parameter" marking where the user's parameter goes.

#include <QList>
#include <QString>

namespace commands {

struct AliasRow {
    QString Name; // file name up to its first ".", lower-cased
    QString Expansion; // first line of the file, lower-cased
};

class AliasTable {
public:
    static constexpr qsizetype MaxExpansionBytes = 4096;

    // Rebuilds the table from folder. Returns false when the folder is there but cannot be listed (the
    // table is then empty) or an alias file could not be read (the rows read before it stay). A missing
    // folder is not a failure: the table is then empty.
    bool Load(const QString& folder);

    // Empty when there are no rows or the first row has no name.
    bool IsEmpty() const;

    // Expands the alias a whole command line names; any other line comes back unchanged. The result is
    // never expanded again.
    QString Resolve(const QString& line) const;

    const QList<AliasRow>& Rows() const { return m_rows; }

private:
    QList<AliasRow> m_rows;
};

} // namespace commands
