#pragma once

// Files that hold what users said and rolled in secret belong to the bot's user alone: they are made
// readable and writable by their owner only, whatever the umask, and taken back from others when found
// readable by them.

#include <QString>

namespace core {

// Makes path an empty file with mode 0600 when nothing is there; does nothing otherwise (or when the file
// cannot be made: whoever opens it next says why).
void CreateOwnerOnly(const QString& path);

// Takes every permission of group and others away from path, when it is a file that has any.
void KeepToOwner(const QString& path);

} // namespace core
