#include "core/filebaseline.h"

namespace core {

namespace {

std::optional<QString> LineAt(const std::optional<ConfigLines>& file, qsizetype index)
{
    return file ? file->At(static_cast<std::size_t>(index)) : std::nullopt;
}

QStringList AsList(const ConfigLines& file)
{
    QStringList lines;
    for (const std::optional<QString>& line : file.Lines)
        lines.append(line.value_or(QString()));
    return lines;
}

void MergePositional(
    const FileBaseline& baseline, const ConfigLines& disk, const QStringList& ours, MergedFile& merged)
{
    for (qsizetype i = 0; i < ours.size(); ++i) {
        const bool botChanged = i >= baseline.Ours.size() || baseline.Ours.at(i) != ours.at(i);
        if (!botChanged)
            continue;
        if (LineAt(baseline.OnDisk, i) != disk.At(static_cast<std::size_t>(i))) {
            merged.NotWritten.append(static_cast<int>(i));
            continue;
        }
        // A line neither had keeps its place in a file the operator shortened.
        while (merged.Lines.size() <= i)
            merged.Lines.append(QString());
        merged.Lines[i] = ours.at(i);
        merged.Written.append(static_cast<int>(i));
        merged.Write = true;
    }
}

void MergeList(const FileBaseline& baseline, const QStringList& ours, MergedFile& merged)
{
    for (const QString& entry : baseline.Ours) {
        if (!ours.contains(entry) && merged.Lines.removeAll(entry) > 0)
            merged.Removed.append(entry);
    }
    for (const QString& entry : ours) {
        if (!baseline.Ours.contains(entry) && !merged.Lines.contains(entry)) {
            merged.Lines.append(entry);
            merged.Added.append(entry);
        }
    }
    merged.Write = !merged.Added.isEmpty() || !merged.Removed.isEmpty();
}

} // namespace

MergedFile MergeWithDisk(const FileBaseline& baseline, const std::optional<ConfigLines>& disk,
    const QStringList& ours, FileShape shape)
{
    MergedFile merged;
    if (!disk || (baseline.OnDisk && disk->Lines == baseline.OnDisk->Lines)) {
        merged.Write = true;
        merged.Lines = ours;
        return merged;
    }
    merged.EditedOnDisk = true;
    merged.Lines = AsList(*disk);
    if (shape == FileShape::Positional)
        MergePositional(baseline, *disk, ours, merged);
    else
        MergeList(baseline, ours, merged);
    return merged;
}

} // namespace core
