#pragma once

// Settings of this program beyond the five classic configuration files. They live in a file of their own,
// "tessarin.ini" in the data folder, so the classic files keep their exact formats. A missing file or key
// leaves the default.

#include <QString>

namespace core {

struct ExtraSettings {
    // Where users may send requests, named in the help; empty to point them to the owner instead.
    QString RequestAddress;
    // The web page where the bot can be obtained, named in the help; empty to point to the owner.
    QString HomePage;
    // The curiosity shop whose drawers ware opens ("host" or "host:port"); empty: ware has no shop.
    QString DrawerHost;
};

inline const QString ExtraSettingsFile = QStringLiteral("tessarin.ini");

ExtraSettings LoadExtraSettings(const QString& filesDir);

} // namespace core
