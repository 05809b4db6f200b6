#include "commands/customfiles.h"

#include "commands/textfolder.h"
#include "common/asciicase.h"

#include <algorithm>

namespace commands {

void CustomFiles::Scan(const QString& folder)
{
    m_names.clear();
    m_fileNames.clear();
    for (const QFileInfo& info : TextFilesIn(folder)) {
        m_names.append(NameBeforeFirstDot(info.fileName()));
        m_fileNames.append(info.fileName());
    }
}

bool CustomFiles::Contains(const QString& name) const
{
    const QString lower = common::AsciiLower(name);
    return std::any_of(m_names.cbegin(), m_names.cend(),
        [&lower](const QString& listed) { return common::AsciiLower(listed) == lower; });
}

QString CustomFiles::FileName(const QString& name) const
{
    QString first;
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        if (common::AsciiLower(m_names[i]) != common::AsciiLower(name))
            continue;
        if (m_fileNames[i].size() == m_names[i].size() + QLatin1String(".txt").size())
            return m_fileNames[i];
        if (first.isEmpty())
            first = m_fileNames[i];
    }
    return first;
}

} // namespace commands
