#pragma once

// The "*.txt" files of a data folder, as the alias table and the custom-file list read them.

#include <QFileInfoList>
#include <QString>

namespace commands {

// Every "*.txt" file in folder (hidden ones included), sorted by name; empty when the folder is missing.
QFileInfoList TextFilesIn(const QString& folder);

// Whether folder can be listed; a missing folder can (it lists nothing), a file or an unreadable folder
// cannot.
bool FolderListable(const QString& folder);

// A file's name up to its first ".".
QString NameBeforeFirstDot(const QString& fileName);

} // namespace commands
