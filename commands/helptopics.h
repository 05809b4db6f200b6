#pragma once

// The help texts: one topic per command or game system, and the general help for everything else.

#include <QList>
#include <QStringList>

namespace commands {

struct HelpTopic {
    QStringList Words;
    bool IgnoreCase; // most topics match their word exactly; the game-system topics ignore case
    QStringList Lines;
};

// The topics in the order they are tested; the first match wins.
const QList<HelpTopic>& HelpTopics();

// The general help, without its closing line (see HelpLines).
const QStringList& GeneralHelp();

} // namespace commands
