#include "commands/customfiles.h"

#include "commands/textfolder.h"

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
    return m_names.contains(name, Qt::CaseInsensitive);
}

QString CustomFiles::FileName(const QString& name) const
{
    QString first;
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (m_fileNames[i].size() == m_names[i].size() + QLatin1String(".txt").size())
            return m_fileNames[i];
        if (first.isEmpty())
            first = m_fileNames[i];
    }
    return first;
}

} // namespace commands
