#pragma once

// One bot per data folder, and no run that leaves files its operator's bot cannot write again. The guard
// takes a lock on the folder for the whole run (a lock file the kernel releases however the process ends,
// so a killed bot never blocks the next), and before that refuses a start that would go wrong later: root
// on a folder that belongs to another user (every file it wrote would be root's), a tessarin.ini the bot
// cannot read (it would connect without its TLS, SASL or NickServ settings), or files it could not write
// at its end.

#include <QString>

namespace app {

inline const QString LockFile = QStringLiteral("tessarin.lock");

class FolderGuard {
public:
    FolderGuard() = default;
    ~FolderGuard();
    FolderGuard(const FolderGuard&) = delete;
    FolderGuard& operator=(const FolderGuard&) = delete;

    // Checks the folder and takes its lock until the guard ends. Returns why the bot must not run on it
    // (the program then ends with 2), or an empty text. A folder that does not exist is not checked.
    QString Take(const QString& dir, bool allowRoot);

private:
    QString Lock(const QString& dir);

    int m_lock = -1;
};

} // namespace app
