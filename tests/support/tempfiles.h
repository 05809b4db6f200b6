#pragma once

// A throw-away data folder for one test, with helpers to write files into it byte for byte.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace testing_support {

class TempFiles {
public:
    TempFiles() { QDir(m_dir.path()).mkpath(QStringLiteral(".")); }

    QString Path() const { return m_dir.path(); }
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    void Write(const QString& name, const QByteArray& bytes) const
    {
        const QString path = PathOf(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QByteArray Read(const QString& name) const
    {
        QFile file(PathOf(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

} // namespace testing_support
