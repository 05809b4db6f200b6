#pragma once

// A new data folder for the first run (tessarin --init DIR): the sample tables, the classic files at their
// defaults and tessarin.ini with every setting at its default under its comment.

#include <QString>

namespace app {

// Where the program keeps its sample tables (a resource folder of the program).
inline const QString SampleFolder = QStringLiteral(":/samples");

// Makes dir (and the folders above it) and writes the folder's files into it, copying the tables from
// samples. Writes nothing when dir already holds any of those files, so that nothing is ever overwritten.
// Returns what went wrong, or an empty text.
QString InitDataFolder(const QString& dir, const QString& samples = SampleFolder);

} // namespace app
