#pragma once

// Line-oriented reading and atomic writing of the plain-text configuration files. Reading accepts CR, LF
// or CR LF endings and any bytes; writing ends every line with CR LF and replaces the old file only once
// the new one is complete, so a failed write leaves the old file whole.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace core {

// A file's lines as read. A line that could not be taken (longer than the line limit) is empty in the
// optional, so that reading it fails just as reading a missing line does.
struct ConfigLines {
    std::vector<std::optional<QString>> Lines;

    std::optional<QString> At(std::size_t index) const
    {
        return index < Lines.size() ? Lines[index] : std::nullopt;
    }
};

inline constexpr qsizetype MaxConfigLineBytes = 64 * 1024;
inline constexpr qint64 MaxConfigFileBytes = 16 * 1024 * 1024;

// Nothing when the file is missing, unreadable or larger than MaxConfigFileBytes.
std::optional<ConfigLines> ReadConfigLines(const QString& path);

// The whole file as a list; nothing when it cannot be read or any line is unusable.
std::optional<QStringList> ReadConfigList(const QString& path);

// Replaces the file at path with bytes, or leaves it as it was: every write, the sync to the disk and the
// size of the new file are checked before it takes the old one's place. Returns why it could not, or an
// empty text.
QString WriteFileAtomically(const QString& path, const QByteArray& bytes);

// Writes the lines atomically; a line break inside a line is written as a blank. Returns an error
// description, or an empty text on success.
QString WriteConfigLines(const QString& path, const QStringList& lines);

} // namespace core
