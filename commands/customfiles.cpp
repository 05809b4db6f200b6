#include "commands/customfiles.h"

#include "commands/textfolder.h"

namespace commands {

void CustomFiles::Scan(const QString& folder)
{
    m_names.clear();
    for (const QFileInfo& info : TextFilesIn(folder))
        m_names.append(NameBeforeFirstDot(info.fileName()));
}

bool CustomFiles::Contains(const QString& name) const
{
    return m_names.contains(name, Qt::CaseInsensitive);
}

QString CustomFiles::ListedName(const QString& name) const
{
    for (const QString& listed : m_names) {
        if (listed.compare(name, Qt::CaseInsensitive) == 0)
            return listed;
    }
    return name;
}

} // namespace commands
