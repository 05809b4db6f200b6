#pragma once

// The custom text files: every "*.txt" file in the custom folder makes its name (up to the first ".") a
// command that quotes an entry of the file. Names compare ignoring the case of the letters A to Z.

#include <QString>
#include <QStringList>

namespace commands {

class CustomFiles {
public:
    // Rebuilds the list from folder; a missing or empty folder leaves it empty.
    void Scan(const QString& folder);

    bool Contains(const QString& name) const;

    // The file the scan found for name, spelled as the folder spells it: ",My Table" finds "my table.txt"
    // and ",upper" finds "Upper.TXT" on a file system that tells letter case apart. Of several files of
    // that name, one named by the name and the extension alone comes first.
    // Requires: Contains(name).
    QString FileName(const QString& name) const;

    const QStringList& Names() const { return m_names; }

private:
    // The index of the file the scan found for name, or -1.
    qsizetype Find(const QString& name) const;

    QStringList m_names;
    // At the same index: the names lower-cased once per scan (every command line is tested against them),
    // and the file each name came from.
    QStringList m_lowerNames;
    QStringList m_fileNames;
};

} // namespace commands
