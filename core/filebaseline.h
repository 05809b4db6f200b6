#pragma once

// The operator may edit a configuration file while the bot runs, and restart or reload it after. The bot
// remembers what each file held when it last read or wrote it, and the lines its own values made then:
// a save compares the file on disk and the bot's values now with both, so that the operator's edits are
// kept and only the values the bot itself changed since are written into them. Where both changed the
// same line, the operator's edit wins and the bot says which of its changes it did not write.

#include "core/configfile.h"

#include <QList>
#include <QStringList>
#include <optional>

namespace core {

struct FileBaseline {
    // The file as last read or written; nothing when it was missing or could not be read.
    std::optional<ConfigLines> OnDisk;
    // The lines the bot's values made at that moment.
    QStringList Ours;
};

// A file whose lines each hold one value in a fixed place (settings.conf, messages.conf), or a list whose
// entries' order does not matter to the bot (the user lists, the favourite channels).
enum class FileShape { Positional, List };

struct MergedFile {
    // Whether the file changed on disk since the baseline.
    bool EditedOnDisk = false;
    // Whether to write Lines: false when the file is to stay exactly as it is.
    bool Write = false;
    QStringList Lines;
    // Positional: the lines (from 0) the bot changed that are written into the edited file, and those the
    // operator edited too, left as the file has them.
    QList<int> Written;
    QList<int> NotWritten;
    // List: the bot's own additions and removals written into the file.
    QStringList Added;
    QStringList Removed;
};

// What to do with the file holding disk now, when the bot's values make ours. A file that did not change
// since the baseline (or is gone) is written with ours whole, as always.
MergedFile MergeWithDisk(const FileBaseline& baseline, const std::optional<ConfigLines>& disk,
    const QStringList& ours, FileShape shape);

} // namespace core
