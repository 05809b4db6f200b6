#include "commands/customfiles.h"

#include "commands/textfolder.h"
#include "common/asciicase.h"

namespace commands {

void CustomFiles::Scan(const QString& folder)
{
    m_names.clear();
    m_lowerNames.clear();
    m_fileNames.clear();
    for (const QFileInfo& info : TextFilesIn(folder)) {
        m_names.append(NameBeforeFirstDot(info.fileName()));
        m_lowerNames.append(common::AsciiLower(m_names.last()));
        m_fileNames.append(info.fileName());
    }
}

qsizetype CustomFiles::Find(const QString& name) const
{
    const QString lower = common::AsciiLower(name);
    qsizetype first = -1;
    for (qsizetype i = 0; i < m_lowerNames.size(); ++i) {
        if (m_lowerNames[i] != lower)
            continue;
        if (m_fileNames[i].size() == m_names[i].size() + QLatin1String(".txt").size())
            return i;
        if (first < 0)
            first = i;
    }
    return first;
}

bool CustomFiles::Contains(const QString& name) const
{
    return Find(name) >= 0;
}

QString CustomFiles::FileName(const QString& name) const
{
    const qsizetype found = Find(name);
    return found < 0 ? QString() : m_fileNames[found];
}

} // namespace commands
