#pragma once

// The custom text files: every "*.txt" file in the custom folder makes its name (up to the first ".") a
// command that quotes an entry of the file. Names compare ignoring case.

#include <QString>
#include <QStringList>

namespace commands {

class CustomFiles {
public:
    // Rebuilds the list from folder; a missing or empty folder leaves it empty.
    void Scan(const QString& folder);

    bool Contains(const QString& name) const;

    // The listed spelling of name when it is listed (so ",My Table" finds "my table.txt" on a file system
    // that tells letter case apart), otherwise name itself.
    QString ListedName(const QString& name) const;

    const QStringList& Names() const { return m_names; }

private:
    QStringList m_names;
};

} // namespace commands
