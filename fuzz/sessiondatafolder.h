#pragma once

// The data folder the session fuzz target's bots start from, made once per process in a temporary folder:
// the sample tables, custom files and aliases of files/, the classic files with an owner, a privileged and
// a banned nick and #rpg as the favourite channel, and a tessarin.ini that keeps the store in memory, sends
// every line at once and logs in with SASL where the server offers it.

#include "support/tempfiles.h"

namespace fuzzing {

class SessionDataFolder {
public:
    static constexpr char BotNick[] = "Tessarin";
    static constexpr char OwnerNick[] = "Mira";
    static constexpr char PrivilegedNick[] = "Bree";
    static constexpr char BannedNick[] = "Troll";
    static constexpr char FavoriteChannel[] = "#rpg";

    // Requires: samples is a folder like files/.
    explicit SessionDataFolder(const QString& samples);

    QString Path() const { return m_files.Path(); }

    // Puts back what a run writes into the folder (the favourite channels, saved at every join), so that
    // each input starts from the same folder.
    void Restore() const;

private:
    testing_support::TempFiles m_files;
};

} // namespace fuzzing
